// Any bytes given to the JPEG reader end in a picture or an empty one, never in a crash,
// a hang or an ended program.
#include "graphics/JpegReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qel::TJpegImage image = qel::ReadJpegBytes(data, size);
  if (!image.Empty() && image.Pixels.size() != size_t(image.Width) * size_t(image.Height)) __builtin_trap();
  return 0;
}
