#pragma once
// File names and simple file operations. Names are Windows-1252 strings like every other
// text of the program; they are converted to the system's UTF-8 only where the system is called.
// Names read from files may use "\" as separator: splitting accepts both "\" and "/".
#include <string>
#include <string_view>
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
// The name of an existing file: the exact name when it exists, else the first entry of the
// same folder whose name equals it without regard to letter case, else the name unchanged.
std::string FindFileNoCase(const std::string& name);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
bool CreateDir(const std::string& dir);
std::string ExpandFileName(const std::string& name);

// Whole content of a file; raises EInOutError.
std::string ReadFileBytes(const std::string& name);

// The content of a file for reading only: a large regular file is mapped into memory rather
// than copied, others are read. Raises EInOutError as ReadFileBytes does.
class TFileBytes {
public:
  explicit TFileBytes(const std::string& name);
  ~TFileBytes();
  TFileBytes(const TFileBytes&) = delete;
  TFileBytes& operator=(const TFileBytes&) = delete;
  std::string_view View() const { return FView; }

private:
  std::string FCopy;
  void* FMap = nullptr;
  size_t FMapSize = 0;
  std::string_view FView;
};
// Creates or replaces a file with the bytes, flushed to disk; raises EInOutError.
void WriteFileBytes(const std::string& name, std::string_view bytes);
// Renames over an existing file; raises EInOutError.
void RenameFile(const std::string& from, const std::string& to);
bool DeleteFile(const std::string& name);
// A second name for an existing file (a hard link, else the file is moved there); false on failure.
bool KeepUnderName(const std::string& name, const std::string& other);
// Flushes a folder's entries (renames, new files) to disk; false on failure.
bool SyncFolder(const std::string& folder);
// Copies a file, replacing the target; raises EInOutError.
void CopyFileBytes(const std::string& from, const std::string& to);

} // namespace qel
