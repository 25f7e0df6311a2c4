#pragma once
// The project file (".qel"): an INI file with "[QEL]" "Version=6.0" and "[DEFAULTS]" "Grid".
// Other sections and keys of an existing file are kept.
#include <string>

namespace qel {

// The grid flag: true exactly when "[DEFAULTS]" "Grid" is "Yes" (also when it is missing).
// Raises EInOutError when the file cannot be read.
bool ReadProjectGrid(const std::string& fileName);
// Writes the version and the grid flag ("Yes" or "No"). Raises EInOutError.
void WriteProjectFile(const std::string& fileName, bool grid);

} // namespace qel
