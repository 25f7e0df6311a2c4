#include "DataLines.h"

#include "platform/Convert.h"
#include "platform/Errors.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <exception>

namespace qel {

namespace {
thread_local int tFailedLine = 0;
}

TLineReader::TLineReader(std::string_view bytes) : FData(bytes), FUncaught(std::uncaught_exceptions()) {
  size_t eof = bytes.find(EndOfFile);
  FEndMarked = eof != std::string_view::npos;
  if (FEndMarked) FData = bytes.substr(0, eof);
}

TLineReader::~TLineReader() {
  if (std::uncaught_exceptions() > FUncaught && tFailedLine == 0) tFailedLine = LinesRead();
}

int TLineReader::LinesRead() const {
  const std::string_view done = FData.substr(0, FPos);
  const auto breaks = static_cast<int>(std::count(done.begin(), done.end(), '\n'));
  return breaks + (!done.empty() && done.back() != '\n' ? 1 : 0);
}

int TLineReader::FailedLine() { return tFailedLine; }

void TLineReader::ClearFailedLine() { tFailedLine = 0; }

std::string_view TLineReader::ReadLine() {
  if (Eof()) return {};
  size_t lf = FData.find('\n', FPos);
  size_t end = lf == std::string_view::npos ? FData.size() : lf;
  std::string_view line = FData.substr(FPos, end - FPos);
  FPos = lf == std::string_view::npos ? FData.size() : lf + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.find('\r') == std::string_view::npos) return line;
  FScratch.clear();
  for (char c : line)
    if (c != '\r') FScratch += c;
  return FScratch;
}

std::string_view CutField(std::string_view& line) {
  size_t sep = line.find(FieldSep);
  if (sep == std::string_view::npos) return {};
  std::string_view field = line.substr(0, sep);
  line.remove_prefix(sep + 1);
  return field;
}

int32_t ToInt(std::string_view field) {
  // The common case, plain decimal, without the general routine.
  int32_t value;
  auto r = std::from_chars(field.data(), field.data() + field.size(), value);
  if (r.ec == std::errc() && r.ptr == field.data() + field.size() && !field.empty() && field[0] != '+')
    return value;
  return StrToInt(field);
}

void CheckPlace(int32_t id, int32_t place) {
  if (id != place)
    throw Exception("The file is damaged: record " + std::to_string(place) + " has the identifier " + std::to_string(id) +
                    " (a line doubled, lost or moved)");
}

void CheckRising(int32_t id, int32_t previous) {
  if (id <= previous)
    throw Exception("The file is damaged: the identifier " + std::to_string(id) + " follows " + std::to_string(previous) +
                    " (a line doubled or moved)");
}

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;

// Whether any byte of the word equals the byte repeated in pattern.
bool HasByte(uint64_t word, uint64_t pattern) {
  uint64_t x = word ^ pattern;
  return ((x - kOnes) & ~x & (kOnes << 7)) != 0;
}

// The length of the run at the front of text that holds none of the bytes a writer replaces.
// Eight bytes at a time while none of them is one.
size_t PlainRun(std::string_view text) {
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (HasByte(word, kOnes * '\r') || HasByte(word, kOnes * '\n') || HasByte(word, kOnes * uint8_t(FieldSep)) ||
        HasByte(word, kOnes * uint8_t(EndOfFile)))
      break;
  }
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n' || c == FieldSep || c == EndOfFile) break;
    ++i;
  }
  return i;
}

} // namespace

void AppendCoded(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (size_t run = PlainRun(text.substr(i)); run > 0) {
      out.append(text.substr(i, run));
      i += run - 1;
      continue;
    }
    char c = text[i];
    if (c == '\r') {
      out += TextBreak;
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += TextBreak;
    } else if (c == FieldSep) {
      out += '?';
    } else if (c == EndOfFile) {
      out += ' ';
    } else {
      out += c;
    }
  }
}

std::string DecodeTextView(std::string_view coded) {
  std::string text;
  // Each break becomes two bytes: room for exactly the text, so that it grows once.
  text.reserve(coded.size() + static_cast<size_t>(std::count(coded.begin(), coded.end(), TextBreak)));
  for (size_t brk; (brk = coded.find(TextBreak)) != std::string_view::npos; coded.remove_prefix(brk + 1)) {
    text.append(coded.substr(0, brk));
    text += "\r\n";
  }
  text.append(coded);
  return text;
}

void TRecordWriter::Separate() {
  if (!FFirst) FOut += FieldSep;
  FFirst = false;
}

TRecordWriter& TRecordWriter::Int(long long value) {
  Separate();
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  FOut.append(buf, r.ptr);
  return *this;
}

TRecordWriter& TRecordWriter::Plain(std::string_view text) {
  Separate();
  while (!text.empty()) {
    size_t run = PlainRun(text);
    FOut.append(text.substr(0, run));
    if (run == text.size()) break;
    FOut += text[run] == FieldSep ? '?' : ' ';
    text.remove_prefix(run + 1);
  }
  return *this;
}

TRecordWriter& TRecordWriter::Coded(std::string_view text) {
  Separate();
  AppendCoded(FOut, text);
  return *this;
}

void TRecordWriter::EndLine() {
  FOut += "\r\n";
  FFirst = true;
}

} // namespace qel
