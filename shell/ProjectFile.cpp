#include "ProjectFile.h"

#include "model/Container.h"
#include "platform/Ansi.h"
#include "platform/FileNames.h"
#include "platform/IniFile.h"

#include <algorithm>
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
  // One data file stands for all six.
  return SameProjectFile(TContainer::DataFileName(ExpandFileName(a), "_Not"),
                         TContainer::DataFileName(ExpandFileName(b), "_Not"));
}

bool SameProjectFile(const std::string& a, const std::string& b) {
  // One file, or names differing only in case (found so, when they do not exist yet).
  const std::string first = ExpandFileName(a), second = ExpandFileName(b);
  std::error_code error;
  if (std::filesystem::equivalent(ToNativePath(FindFileNoCase(first)), ToNativePath(FindFileNoCase(second)), error))
    return true;
  return AnsiLowerCase(first) == AnsiLowerCase(second);
}

std::vector<std::string> ProjectFilesSharing(const std::string& projectFile) {
  const std::string folder = ExtractFilePath(ExpandFileName(projectFile));
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(ToNativePath(folder), error)) {
    const std::string file = folder + FromNativePath(entry.path().filename().string());
    if (AnsiLowerCase(ExtractFileExt(file)) == ".qel" && entry.is_regular_file(error) &&
        SameDataFiles(file, projectFile))
      found.push_back(file);
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> ReadOnlyFiles(const std::string& projectFile) {
  std::vector<std::string> found;
  const std::string name = FindFileNoCase(ExpandFileName(projectFile));
  if (FileExists(name) && IsReadOnly(name)) found.push_back(name);
  for (const std::string& file : ExistingDataFiles(name))
    if (IsReadOnly(file)) found.push_back(file);
  const std::string folder = ExtractFilePath(name);
  if (IsReadOnly(folder)) found.push_back(folder);
  return found;
}

} // namespace qel
