// record-open: stands in for the browser and the mail program in the tests'
// Wine prefix, where it is the shell's "open" command for http, https and
// mailto. It appends the address it was given to the file named by
// PELORIN_OPEN_LOG, one address a line.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  wchar_t log[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"PELORIN_OPEN_LOG", log, MAX_PATH) == 0) return 2;
  FILE* file = _wfopen(log, L"ab");
  if (file == nullptr) return 1;
  char address[4096] = {};
  WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, address, sizeof address, nullptr, nullptr);
  fprintf(file, "%s\n", address);
  fclose(file);
  return 0;
}
