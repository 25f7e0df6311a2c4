#pragma once
// JPEG pictures decoded by libjpeg itself. Plain C++: the fuzz target builds it without Qt.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qel {

constexpr int kMaxJpegSide = 4096;
constexpr int kMaxJpegScans = 1000;

// Rows of 0xFFRRGGBB pixels; empty when nothing could be decoded.
struct TJpegImage {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint32_t> Pixels;
  bool Reduced = false; // decoded smaller than without a wanted size
  bool Empty() const { return Pixels.empty(); }
};

// The picture of a JPEG file or buffer, or an empty image when it cannot be read or is
// corrupt or truncated: libjpeg's errors and its warnings about damaged data end the decoding
// and return here. Pictures larger than kMaxJpegSide on a side are decoded at 1/2, 1/4 or 1/8
// of their size; larger still, or with more than kMaxJpegScans scans, they are refused.
// With a wanted size (both above 0), the picture is decoded at the smallest of 1/1, 1/2, 1/4
// and 1/8 of its size that still covers it, which saves most of the work for pictures drawn
// smaller than they are.
TJpegImage ReadJpegFile(const std::string& nativePath, int wantWidth = 0, int wantHeight = 0);
TJpegImage ReadJpegBytes(const unsigned char* data, size_t size, int wantWidth = 0, int wantHeight = 0);

} // namespace qel
