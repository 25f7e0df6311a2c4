// The project file reader and writer on arbitrary bytes: reading never fails on content, and a
// write leaves every other line as it was.
#include "platform/FileNames.h"
#include "platform/IniFile.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string TempName() {
  static std::string name = [] {
    char pattern[] = "/tmp/qel-ini-fuzz-XXXXXX";
    int fd = mkstemp(pattern);
    if (fd >= 0) close(fd);
    return std::string(pattern);
  }();
  return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string name = TempName();
  qel::WriteFileBytes(name, bytes);
  qel::TIniFile ini(name);
  ini.ReadString("DEFAULTS", "Grid", "Yes");
  ini.WriteString("QEL", "Version", "6.0");
  ini.WriteString("DEFAULTS", "Grid", "No");
  if (ini.ReadString("DEFAULTS", "Grid", "?") != "No" || ini.ReadString("QEL", "Version", "?") != "6.0") std::abort();
  return 0;
}
