#include "IniFile.h"

#include "Ansi.h"
#include "FileNames.h"

#include <optional>
#include <string_view>
#include <vector>

namespace qel {
namespace {

constexpr std::string_view kNewLine = "\r\n";

// One line of the file: its text and the line break that ended it ("" for the last line).
struct TLine {
  std::string Text;
  std::string Break;
};

std::vector<TLine> SplitLines(const std::string& bytes) {
  std::vector<TLine> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    size_t next = end + 1;
    if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
    lines.push_back({bytes.substr(start, end - start), bytes.substr(end, next - end)});
    start = next;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool SameName(std::string_view a, std::string_view b) { return AnsiLowerCase(a) == AnsiLowerCase(b); }

// The section name when the line is a section header.
std::optional<std::string_view> SectionOf(const TLine& line) {
  std::string_view t = Trim(line.Text);
  if (t.empty() || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  return Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// The key name when the line is a key line.
std::optional<std::string_view> KeyOf(const TLine& line) {
  std::string_view t = Trim(line.Text);
  if (t.empty() || t.front() == ';') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(0, eq));
}

// Lines [First, End) of a section's body, after its header.
struct TSectionRange {
  size_t Header = 0;
  size_t End = 0;
};

std::optional<TSectionRange> FindSection(const std::vector<TLine>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionOf(lines[i]);
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionOf(lines[end])) ++end;
    return TSectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<TLine>& lines, const TSectionRange& range, std::string_view ident) {
  for (size_t i = range.Header + 1; i < range.End; ++i) {
    auto key = KeyOf(lines[i]);
    if (key && SameName(*key, ident)) return i;
  }
  return std::nullopt;
}

std::string Join(const std::vector<TLine>& lines) {
  std::string out;
  for (const TLine& line : lines) out += line.Text + line.Break;
  return out;
}

} // namespace

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
  std::string name = FindFileNoCase(FFileName);
  if (!FileExists(name)) return Default;
  std::vector<TLine> lines = SplitLines(ReadFileBytes(name));
  auto range = FindSection(lines, Section);
  if (!range) return Default;
  auto at = FindKey(lines, *range, Ident);
  if (!at) return Default;
  std::string_view text = lines[*at].Text;
  return std::string(Trim(text.substr(text.find('=') + 1)));
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  std::string name = FindFileNoCase(FFileName);
  std::vector<TLine> lines = FileExists(name) ? SplitLines(ReadFileBytes(name)) : std::vector<TLine>{};
  const TLine entry{Ident + "=" + Value, std::string(kNewLine)};
  auto range = FindSection(lines, Section);
  if (!range) {
    if (!lines.empty() && lines.back().Break.empty()) lines.back().Break = kNewLine;
    lines.push_back({"[" + Section + "]", std::string(kNewLine)});
    lines.push_back(entry);
  } else if (auto at = FindKey(lines, *range, Ident)) {
    lines[*at].Text = entry.Text;
    if (lines[*at].Break.empty()) lines[*at].Break = kNewLine;
  } else {
    // Behind the section's last non-blank line, so blank lines between sections stay.
    size_t insert = range->End;
    while (insert > range->Header + 1 && Trim(lines[insert - 1].Text).empty()) --insert;
    if (lines[insert - 1].Break.empty()) lines[insert - 1].Break = kNewLine;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert), entry);
  }
  // The file is replaced whole, never left half written.
  ReplaceFileBytes(name, Join(lines));
}

} // namespace qel
