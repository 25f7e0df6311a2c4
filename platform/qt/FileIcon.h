#pragma once
// The icon the desktop associates with a file.
#include <QIcon>
#include <string>

namespace qel {

// The associated icon of an existing file (a Windows-1252 name); a null icon otherwise.
QIcon AssociatedFileIcon(const std::string& FileName);

} // namespace qel
