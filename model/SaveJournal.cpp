#include "SaveJournal.h"

#include "Container.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <set>
#include <zlib.h>

namespace qel {
namespace {

constexpr std::string_view kHeader = "QEL save journal 2";
constexpr std::string_view kEnd = "end";
// A journal is a few lines: anything longer is not one.
constexpr size_t kLongest = 1024;

enum class TParsed { Whole, CutShort, Foreign };

bool IsSuffix(std::string_view text) {
  const auto& all = TContainer::DataSuffixes;
  return std::find(all.begin(), all.end(), text) != all.end();
}

// "_Not 1234 0a1b2c3d": a suffix, the size in decimal, the checksum in eight hex digits.
bool ParseEntry(std::string_view line, TJournalEntry& entry) {
  const size_t first = line.find(' '), second = line.find(' ', first + 1);
  if (first == std::string_view::npos || second == std::string_view::npos) return false;
  entry.Suffix = std::string(line.substr(0, first));
  const std::string_view size = line.substr(first + 1, second - first - 1), sum = line.substr(second + 1);
  const char* sizeEnd = size.data() + size.size();
  const char* sumEnd = sum.data() + sum.size();
  return IsSuffix(entry.Suffix) && !size.empty() && size.size() <= 19 &&
         std::from_chars(size.data(), sizeEnd, entry.Size).ptr == sizeEnd && sum.size() == 8 &&
         std::all_of(sum.begin(), sum.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }) &&
         std::from_chars(sum.data(), sumEnd, entry.Checksum, 16).ptr == sumEnd;
}

// A journal cut short is a beginning of a whole one: its last line may stop anywhere.
bool StartsWhole(std::string_view whole, std::string_view part) { return whole.substr(0, part.size()) == part; }

bool CouldBeCut(std::string_view rest, bool header) {
  if (header) return StartsWhole(kHeader, rest);
  if (StartsWhole(kEnd, rest)) return true;
  for (std::string_view suffix : TContainer::DataSuffixes) {
    if (rest.size() <= suffix.size()) {
      if (StartsWhole(suffix, rest)) return true;
      continue;
    }
    if (rest.substr(0, suffix.size()) != suffix || rest[suffix.size()] != ' ') continue;
    std::string_view numbers = rest.substr(suffix.size() + 1);
    const size_t digits = std::min(numbers.find_first_not_of("0123456789"), numbers.size());
    if (digits == numbers.size()) return true;
    numbers.remove_prefix(digits);
    return numbers[0] == ' ' && numbers.size() <= 9 &&
           numbers.find_first_not_of("0123456789abcdef", 1) == std::string_view::npos;
  }
  return false;
}

TParsed Parse(std::string_view bytes, std::vector<TJournalEntry>& entries) {
  std::set<std::string> seen;
  for (bool header = true;; header = false) {
    const size_t end = bytes.find('\n');
    if (end == std::string_view::npos) return CouldBeCut(bytes, header) ? TParsed::CutShort : TParsed::Foreign;
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
    if (header) {
      if (line != kHeader) return TParsed::Foreign;
      continue;
    }
    if (line == kEnd) return bytes.empty() && !entries.empty() ? TParsed::Whole : TParsed::Foreign;
    TJournalEntry entry;
    if (!ParseEntry(line, entry) || !seen.insert(entry.Suffix).second) return TParsed::Foreign;
    entries.push_back(std::move(entry));
  }
}

// Whether a file is the complete one the journal describes. A file that is not there, not
// plain, or of another size or checksum is not; a failing read raises.
bool IsWhole(const std::string& name, const TJournalEntry& entry) {
  std::string bytes;
  try {
    bytes = ReadPlainFile(name, entry.Size);
  } catch (const EInOutError& e) {
    if (e.ErrorCode == ENOENT || e.ErrorCode == EFBIG || e.ErrorCode == ELOOP || e.ErrorCode == EISDIR ||
        e.ErrorCode == EINVAL)
      return false;
    throw;
  }
  return bytes.size() == entry.Size && TSaveJournal::Checksum(bytes) == entry.Checksum;
}

void SyncFolders(const std::set<std::string>& folders) {
  for (const std::string& folder : folders)
    if (!SyncFolder(folder)) RaiseInOutError(errno);
}

} // namespace

TSaveJournal::TSaveJournal(const std::string& projectFile)
    : FProjectFile(projectFile), FFolder(ExtractFilePath(projectFile)),
      FFileName(FFolder + TContainer::BaseName(projectFile) + "_Save.journal") {}

