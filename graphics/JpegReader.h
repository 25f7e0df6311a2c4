#pragma once
// JPEG files decoded by libjpeg itself.
#include <QImage>
#include <string>

namespace qel {

// The picture of a JPEG file as a 32-bit RGB image, or a null image when the file cannot be
// opened or is corrupt or truncated (libjpeg's errors and warnings end the decoding and
// return here). Pictures larger than 4096 pixels on a side are decoded at 1/2, 1/4 or 1/8 of
// their size; larger still, or with more than kMaxJpegScans scans, they are refused.
QImage ReadJpegFile(const std::string& nativePath);

constexpr int kMaxJpegSide = 4096;
constexpr int kMaxJpegScans = 1000;

} // namespace qel
