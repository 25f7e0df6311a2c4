#pragma once
// The Windows code pages that rich text names by "\ansicpg", "\cpg" and a font's "\fcharset":
// single-byte ones and the double-byte ones of East Asia, decoded to UTF-16 and encoded back.
#include <array>
#include <cstdint>
#include <string>

namespace qel {

class TRtfCodePage {
public:
  // The code page of a number, shared and built on first use; nullptr when the system does not
  // know it. Safe to call from any thread.
  static const TRtfCodePage* Get(int number);
  // The code page a font charset stands for; 0 for the default charset (the document's code
  // page) and for unknown charsets.
  static int OfCharset(int charset);
  // The charset whose code page this is, for a font table; -1 when there is none.
  static int CharsetOf(int codePage);

  int Number() const { return FNumber; }
  bool IsDoubleByte() const { return FDoubleByte; }
  bool IsLeadByte(unsigned char byte) const { return FLead[byte]; }
  // The character of a single byte, of a lead and trail byte; 0 when the bytes stand for none.
  char16_t Decode(unsigned char byte) const { return FSingle[byte]; }
  char16_t Decode(unsigned char lead, unsigned char trail) const;
  // The byte of a character in a single-byte code page; empty when it has none and for
  // double-byte code pages.
  std::string Encode(char16_t c) const;

private:
  explicit TRtfCodePage(int number) : FNumber(number) {}
  bool Build();

  int FNumber;
  bool FDoubleByte = false;
  std::array<char16_t, 256> FSingle{};
  std::array<bool, 256> FLead{};
  std::array<uint16_t, 256> FLeadRow{}; // row of a lead byte in FPairs
  std::basic_string<char16_t> FPairs;   // 256 characters per lead byte
};

} // namespace qel
