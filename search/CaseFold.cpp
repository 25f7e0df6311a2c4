#include "CaseFold.h"

#include "platform/Ansi.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/utf16.h>

namespace qel {
namespace {

constexpr auto kAsciiFolded = [] {
  std::array<char, 128> table{};
  for (int c = 0; c < 128; ++c)
    table[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return table;
}();

// The library's normaliser is made once, whichever thread asks first, and only read after.
const UNormalizer2* Nfc() {
  static const UNormalizer2* const nfc = [] {
    UErrorCode error = U_ZERO_ERROR;
    const UNormalizer2* made = unorm2_getNFCInstance(&error);
    if (U_FAILURE(error)) throw std::runtime_error(std::string("Unicode normalisation: ") + u_errorName(error));
    return made;
  }();
  return nfc;
}

// The code point of the sequence at in[i] and its length; 0 when no valid sequence starts there.
char32_t Decode(std::string_view in, size_t i, size_t& length) {
  const unsigned char lead = static_cast<unsigned char>(in[i]);
  char32_t cp;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07;
  } else {
    return length = 0;
  }
  if (i + length > in.size()) return length = 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(in[i + k]);
    if ((next & 0xC0) != 0x80) return length = 0;
    cp = cp << 6 | (next & 0x3F);
  }
  static constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return length = 0;
  return cp;
}

void Normalize(const std::u16string& in, std::u16string& out) {
  out.resize(in.size() * 2 + 8);
  for (;;) {
    UErrorCode error = U_ZERO_ERROR;
    const int32_t length = unorm2_normalize(Nfc(), in.data(), static_cast<int32_t>(in.size()), out.data(),
                                            static_cast<int32_t>(out.size()), &error);
    if (error == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(static_cast<size_t>(length));
      continue;
    }
    if (U_FAILURE(error)) throw std::runtime_error(std::string("Unicode normalisation: ") + u_errorName(error));
    out.resize(static_cast<size_t>(length));
    return;
  }
}

void AppendUtf16(char32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    out.push_back(static_cast<char16_t>(U16_LEAD(c)));
    out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
  }
}

} // namespace

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return static_cast<unsigned char>(kAsciiFolded[c]);
  if (c == 0x130) return 'i'; // the library folds it only in Turkic mode, which would fold I to dotless i
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

// ASCII is its own NFC and folds by table. A run of other characters goes through the library
// together with the ASCII character before it, which a combining mark may join.
void TSearchForm::Append(std::string_view in, bool fold, std::string& out) {
  const char* from = in.data();
  const size_t n = in.size();
  for (size_t i = 0; i < n;) {
    // The ASCII run from i, eight bytes at a time; capitals get the 0x20 bit of small letters.
    constexpr uint64_t kEach = 0x0101010101010101ull;
    size_t ascii = i;
    for (uint64_t word; ascii + 8 <= n; ascii += 8) {
      std::memcpy(&word, from + ascii, 8);
      if (word & (kEach * 0x80)) break;
    }
    while (ascii < n && static_cast<unsigned char>(from[ascii]) < 0x80)
      ++ascii;
    const size_t base = out.size();
    out.resize(base + (ascii - i));
    char* to = out.data() + base;
    size_t k = i;
    for (uint64_t word; k + 8 <= ascii; k += 8, to += 8) {
      std::memcpy(&word, from + k, 8);
      if (fold) {
        const uint64_t atLeastA = word + kEach * (0x80 - 'A');
        const uint64_t pastZ = word + kEach * (0x80 - 'Z' - 1);
        word |= ((atLeastA ^ pastZ) & (kEach * 0x80)) >> 2;
      }
      std::memcpy(to, &word, 8);
    }
    for (; k < ascii; ++k)
      *to++ = fold ? kAsciiFolded[static_cast<unsigned char>(from[k])] : from[k];
    i = ascii;
    if (i == n) break;
    FRun.clear();
    if (i > 0 && static_cast<unsigned char>(from[i - 1]) < 0x80) {
      FRun.push_back(static_cast<char16_t>(from[i - 1]));
      out.pop_back();
    }
    while (i < n && static_cast<unsigned char>(from[i]) >= 0x80) {
      size_t length;
      const char32_t c = Decode(in, i, length);
      if (length == 0) { // not UTF-8: kept as it is, and no character joins across it
        FlushRun(fold, out);
        out.push_back(from[i++]);
        continue;
      }
      AppendUtf16(c, FRun);
      i += length;
    }
    FlushRun(fold, out);
  }
}

void TSearchForm::FlushRun(bool fold, std::string& out) {
  if (FRun.empty()) return;
  Normalize(FRun, FNormal);
  if (fold) {
    FRun.clear();
    bool changed = false;
    for (size_t k = 0; k < FNormal.size();) {
      char32_t c;
      U16_NEXT_UNSAFE(FNormal.data(), k, c);
      const char32_t folded = FoldCase(c);
      changed = changed || folded != c;
      AppendUtf16(folded, FRun);
    }
    // A folded letter may compose where its capital did not.
    if (changed) Normalize(FRun, FNormal);
  }
  char bytes[4];
  for (size_t k = 0; k < FNormal.size();) {
    char32_t c;
    U16_NEXT_UNSAFE(FNormal.data(), k, c);
    out.append(bytes, EncodeUtf8(c, bytes));
  }
  FRun.clear();
}

void AppendSearchForm(std::string_view utf8, bool fold, std::string& out) {
  TSearchForm form;
  form.Append(utf8, fold, out);
}

} // namespace qel