uint32_t TSaveJournal::Checksum(std::string_view bytes) {
  return static_cast<uint32_t>(
      ::crc32_z(::crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

// Every name comes from the project's own: the data file as a save finds it, and its temporary.
TSaveJournal::TFiles TSaveJournal::FilesOf(std::string_view suffix) const {
  TFiles files;
  files.Target = TFileReplacement::TargetFor(FindFileNoCase(TContainer::DataFileName(FProjectFile, suffix)));
  files.Temp = TFileReplacement::TempFor(files.Target);
  return files;
}

void TSaveJournal::Write(const std::vector<TJournalEntry>& entries) const {
  std::string out(kHeader);
  out += '\n';
  for (const TJournalEntry& entry : entries) {
    char sum[9];
    std::snprintf(sum, sizeof sum, "%08x", static_cast<unsigned>(entry.Checksum));
    out += entry.Suffix + ' ' + std::to_string(entry.Size) + ' ' + sum + '\n';
  }
  out += kEnd;
  out += '\n';
  try {
    CreateFileBytes(FFileName, out);
  } catch (const EInOutError& e) {
    if (e.ErrorCode == EEXIST)
      throw EInOutError(EEXIST, "Something that is not a journal QEL wrote stands where a save writes its journal. "
                                "Please remove it: " + FFileName);
    DeleteFile(FFileName); // ours, cut short; when this fails, the next load undoes it
    throw;
  }
  if (!SyncFolder(FFolder)) RaiseInOutError(errno);
}

std::string TSaveJournal::Recover() {
  FRefused.clear();
  switch (EntryKind(FFileName)) {
  case TEntryKind::None:
    if (const std::string other = FindOtherCase(FFileName); !other.empty())
      Refuse(other, "its name differs in letter case from the journal's, " + ExtractFileName(FFileName));
    return RemoveLeftovers();
  case TEntryKind::Folder:
    Refuse(FFileName, "it is a folder");
  case TEntryKind::Link:
    Refuse(FFileName, "it is a symbolic link");
  case TEntryKind::Other:
    Refuse(FFileName, "it is not a plain file");
  case TEntryKind::File:
    break;
  }
  const std::string foreign = "it is not a journal of a save of this project (it may name other files or paths)";
  std::string bytes;
  try {
    bytes = ReadPlainFile(FFileName, kLongest);
  } catch (const EInOutError& e) {
    if (e.ErrorCode != EFBIG && e.ErrorCode != ELOOP && e.ErrorCode != EINVAL) throw;
    Refuse(FFileName, foreign); // too long, or no longer a plain file
  }
  std::vector<TJournalEntry> entries;
  const TParsed parsed = Parse(bytes, entries);
  if (parsed == TParsed::Foreign)
    Refuse(FFileName, foreign);
  return parsed == TParsed::Whole ? Complete(entries) : Undo({}, true);
}

// A temporary still there is not yet in place; one gone was renamed already, its data file
// then being what the journal describes. When every file is as the journal says, the save is
// completed; when none was renamed yet, it can still be undone.
std::string TSaveJournal::Complete(const std::vector<TJournalEntry>& entries) {
  std::vector<TFiles> pending;
  bool renamed = false;
  std::string wrong;
  Repair("An interrupted save of this project could not be completed", FFileName, [&] {
    for (const TJournalEntry& entry : entries) {
      const TFiles files = FilesOf(entry.Suffix);
      const TEntryKind temp = EntryKind(files.Temp);
      if (temp == TEntryKind::File && IsWhole(files.Temp, entry))
        pending.push_back(files);
      else if (temp == TEntryKind::None && IsWhole(files.Target, entry))
        renamed = true;
      else if (wrong.empty())
        wrong = temp == TEntryKind::None ? files.Target : files.Temp;
    }
    if (!wrong.empty()) return;
    std::set<std::string> folders;
    for (const TFiles& files : pending) {
      RenameFile(files.Temp, files.Target);
      folders.insert(ExtractFilePath(files.Target));
    }
    Close(folders);
  });
  if (!wrong.empty() && renamed)
    Refuse(FFileName, "the files it covers do not match it: some are in place already, but not " + wrong,
           "The data files may hold parts of two saves: compare them with a backup before you remove this file: ");
  if (!wrong.empty()) return Undo(entries, false);
  return "A save of this project had been interrupted. It has now been completed: the project is as that save "
         "left it.";
}

// Removes the save's temporaries (all six when the journal is cut short) and the journal.
std::string TSaveJournal::Undo(const std::vector<TJournalEntry>& entries, bool cutShort) const {
  Repair("An interrupted save of this project could not be undone", FFileName, [&] {
    std::set<std::string> folders;
    for (std::string_view suffix : TContainer::DataSuffixes) {
      const bool listed = std::any_of(entries.begin(), entries.end(),
                                      [suffix](const TJournalEntry& entry) { return entry.Suffix == suffix; });
      const TFiles files = FilesOf(suffix);
      if ((cutShort || listed) && EntryKind(files.Temp) == TEntryKind::File) {
        if (!DeleteFile(files.Temp)) RaiseInOutError(errno);
        folders.insert(ExtractFilePath(files.Temp));
      }
    }
    Close(folders);
  });
  return "A save of this project had been interrupted before it was complete. It has been undone: the project is "
         "as it was before that save.";
}

// A save stopped before its journal was written leaves temporaries and the old data files.
std::string TSaveJournal::RemoveLeftovers() const {
  std::set<std::string> folders;
  Repair("The files of an unfinished save of this project could not be removed", FFolder, [&] {
    for (std::string_view suffix : TContainer::DataSuffixes) {
      const TFiles files = FilesOf(suffix);
      if (EntryKind(files.Temp) != TEntryKind::File) continue;
      if (!DeleteFile(files.Temp)) RaiseInOutError(errno);
      folders.insert(ExtractFilePath(files.Temp));
    }
    SyncFolders(folders);
  });
  if (folders.empty()) return {};
  return "The last save of this project did not finish: it stopped before all its files were written. The project "
         "is as it was before that save; the files that save had begun were removed.";
}

// Flushes the folders of the files put right, then removes the journal.
void TSaveJournal::Close(std::set<std::string> folders) const {
  folders.insert(FFolder);
  SyncFolders(folders);
  if (!Remove()) RaiseInOutError(errno);
}

void TSaveJournal::Repair(std::string_view failure, const std::string& name, const std::function<void()>& step) {
  try {
    step();
  } catch (const EInOutError& e) {
    throw EInOutError(e.ErrorCode, std::string(failure) + " (" + e.what() + "): " + name);
  }
}

bool TSaveJournal::Remove() const { return DeleteFile(FFileName) && SyncFolder(FFolder); }

void TSaveJournal::Refuse(const std::string& file, const std::string& why, std::string_view advice) {
  FRefused = file;
  throw EInOutError(0, "QEL found a save journal it does not act on: " + why +
                           ". Nothing was renamed or deleted. " + std::string(advice) + file);
}

} // namespace qel
