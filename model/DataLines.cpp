#include "DataLines.h"

#include "platform/Convert.h"

#include <algorithm>
#include <charconv>
#include <exception>

namespace qel {

namespace {
thread_local int tFailedLine = 0;
}

TLineReader::TLineReader(std::string_view bytes) : FData(bytes), FUncaught(std::uncaught_exceptions()) {
  size_t eof = bytes.find(EndOfFile);
  if (eof != std::string_view::npos) FData = bytes.substr(0, eof);
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

void AppendCoded(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
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
  text.reserve(coded.size() + 16);
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
  for (char c : text) {
    if (c == '\r' || c == '\n' || c == EndOfFile)
      FOut += ' ';
    else if (c == FieldSep)
      FOut += '?';
    else
      FOut += c;
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
