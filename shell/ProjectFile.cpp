#include "ProjectFile.h"

#include "platform/IniFile.h"

namespace qel {

bool ReadProjectGrid(const std::string& fileName) {
  return TIniFile(fileName).ReadString("DEFAULTS", "Grid", "Yes") == "Yes";
}

void WriteProjectFile(const std::string& fileName, bool grid) {
  TIniFile ini(fileName);
  ini.WriteString("QEL", "Version", "6.0");
  ini.WriteString("DEFAULTS", "Grid", grid ? "Yes" : "No");
}

} // namespace qel
