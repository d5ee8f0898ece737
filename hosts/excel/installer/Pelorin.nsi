; Pelorin-Setup.exe: installs the Excel add-in for the current user, with no
; administrator rights, into the user's local application data.
;
; Both builds of the add-in go in: Excel loads only a DLL of its own kind, and
; each DLL registers itself (its DllRegisterServer) from a regsvr32 of its own
; kind, so each lands in its own registry view.
;
;   Pelorin-Setup.exe                 asks for the service host on a page
;   Pelorin-Setup.exe /S /HOST=name   silent; the host is stored when given
;
; makensis -DDLL64=... -DDLL32=... -DOUTFILE=... Pelorin.nsi

!ifndef DLL64 | DLL32 | OUTFILE
  !error "DLL64, DLL32 and OUTFILE must be defined"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
Name "Pelorin Excel Plug-in"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Pelorin"
ShowInstDetails show
ShowUninstDetails show

!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define SETTINGS_KEY "Software\Microsoft\Windows\CurrentVersion"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelorin"
!define DEFAULT_HOST "www.pelorin.example"

Var ServiceHost
Var HostBox

Page custom HostPage HostPageLeave
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/HOST=" $ServiceHost
  ${If} ${Errors}
    StrCpy $ServiceHost ""
  ${EndIf}
FunctionEnd

Function HostPage
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 24u "The address of the messaging service (its host name, with a port when it is not 80). Leave it as it is unless your provider gave you another one."
  Pop $0
  ${If} $ServiceHost == ""
    ReadRegStr $ServiceHost HKCU "${SETTINGS_KEY}" "vpelorin_host"
  ${EndIf}
  ${If} $ServiceHost == ""
    StrCpy $ServiceHost "${DEFAULT_HOST}"
  ${EndIf}
  ${NSD_CreateText} 0 30u 100% 12u "$ServiceHost"
  Pop $HostBox
  nsDialogs::Show
FunctionEnd

Function HostPageLeave
  ${NSD_GetText} $HostBox $ServiceHost
  ${If} $ServiceHost == ""
    MessageBox MB_OK "Please enter the service host."
    Abort
  ${EndIf}
FunctionEnd

Section "Pelorin"
  SetOutPath "$INSTDIR\x64"
  File "/oname=Pelorin.dll" "${DLL64}"
  SetOutPath "$INSTDIR\x86"
  File "/oname=Pelorin.dll" "${DLL32}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ClearErrors
  ExecWait '"$WINDIR\System32\regsvr32.exe" /s "$INSTDIR\x64\Pelorin.dll"' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    DetailPrint "The 64-bit add-in could not be registered ($0)."
    MessageBox MB_OK|MB_ICONSTOP "The 64-bit add-in could not be registered." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ; Only a 64-bit system with 32-bit support runs the 32-bit regsvr32.
  ClearErrors
  ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /s "$INSTDIR\x86\Pelorin.dll"' $1
  ${If} ${Errors}
  ${OrIf} $1 != 0
    DetailPrint "The 32-bit add-in was not registered: this system runs no 32-bit programs."
  ${EndIf}

  ; The stored host stays unless the user gave one.
  ${If} $ServiceHost != ""
    WriteRegStr HKCU "${SETTINGS_KEY}" "vpelorin_host" "$ServiceHost"
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pelorin Excel Plug-in"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Pelorin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $2 $3 $4
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $2
SectionEnd

; Removes the files and the registration; the user's settings and login stay.
Section "Uninstall"
  ExecWait '"$WINDIR\System32\regsvr32.exe" /u /s "$INSTDIR\x64\Pelorin.dll"'
  ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /u /s "$INSTDIR\x86\Pelorin.dll"'
  Delete "$INSTDIR\x64\Pelorin.dll"
  Delete "$INSTDIR\x86\Pelorin.dll"
  RMDir "$INSTDIR\x64"
  RMDir "$INSTDIR\x86"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
