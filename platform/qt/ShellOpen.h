#pragma once
// Opening a file or a web address with the program the desktop associates with it, through
// one replaceable provider (tests install one that records instead of launching).
#include <string>

namespace qel {

class IShellOpener {
public:
  virtual ~IShellOpener() = default;
  // Target: a file name or an address with a scheme ("https://...", "mailto:...").
  virtual bool Open(const std::string& Target) = 0;
};

// Opens the target; false when nothing could open it. Never shows a message.
bool ShellOpen(const std::string& Target);
// Installs an opener (null restores the desktop's); returns the one it replaces.
IShellOpener* SetShellOpener(IShellOpener* opener);

} // namespace qel
