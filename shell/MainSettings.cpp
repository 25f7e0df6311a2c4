// The main window's settings under the program's key.
#include "Main.h"

#include "platform/FileNames.h"
#include "platform/qt/Registry.h"

namespace qel {

std::string TQELMain::ReadLastProject() const {
  TRegistry registry;
  if (!registry.OpenKey(kQelKey, true)) return {};
  return registry.ReadString("LastProject");
}

void TQELMain::WriteLastProject() {
  if (FContainer->FileName.empty()) FContainer->FileName = IncludeTrailingPathDelimiter(GetCurrentDir()) + "Noname.qel";
  TRegistry registry;
  if (registry.OpenKey(kQelKey, true)) registry.WriteString("LastProject", FContainer->FileName);
}

void TQELMain::ReadIDLoad() {
  TRegistry registry;
  AddOnLoad = registry.OpenKey(kQelKey, true) && registry.ReadString("IDLoad") == "Yes";
}

} // namespace qel
