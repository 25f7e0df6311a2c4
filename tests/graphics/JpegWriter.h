#pragma once
// Writes test pictures as JPEG files through libjpeg.
#include <QImage>
#include <string>

namespace qel {

// Baseline JPEG of the image at the given quality; false when the file cannot be written.
bool WriteJpegFile(const std::string& path, const QImage& image, int quality = 90);

} // namespace qel
