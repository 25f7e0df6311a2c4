#include "Ansi.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace qel {
namespace {

// Windows-1252 0x80..0x9F; 0 marks the undefined bytes (kept as C1 controls).
constexpr char16_t kHighTable[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr std::array<unsigned char, 256> MakeLowerTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) t[c] = static_cast<unsigned char>(c + 32);
  t[0x8A] = 0x9A; // Š
  t[0x8C] = 0x9C; // Œ
  t[0x8E] = 0x9E; // Ž
  t[0x9F] = 0xFF; // Ÿ
  return t;
}
constexpr auto kLower = MakeLowerTable();

} // namespace

int AnsiByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    char16_t mapped = kHighTable[i] ? kHighTable[i] : static_cast<char16_t>(0x80 + i);
    if (mapped == c) return 0x80 + i;
  }
  return -1;
}

unsigned char AnsiLowerChar(unsigned char c) { return kLower[c]; }

std::string AnsiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(kLower[static_cast<unsigned char>(c)]);
  return out;
}

char16_t AnsiCharToUtf16(unsigned char c) {
  if (c >= 0x80 && c < 0xA0 && kHighTable[c - 0x80]) return kHighTable[c - 0x80];
  return c;
}

std::u16string AnsiToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out += AnsiCharToUtf16(static_cast<unsigned char>(c));
  return out;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i; // one character, one "?"
      out += '?';
      continue;
    }
    int b = AnsiByteOf(u);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string AnsiToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendAnsiAsUtf8(text, out);
  return out;
}

size_t EncodeUtf8(char32_t cp, char* to) {
  if (cp < 0x80) {
    to[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    to[0] = static_cast<char>(0xC0 | (cp >> 6));
    to[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    to[0] = static_cast<char>(0xE0 | (cp >> 12));
    to[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    to[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  to[0] = static_cast<char>(0xF0 | (cp >> 18));
  to[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  to[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  to[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

void AppendUtf8(char32_t cp, std::string& out) {
  char bytes[4];
  out.append(bytes, EncodeUtf8(cp, bytes));
}

void AppendAnsiAsUtf8(std::string_view text, std::string& out) {
  // Runs of ASCII are copied whole; eight bytes are tested at a time.
  const char* data = text.data();
  const size_t n = text.size();
  size_t start = 0, i = 0;
  while (i < n) {
    uint64_t word;
    if (i + 8 <= n && (std::memcpy(&word, data + i, 8), (word & 0x8080808080808080ull) == 0)) {
      i += 8;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(data[i]);
    if (c >= 0x80) {
      out.append(data + start, i - start);
      AppendUtf8(AnsiCharToUtf16(c), out);
      start = i + 1;
    }
    ++i;
  }
  out.append(data + start, n - start);
}

void AppendUtf16AsUtf8(std::u16string_view text, std::string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (cp >= 0xD800 && cp <= 0xDFFF)
      cp = 0xFFFD;
    AppendUtf8(cp, out);
  }
}

std::string Utf8ToAnsi(std::string_view s) {
  std::u16string u16;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
    else { u16 += u'?'; ++i; continue; }
    if (i + len > s.size()) { u16 += u'?'; break; }
    bool ok = true;
    for (size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) { ok = false; break; }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) { u16 += u'?'; ++i; continue; }
    i += len;
    u16 += cp > 0xFFFF ? u'?' : static_cast<char16_t>(cp);
  }
  return Utf16ToAnsi(u16);
}

} // namespace qel
