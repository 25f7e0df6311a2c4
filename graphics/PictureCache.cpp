#include "PictureCache.h"

#include "JpegReader.h"

#include "platform/Ansi.h"
#include "platform/FileNames.h"

#include <QImageReader>
#include <algorithm>
#include <sys/stat.h>

namespace qel {

namespace {

int64_t Bytes(const std::shared_ptr<const QImage>& picture) { return picture ? picture->sizeInBytes() : 0; }

QImage ToQImage(const TJpegImage& jpeg) {
  if (jpeg.Empty()) return {};
  QImage image(jpeg.Width, jpeg.Height, QImage::Format_RGB32);
  if (image.isNull()) return {};
  for (int32_t y = 0; y < jpeg.Height; ++y)
    std::copy_n(jpeg.Pixels.data() + size_t(y) * jpeg.Width, jpeg.Width, reinterpret_cast<uint32_t*>(image.scanLine(y)));
  return image;
}

} // namespace

QImage DecodePicture(const std::string& fileName, int wantWidth, int wantHeight, bool* reduced) {
  std::string ext = AnsiLowerCase(ExtractFileExt(fileName));
  std::string native = ToNativePath(fileName);
  if (reduced) *reduced = false;
  if (ext == ".jpg" || ext == ".jpeg") {
    TJpegImage jpeg = ReadJpegFile(native, wantWidth, wantHeight);
    if (reduced) *reduced = jpeg.Reduced;
    return ToQImage(jpeg);
  }
  if (ext == ".wmf" || ext == ".emf") return {};
  QImageReader reader(QString::fromStdString(native));
  QImage image = reader.read();
  if (image.isNull()) return {};
  return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

std::shared_ptr<const QImage> TPictureCache::Get(const std::string& fileName, int wantWidth, int wantHeight) {
  struct stat st;
  if (fileName.empty() || ::stat(ToNativePath(fileName).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
  int64_t modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  if (wantWidth <= 0 || wantHeight <= 0) wantWidth = wantHeight = 0; // the full size
  TEntry& entry = FEntries[fileName];
  const bool tooSmall = entry.Reduced && (wantWidth == 0 || entry.Picture->width() < wantWidth ||
                                          entry.Picture->height() < wantHeight);
  if (entry.LastUse == 0 || entry.Size != st.st_size || entry.ModifiedNs != modified || tooSmall) {
    FBytes -= Bytes(entry.Picture);
    QImage decoded = DecodePicture(fileName, wantWidth, wantHeight, &entry.Reduced);
    ++FDecodeCount;
    entry.Picture = decoded.isNull() ? nullptr : std::make_shared<const QImage>(std::move(decoded));
    entry.Size = st.st_size;
    entry.ModifiedNs = modified;
    FBytes += Bytes(entry.Picture);
  }
  entry.LastUse = ++FClock;
  std::shared_ptr<const QImage> picture = entry.Picture;
  Trim();
  return picture;
}

void TPictureCache::Trim() {
  while (FBytes > MaxBytes && FEntries.size() > 1) {
    auto oldest = FEntries.begin();
    for (auto it = FEntries.begin(); it != FEntries.end(); ++it)
      if (it->second.LastUse < oldest->second.LastUse) oldest = it;
    FBytes -= Bytes(oldest->second.Picture);
    FEntries.erase(oldest);
  }
}

void TPictureCache::Clear() {
  FEntries.clear();
  FBytes = 0;
}

TPictureCache& PictureCache() {
  static TPictureCache cache;
  return cache;
}

} // namespace qel
