#include "SaveJournal.h"

#include "Container.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <cerrno>
#include <set>

namespace qel {
namespace {

constexpr std::string_view kHeader = "QEL save journal";
constexpr std::string_view kEnd = "end";

} // namespace

TSaveJournal::TSaveJournal(const std::string& projectFile)
    : FFolder(ExtractFilePath(projectFile)),
      FFileName(FindFileNoCase(FFolder + TContainer::BaseName(projectFile) + "_Save.journal")) {}

// Names in the project's folder are kept relative to it, so that a moved folder still finds them.
std::string TSaveJournal::Stored(const std::string& name) const {
  if (!FFolder.empty() && name.compare(0, FFolder.size(), FFolder) == 0) return name.substr(FFolder.size());
  return name;
}

std::string TSaveJournal::Resolved(const std::string& stored) const {
  return !stored.empty() && stored[0] == '/' ? stored : FFolder + stored;
}

// A line of the header, a line per file (its name and its temporary file's, apart by a NUL,
// which no name holds), then the end line.
void TSaveJournal::Write(const std::vector<TFileReplacement>& files) const {
  std::string out(kHeader);
  out += '\n';
  for (const TFileReplacement& file : files) {
    out += Stored(file.Target());
    out += '\0';
    out += Stored(file.Temp());
    out += '\n';
  }
  out += kEnd;
  out += '\n';
  WriteFileBytes(FFileName, out);
  if (!SyncFolder(FFolder)) RaiseInOutError(errno);
}

bool TSaveJournal::Read(std::string_view bytes, std::vector<TEntry>& entries) const {
  auto nextLine = [&bytes](std::string_view& line) {
    const size_t end = bytes.find('\n');
    if (end == std::string_view::npos) return false;
    line = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
    return true;
  };
  std::string_view line;
  if (!nextLine(line) || line != kHeader) return false;
  while (nextLine(line)) {
    if (line == kEnd) return bytes.empty();
    const size_t nul = line.find('\0');
    if (nul == 0 || nul == std::string_view::npos || nul + 1 == line.size()) return false;
    entries.push_back({Resolved(std::string(line.substr(0, nul))), Resolved(std::string(line.substr(nul + 1)))});
  }
  return false;
}

std::string TSaveJournal::Finish() const {
  if (!FileExists(FFileName)) return {};
  bool whole = false;
  try {
    std::vector<TEntry> entries;
    whole = Read(ReadFileBytes(FFileName), entries);
    std::set<std::string> folders{FFolder};
    for (const TEntry& entry : entries) {
      // A temporary file still there is complete (the journal was written after it) and not
      // yet in place; one gone was renamed already.
      if (!whole)
        DeleteFile(entry.Temp);
      else if (FileExists(entry.Temp))
        RenameFile(entry.Temp, entry.Target);
      folders.insert(ExtractFilePath(entry.Target));
    }
    for (const std::string& folder : folders)
      if (!SyncFolder(folder)) RaiseInOutError(errno);
    if (!Remove()) RaiseInOutError(errno);
  } catch (const EInOutError& e) {
    throw EInOutError(e.ErrorCode, std::string("An interrupted save of this project could not be ") +
                                       (whole ? "completed" : "undone") + " (" + e.what() + "): " + FFileName);
  }
  return whole ? "A save of this project had been interrupted. It has now been completed: the project is as "
                 "that save left it."
               : "A save of this project had been interrupted before it was complete. It has been undone: the "
                 "project is as it was before that save.";
}

bool TSaveJournal::Remove() const { return DeleteFile(FFileName) && SyncFolder(FFolder); }

} // namespace qel
