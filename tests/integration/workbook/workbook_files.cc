#include "tests/integration/workbook/workbook_files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace pelorin::workbook::testing {
namespace {

namespace fs = std::filesystem;

class FilesFolder {
 public:
  FilesFolder() {
    std::string pattern = (fs::temp_directory_path() / "pelorin-workbooks-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    dir_ = pattern;
    std::string command = "/usr/bin/python3 '" + std::string(PELORIN_MAKE_WORKBOOKS) + "' '" +
                          dir_ + "' >'" + dir_ + "/python.log' 2>&1";
    ready_ = std::system(command.c_str()) == 0;
  }
  ~FilesFolder() {
    std::error_code error;
    if (!dir_.empty()) fs::remove_all(dir_, error);
  }
  const std::string& dir() const { return dir_; }
  bool ready() const { return ready_; }
  std::map<std::string, std::string>& converted() { return converted_; }

 private:
  std::string dir_;
  bool ready_ = false;
  std::map<std::string, std::string> converted_;
};

FilesFolder& Folder() {
  static FilesFolder folder;
  return folder;
}

// LibreOffice is meant to run as an ordinary user: as root, run it as
// nobody, with the folder open to it and a home of its own there.
std::string AsUnprivilegedUser(const std::string& dir) {
  if (geteuid() != 0 || std::system("command -v setpriv >/dev/null 2>&1") != 0) return "";
  std::error_code error;
  fs::permissions(dir, fs::perms::all, fs::perm_options::add, error);
  return "setpriv --reuid=65534 --regid=65534 --clear-groups env HOME='" + dir + "' ";
}

bool HaveSoffice() {
  return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

}  // namespace

const std::string& WorkbookFiles() {
  static const std::string none;
  return Folder().ready() ? Folder().dir() : none;
}

std::string ConvertWithSoffice(const std::string& file, const std::string& format,
                               const std::string& infilter) {
  FilesFolder& folder = Folder();
  std::string key = file + "->" + format;
  auto known = folder.converted().find(key);
  if (known != folder.converted().end()) return known->second;
  std::string result;
  if (folder.ready() && HaveSoffice()) {
    // A profile of our own, so a desktop LibreOffice of the user is never
    // touched nor handed the job.
    std::string out = folder.dir() + "/soffice-" + format;
    std::string command = AsUnprivilegedUser(folder.dir()) + "timeout 180 soffice -env:UserInstallation=file://" +
                          folder.dir() + "/profile --headless --norestore" +
                          (infilter.empty() ? "" : " --infilter='" + infilter + "'") +
                          " --convert-to " + format + " --outdir '" + out + "' '" + folder.dir() +
                          "/" + file + "' >>'" + folder.dir() + "/soffice.log' 2>&1";
    std::string target = out + "/" + fs::path(file).stem().string() + "." + format;
    if (std::system(command.c_str()) == 0 && fs::exists(target)) result = target;
  }
  folder.converted()[key] = result;
  return result;
}

std::vector<std::string> Dump(const Workbook& workbook) {
  std::vector<std::string> lines;
  for (int index = 0; index < static_cast<int>(workbook.sheets().size()); ++index) {
    const SheetInfo& info = workbook.sheets()[index];
    lines.push_back("sheet " + info.name);
    for (std::int64_t row = 1; row <= info.used_rows; ++row) {
      std::string line;
      for (int column = 1; column <= info.used_columns; ++column) {
        if (column > 1) line += '|';
        line += workbook.sheet(index).CellText(ColumnLetters(column), row);
      }
      lines.push_back(line);
    }
  }
  lines.push_back("active " + workbook.sheets()[workbook.active_sheet()].name);
  return lines;
}

std::string CommittedFile(const std::string& name) {
  return std::string(PELORIN_WORKBOOK_FIXTURES) + "/" + name;
}

}  // namespace pelorin::workbook::testing
