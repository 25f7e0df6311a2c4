#pragma once
// File names and simple file operations. Names are Windows-1252 strings like every other
// text of the program; they are converted to the system's UTF-8 only where the system is called.
// Names read from files may use "\" as separator: splitting accepts both "\" and "/".
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace qel {

constexpr char PathDelim = '/';

bool IsPathDelimiter(char c);
// Folder part including its final separator; empty when the name has no separator.
std::string ExtractFilePath(std::string_view name);
// Name after the last separator.
std::string ExtractFileName(std::string_view name);
// Extension including its full stop ("" when the name part has none).
std::string ExtractFileExt(std::string_view name);
std::string ChangeFileExt(std::string_view name, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view folder);
std::string ExcludeTrailingPathDelimiter(std::string_view folder);

std::string ToNativePath(std::string_view ansiName);
std::string FromNativePath(std::string_view nativeName);

bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
// Whether this program may not write the file, or make files in the folder: the system
// refuses it, or a file's write bits are all clear (a user who may write anything still keeps
// a file they protected). False for a name that does not exist.
bool IsReadOnly(const std::string& name);
// The name of an existing file: the exact name when it exists, else the first entry of the
// same folder whose name equals it without regard to letter case, else the name unchanged.
std::string FindFileNoCase(const std::string& name);
// An entry of any kind in the same folder whose name equals name's only without regard to
// letter case; empty when there is none.
std::string FindOtherCase(const std::string& name);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
bool CreateDir(const std::string& dir);
std::string ExpandFileName(const std::string& name);

// Whole content of a file; raises EInOutError.
std::string ReadFileBytes(const std::string& name);

// The content of a file, read whole. A file that changes size while it is read (cut or
// grown by another program) raises EInOutError as ReadFileBytes does.
class TFileBytes {
public:
  explicit TFileBytes(const std::string& name);
  TFileBytes(const TFileBytes&) = delete;
  TFileBytes& operator=(const TFileBytes&) = delete;
  std::string_view View() const { return FBytes; }

private:
  std::string FBytes;
};
// Creates or replaces a file with the bytes, flushed to disk; raises EInOutError.
void WriteFileBytes(const std::string& name, std::string_view bytes);
// Creates a new file with the bytes, flushed to disk: never over an existing name, never
// through a symbolic link (EEXIST); raises EInOutError.
void CreateFileBytes(const std::string& name, std::string_view bytes);
// What stands at a name, its symbolic link not followed.
enum class TEntryKind { None, File, Folder, Link, Other };
TEntryKind EntryKind(const std::string& name);
// The content of a plain file at most limit bytes long, read without following a symbolic
// link; raises EInOutError (ELOOP for a link, EISDIR, EFBIG past the limit).
std::string ReadPlainFile(const std::string& name, size_t limit);
// Renames over an existing file; raises EInOutError.
void RenameFile(const std::string& from, const std::string& to);
bool DeleteFile(const std::string& name);
// Flushes a folder's entries (renames, new files) to disk; false on failure.
bool SyncFolder(const std::string& folder);

// Replaces a file whole. The bytes go to a temporary file beside the file's real place (a
// symbolic link is followed and stays a link), with the old file's permissions, flushed to
// disk; Commit renames it over the file. A read-only file raises EInOutError naming it as
// soon as the replacement is made, before anything is written. The temporary is made new:
// a plain file left there by a save that stopped is replaced, anything else (a link, a
// folder) raises EInOutError naming it.
class TFileReplacement {
public:
  explicit TFileReplacement(const std::string& name);
  // The file a replacement of name writes (its links followed) and that file's temporary.
  static std::string TargetFor(const std::string& name);
  static std::string TempFor(const std::string& target) { return target + ".saving"; }
  const std::string& Target() const { return FTarget; }
  const std::string& Temp() const { return FTemp; }
  void Write(std::string_view bytes);
  void Commit() const { RenameFile(FTemp, FTarget); }
  // Removes the temporary when this replacement made it.
  void Discard() const {
    if (FMade) DeleteFile(FTemp);
  }

private:
  std::string FTarget, FTemp;
  bool FMade = false;
  bool FExists = false;
  mode_t FMode = 0;
  uid_t FOwner = 0;
  gid_t FGroup = 0;
};
// A TFileReplacement written and committed, its folder flushed; raises EInOutError.
void ReplaceFileBytes(const std::string& name, std::string_view bytes);

// For tests: called before each file operation that writes, renames, deletes, flushes or
// reads (op is "write", "rename", "delete", "sync" or "read"); true makes the operation fail
// as a disk error would. A write so failed leaves half its bytes.
extern std::function<bool(std::string_view op, const std::string& name)> FileOperationFault;
// Copies a file, replacing the target; raises EInOutError.
void CopyFileBytes(const std::string& from, const std::string& to);

} // namespace qel
