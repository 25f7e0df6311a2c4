#include "ProjectFile.h"

#include "model/Container.h"
#include "platform/Ansi.h"
#include "platform/FileNames.h"
#include "platform/IniFile.h"

#include <filesystem>

namespace qel {

bool ReadProjectGrid(const std::string& fileName) {
  return TIniFile(fileName).ReadString("DEFAULTS", "Grid", "Yes") == "Yes";
}

void WriteProjectFile(const std::string& fileName, bool grid) {
  TIniFile ini(fileName);
  ini.WriteString("QEL", "Version", "6.0");
  ini.WriteString("DEFAULTS", "Grid", grid ? "Yes" : "No");
}

std::vector<std::string> ExistingDataFiles(const std::string& projectFile) {
  std::vector<std::string> found;
  for (const std::string& name : TContainer::DataFileNames(ExpandFileName(projectFile)))
    if (const std::string file = FindFileNoCase(name); FileExists(file)) found.push_back(file);
  return found;
}

bool SameDataFiles(const std::string& a, const std::string& b) {
  // One data file stands for all six; names differing only in case are the same files.
  const std::string first = TContainer::DataFileName(ExpandFileName(a), "_Not");
  const std::string second = TContainer::DataFileName(ExpandFileName(b), "_Not");
  std::error_code error;
  if (std::filesystem::equivalent(ToNativePath(FindFileNoCase(first)), ToNativePath(FindFileNoCase(second)), error))
    return true;
  return AnsiLowerCase(first) == AnsiLowerCase(second);
}

} // namespace qel
