// Any bytes: the reader must neither crash nor read past them, and must keep its promises.
#include "platform/RtfText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string text = qel::RtfToPlainText(input);
  // Text that is not rich text passes unchanged; rich text never grows.
  if (!qel::IsRtfText(input) && text != input) __builtin_trap();
  if (text.size() > input.size()) __builtin_trap();
  // Reading into a used buffer gives the same text.
  std::string reused = "previous content";
  qel::RtfToPlainText(input, reused);
  if (reused != text) __builtin_trap();
  return 0;
}
