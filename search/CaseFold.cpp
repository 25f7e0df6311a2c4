#include "CaseFold.h"

#include "platform/Ansi.h"

#include <array>

namespace qel {
namespace {

// In [first, last], the characters whose offset from first has the given parity are capitals
// followed by their small letter.
bool PairedCapital(char32_t c, char32_t first, char32_t last, bool even = true) {
  return c >= first && c <= last && ((c - first) % 2 == 0) == even;
}

char32_t FoldLatin(char32_t c) {
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0xB5) return 0x3BC; // micro sign
  if (c < 0x100) return c;
  if (c == 0x130) return 'i';
  if (c == 0x178) return 0xFF;
  if (c == 0x17F) return 's';
  if (c == 0x1C4 || c == 0x1C7 || c == 0x1CA || c == 0x1F1) return c + 2;
  if (c == 0x1C5 || c == 0x1C8 || c == 0x1CB || c == 0x1F2) return c + 1;
  if (PairedCapital(c, 0x100, 0x12F) || PairedCapital(c, 0x132, 0x137) || PairedCapital(c, 0x139, 0x148) ||
      PairedCapital(c, 0x14A, 0x177) || PairedCapital(c, 0x179, 0x17E) || PairedCapital(c, 0x1CD, 0x1DC) ||
      PairedCapital(c, 0x1DE, 0x1EF) || PairedCapital(c, 0x1F8, 0x21F) || PairedCapital(c, 0x222, 0x233) ||
      PairedCapital(c, 0x246, 0x24F) || PairedCapital(c, 0x1E00, 0x1E95) || PairedCapital(c, 0x1EA0, 0x1EFF))
    return c + 1;
  if (c == 0x1E9E) return 0xDF; // capital sharp s
  return c;
}

char32_t FoldGreekExtended(char32_t c) {
  const char32_t low = c & 0xF;
  const char32_t row = c & ~char32_t{0xF};
  if (row <= 0x1F60 && low >= 8) {
    // Rows of eight small letters followed by their capitals; some capitals do not exist.
    if (row == 0x1F10 || row == 0x1F40) return low <= 0xD ? c - 8 : c;
    if (row == 0x1F50) return low % 2 ? c - 8 : c;
    return c - 8;
  }
  if (row >= 0x1F80 && row <= 0x1FA0 && low >= 8) return c - 8;
  switch (c) {
  case 0x1FB8: case 0x1FB9: case 0x1FD8: case 0x1FD9: case 0x1FE8: case 0x1FE9: return c - 8;
  case 0x1FBA: case 0x1FBB: return c - 0x1FBA + 0x1F70;
  case 0x1FC8: case 0x1FC9: case 0x1FCA: case 0x1FCB: return c - 0x1FC8 + 0x1F72;
  case 0x1FDA: case 0x1FDB: return c - 0x1FDA + 0x1F76;
  case 0x1FEA: case 0x1FEB: return c - 0x1FEA + 0x1F7A;
  case 0x1FF8: case 0x1FF9: return c - 0x1FF8 + 0x1F78;
  case 0x1FFA: case 0x1FFB: return c - 0x1FFA + 0x1F7C;
  case 0x1FBC: case 0x1FCC: case 0x1FFC: return c - 9;
  case 0x1FEC: return 0x1FE5;
  case 0x1FBE: return 0x3B9;
  default: return c;
  }
}

char32_t FoldGreek(char32_t c) {
  if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB)) return c + 32;
  switch (c) {
  case 0x376: return 0x377;
  case 0x37F: return 0x3F3;
  case 0x386: return 0x3AC;
  case 0x388: case 0x389: case 0x38A: return c + 37;
  case 0x38C: return 0x3CC;
  case 0x38E: case 0x38F: return c + 63;
  case 0x3C2: return 0x3C3; // final sigma
  case 0x3CF: return 0x3D7;
  case 0x3D0: return 0x3B2;
  case 0x3D1: case 0x3F4: return 0x3B8;
  case 0x3D5: return 0x3C6;
  case 0x3D6: return 0x3C0;
  case 0x3F0: return 0x3BA;
  case 0x3F1: return 0x3C1;
  case 0x3F5: return 0x3B5;
  case 0x3F7: case 0x3FA: return c + 1;
  case 0x3F9: return 0x3F2;
  case 0x3FD: case 0x3FE: case 0x3FF: return c - 130;
  default: break;
  }
  if (PairedCapital(c, 0x370, 0x373) || PairedCapital(c, 0x3D8, 0x3EF)) return c + 1;
  return c;
}

char32_t FoldCyrillic(char32_t c) {
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c == 0x4C0) return 0x4CF;
  if (PairedCapital(c, 0x460, 0x481) || PairedCapital(c, 0x48A, 0x4BF) || PairedCapital(c, 0x4C1, 0x4CE) ||
      PairedCapital(c, 0x4D0, 0x52F) || PairedCapital(c, 0xA640, 0xA66D) || PairedCapital(c, 0xA680, 0xA69B))
    return c + 1;
  return c;
}

char32_t FoldOther(char32_t c) {
  if (c >= 0x531 && c <= 0x556) return c + 48;                     // Armenian
  if ((c >= 0x10A0 && c <= 0x10C5) || c == 0x10C7 || c == 0x10CD) // Georgian
    return c - 0x10A0 + 0x2D00;
  if ((c >= 0x1C90 && c <= 0x1CBA) || (c >= 0x1CBD && c <= 0x1CBF)) return c - 0x1C90 + 0x10D0;
  if (c >= 0x2160 && c <= 0x216F) return c + 16;     // Roman numerals
  if (c >= 0x24B6 && c <= 0x24CF) return c + 26;     // circled letters
  if (c >= 0x2C00 && c <= 0x2C2F) return c + 48;     // Glagolitic
  if (PairedCapital(c, 0x2C80, 0x2CE3)) return c + 1; // Coptic
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;     // fullwidth Latin
  return c;
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

} // namespace

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  if (c < 0x370 || (c >= 0x1E00 && c <= 0x1EFF)) return FoldLatin(c);
  if (c < 0x400) return FoldGreek(c);
  if (c < 0x530 || (c >= 0xA640 && c <= 0xA69F)) return FoldCyrillic(c);
  if (c >= 0x1F00 && c <= 0x1FFF) return FoldGreekExtended(c);
  return FoldOther(c);
}

void AppendFolded(std::string_view in, std::string& out) {
  static constexpr auto kAscii = [] {
    std::array<char, 128> table{};
    for (int c = 0; c < 128; ++c) table[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return table;
  }();
  // No folded form is longer than its character, so the text's size is enough.
  const size_t base = out.size();
  out.resize(base + in.size());
  // Local pointers: the stores cannot then be taken for changes of the string.
  const char* from = in.data();
  char* to = out.data() + base;
  for (size_t i = 0, n = in.size(); i < n;) {
    const unsigned char c = static_cast<unsigned char>(from[i]);
    if (c < 0x80) {
      *to++ = kAscii[c];
      ++i;
      continue;
    }
    size_t length;
    const char32_t cp = Decode(in, i, length);
    if (length == 0) {
      *to++ = static_cast<char>(c);
      ++i;
      continue;
    }
    const char32_t folded = FoldCase(cp);
    if (folded == cp) {
      for (size_t k = 0; k < length; ++k) *to++ = from[i + k];
    } else {
      to += EncodeUtf8(folded, to);
    }
    i += length;
  }
  out.resize(static_cast<size_t>(to - out.data()));
}

} // namespace qel
