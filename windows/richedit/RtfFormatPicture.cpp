#include "RtfFormat.h"

#include "graphics/JpegReader.h"
#include "platform/RtfTextPicture.h"

#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cstring>

namespace qel {
namespace {

constexpr int kMaxSide = 4096;

uint32_t Read32(const std::string& data, size_t at) {
  uint32_t value = 0;
  if (at + 4 <= data.size()) std::memcpy(&value, data.data() + at, 4);
  return value;
}

// A device-independent bitmap (information header, colours, bits) as a bitmap file.
QImage DibImage(const std::string& dib) {
  const uint32_t header = Read32(dib, 0);
  if (header < 12 || header > dib.size()) return {};
  uint32_t colors = 0;
  if (header >= 40) {
    const uint32_t bits = Read32(dib, 14) & 0xFFFF, used = Read32(dib, 32), compression = Read32(dib, 16);
    colors = used != 0 ? std::min<uint32_t>(used, 256) : bits <= 8 ? 1u << bits : 0;
    if (compression == 3 && header == 40) colors += 3; // the three masks
  }
  const uint32_t offset = 14 + header + colors * 4;
  QByteArray file("BM");
  const uint32_t fields[] = {static_cast<uint32_t>(14 + dib.size()), 0, offset};
  file.append(reinterpret_cast<const char*>(fields), sizeof(fields));
  file.append(dib.data(), static_cast<qsizetype>(dib.size()));
  return QImage::fromData(file, "BMP");
}

QImage JpegImage(const std::string& data) {
  const TJpegImage jpeg = ReadJpegBytes(reinterpret_cast<const unsigned char*>(data.data()), data.size());
  if (jpeg.Empty()) return {};
  QImage image(jpeg.Width, jpeg.Height, QImage::Format_RGB32);
  for (int y = 0; y < jpeg.Height; ++y)
    std::memcpy(image.scanLine(y), jpeg.Pixels.data() + static_cast<size_t>(y) * jpeg.Width, jpeg.Width * 4u);
  return image;
}

QImage Decode(const TRtfPicture& picture) {
  switch (picture.Kind) {
  case TRtfPictureKind::Png: return QImage::fromData(QByteArray::fromStdString(picture.Data), "PNG");
  case TRtfPictureKind::Jpeg: return JpegImage(picture.Data);
  case TRtfPictureKind::Bitmap: return picture.DeviceIndependent ? DibImage(picture.Data) : QImage();
  default: return {};
  }
}

QImage Placeholder(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(0xE8, 0xE8, 0xE8));
  QPainter painter(&image);
  painter.setPen(QColor(0x80, 0x80, 0x80));
  painter.drawRect(0, 0, width - 1, height - 1);
  painter.drawLine(0, 0, width - 1, height - 1);
  painter.drawLine(0, height - 1, width - 1, 0);
  return image;
}

} // namespace

QTextImageFormat RtfImageFormat(QTextDocument& document, const TRtfPicture& picture, QByteArray group,
                                const QTextCharFormat& run) {
  static std::atomic<int> counter{0};
  QImage image = Decode(picture);
  const int widthTwips = picture.ShownWidthTwips(), heightTwips = picture.ShownHeightTwips();
  int width = widthTwips > 0 ? static_cast<int>(widthTwips / kTwipsPerPixel) : image.width();
  int height = heightTwips > 0 ? static_cast<int>(heightTwips / kTwipsPerPixel) : image.height();
  width = std::clamp(width > 0 ? width : 32, 1, kMaxSide);
  height = std::clamp(height > 0 ? height : 32, 1, kMaxSide);
  if (image.isNull()) image = Placeholder(width, height);
  const QString name = QStringLiteral("rtf-picture:%1").arg(++counter);
  document.addResource(QTextDocument::ImageResource, QUrl(name), image);
  QTextImageFormat format;
  format.merge(run);
  format.setName(name);
  format.setWidth(width);
  format.setHeight(height);
  format.setProperty(kRtfGroupProperty, group);
  return format;
}

} // namespace qel
