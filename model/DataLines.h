#pragma once
// Lines and fields of the data files.
#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

constexpr char FieldSep = '\xFF';
constexpr char TextBreak = '\xFE';
constexpr char EndOfFile = '\x1A';

// Reads text lines: a line ends at LF or CR LF, a CR not followed by LF is dropped, and the
// byte 0x1A ends the file. A file ending in CR LF has no empty last line.
class TLineReader {
public:
  explicit TLineReader(std::string_view bytes);
  // A reader left by an exception records its line for FailedLine (the innermost one wins).
  ~TLineReader();
  TLineReader(const TLineReader&) = delete;
  TLineReader& operator=(const TLineReader&) = delete;
  bool Eof() const { return FPos >= FData.size(); }
  // Whether the bytes hold the end-of-file mark (the reading ends there).
  bool EndMarked() const { return FEndMarked; }
  // The next line; valid until the next call. Empty at the end of the file.
  std::string_view ReadLine();
  // Number of lines read so far.
  int LinesRead() const;

  // The line (from 1) where an exception interrupted reading since the last ClearFailedLine;
  // 0 when none did.
  static int FailedLine();
  static void ClearFailedLine();

private:
  std::string_view FData;
  size_t FPos = 0;
  bool FEndMarked = false;
  std::string FScratch;
  int FUncaught;
};

// Cuts the next field (up to the first 0xFF) from the front of line; when there is none,
// yields an empty field and leaves the line whole.
std::string_view CutField(std::string_view& line);
int32_t ToInt(std::string_view field);
inline int32_t CutInt(std::string_view& line) { return ToInt(CutField(line)); }
inline uint8_t ToByte(std::string_view field) { return static_cast<uint8_t>(ToInt(field) & 0xFF); }

// The files the program writes give every record its place in the file as identifier (the
// sheets file of an export: identifiers that rise). A record whose identifier disagrees was
// doubled, lost or moved: these raise the damage error.
void CheckPlace(int32_t id, int32_t place);
void CheckRising(int32_t id, int32_t previous);

// EncodeText with the bytes that would break a record replaced.
void AppendCoded(std::string& out, std::string_view text);
std::string DecodeTextView(std::string_view coded);

// Builds one record line: fields joined by 0xFF, CR LF at the end.
class TRecordWriter {
public:
  explicit TRecordWriter(std::string& out) : FOut(out) {}
  TRecordWriter& Int(long long value);
  // Plain text: CR and LF become blanks, 0xFF "?", 0x1A a blank.
  TRecordWriter& Plain(std::string_view text);
  TRecordWriter& Coded(std::string_view text);
  void EndLine();

private:
  void Separate();
  std::string& FOut;
  bool FFirst = true;
};

} // namespace qel
