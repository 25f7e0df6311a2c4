#include "FileIcon.h"

#include "platform/FileNames.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace qel {

QIcon AssociatedFileIcon(const std::string& FileName) {
  if (!FileExists(FileName)) return {};
  static const QFileIconProvider provider;
  return provider.icon(QFileInfo(QString::fromStdString(ToNativePath(FileName))));
}

} // namespace qel
