#pragma once
// The project file (".qel"): an INI file with "[QEL]" "Version=6.0" and "[DEFAULTS]" "Grid".
// Other sections and keys of an existing file are kept.
#include <string>
#include <vector>

namespace qel {

// The grid flag: true exactly when "[DEFAULTS]" "Grid" is "Yes" (also when it is missing).
// Raises EInOutError when the file cannot be read.
bool ReadProjectGrid(const std::string& fileName);
// Writes the version and the grid flag ("Yes" or "No"). Raises EInOutError.
void WriteProjectFile(const std::string& fileName, bool grid);

// The data files a save under the project file name would replace, as found on disk.
std::vector<std::string> ExistingDataFiles(const std::string& projectFile);
// Whether saves under the two project file names write the same data files.
bool SameDataFiles(const std::string& a, const std::string& b);
// Whether the two names are one file (the same file, or names equal but for letter case).
bool SameProjectFile(const std::string& a, const std::string& b);
// The project files (".qel") in the name's folder whose data files are the name's, the name
// itself among them when it exists.
std::vector<std::string> ProjectFilesSharing(const std::string& projectFile);
// The project's files that a save could not replace (see IsReadOnly): the project file, the
// data files that exist, and the folder.
std::vector<std::string> ReadOnlyFiles(const std::string& projectFile);

} // namespace qel
