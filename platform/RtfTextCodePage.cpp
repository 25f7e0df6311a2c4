#include "RtfTextCodePage.h"

#include "Ansi.h"

#include <cerrno>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>

namespace qel {
namespace {

struct TCharsetPage {
  int Charset, CodePage;
};
constexpr TCharsetPage kCharsets[] = {
    {0, 1252},   {2, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936}, {136, 950},
    {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},
    {238, 1250}, {254, 437},  {255, 850},
};

std::string IconvName(int number) {
  switch (number) {
  case 10000: return "MACINTOSH";
  case 1361: return "JOHAB";
  default: return "CP" + std::to_string(number);
  }
}

// One conversion of up to two bytes to UTF-16; 0 when they make no (whole) character. The
// converter is told the input ends: decoders that combine (1255, 1258) hold a letter back
// until the next character shows whether a mark follows.
class TConverter {
public:
  explicit TConverter(const std::string& name) : FHandle(iconv_open("UTF-16LE", name.c_str())) {}
  ~TConverter() {
    if (Valid()) iconv_close(FHandle);
  }
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;
  bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
  // Returns the character; incomplete is set when the bytes start a longer character.
  char16_t Convert(const char* bytes, size_t size, bool& incomplete) {
    iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    char in[2] = {bytes[0], size > 1 ? bytes[1] : '\0'};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = size, outLeft = sizeof(out);
    const size_t result = iconv(FHandle, &inPtr, &inLeft, &outPtr, &outLeft);
    incomplete = result == static_cast<size_t>(-1) && errno == EINVAL;
    if (result == static_cast<size_t>(-1) || inLeft != 0) return 0;
    if (iconv(FHandle, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return 0;
    if (sizeof(out) - outLeft != 2) return 0;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
  }

private:
  iconv_t FHandle;
};

} // namespace

bool TRtfCodePage::Build() {
  if (FNumber == 1252) { // the program's own code page: every byte survives
    for (int b = 0; b < 256; ++b) FSingle[b] = AnsiCharToUtf16(static_cast<unsigned char>(b));
    return true;
  }
  TConverter converter(IconvName(FNumber));
  if (!converter.Valid()) return false;
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    bool incomplete = false;
    FSingle[b] = b < 0x80 && FNumber != 10000 && FNumber != 1361 ? static_cast<char16_t>(b)
                                                                   : converter.Convert(&byte, 1, incomplete);
    FLead[b] = incomplete;
    FDoubleByte = FDoubleByte || incomplete;
  }
  if (FNumber == 10000) { // Apple's current table, as other readers have it
    FSingle[0xC6] = u'\x2206';
    FSingle[0xF0] = u'\xF8FF';
  }
  for (int lead = 0; lead < 256; ++lead) {
    if (!FLead[lead]) continue;
    FLeadRow[lead] = static_cast<uint16_t>(FPairs.size() / 256);
    for (int trail = 0; trail < 256; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      bool incomplete = false;
      FPairs.push_back(converter.Convert(pair, 2, incomplete));
    }
  }
  return true;
}

const TRtfCodePage* TRtfCodePage::Get(int number) {
  // Pages are built once and never freed; each thread remembers those it has asked for, so
  // texts read on several threads at once do not queue at the lock.
  thread_local std::map<int, const TRtfCodePage*> known;
  if (auto seen = known.find(number); seen != known.end()) return seen->second;
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<TRtfCodePage>> pages;
  std::lock_guard lock(mutex);
  auto found = pages.find(number);
  if (found == pages.end()) {
    std::unique_ptr<TRtfCodePage> page(new TRtfCodePage(number));
    if (number <= 0 || number > 65535 || !page->Build()) page.reset();
    found = pages.emplace(number, std::move(page)).first;
  }
  return known.emplace(number, found->second.get()).first->second;
}

int TRtfCodePage::OfCharset(int charset) {
  for (const TCharsetPage& entry : kCharsets)
    if (entry.Charset == charset) return entry.CodePage;
  return 0;
}

int TRtfCodePage::CharsetOf(int codePage) {
  for (const TCharsetPage& entry : kCharsets)
    if (entry.CodePage == codePage && entry.Charset != 2) return entry.Charset;
  return -1;
}

char16_t TRtfCodePage::Decode(unsigned char lead, unsigned char trail) const {
  if (!FLead[lead]) return 0;
  return FPairs[static_cast<size_t>(FLeadRow[lead]) * 256 + trail];
}

std::string TRtfCodePage::Encode(char16_t c) const {
  if (c == 0 || FDoubleByte) return {};
  for (int b = 0; b < 256; ++b)
    if (FSingle[b] == c) return std::string(1, static_cast<char>(b));
  return {};
}

} // namespace qel
