#include "FileNames.h"

#include "Ansi.h"
#include "Errors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qel {
namespace {

size_t LastDelimiter(std::string_view name) {
  size_t pos = name.find_last_of("\\/");
  return pos;
}

class Fd {
public:
  explicit Fd(int fd) : FFd(fd) {}
  ~Fd() {
    if (FFd >= 0) ::close(FFd);
  }
  Fd(const Fd&) = delete;
  Fd(Fd&& other) noexcept : FFd(other.Release()) {}
  Fd& operator=(const Fd&) = delete;
  int Get() const { return FFd; }
  int Release() {
    int fd = FFd;
    FFd = -1;
    return fd;
  }

private:
  int FFd;
};

} // namespace

bool IsPathDelimiter(char c) { return c == '/' || c == '\\'; }

std::string ExtractFilePath(std::string_view name) {
  size_t pos = LastDelimiter(name);
  return pos == std::string_view::npos ? std::string() : std::string(name.substr(0, pos + 1));
}

std::string ExtractFileName(std::string_view name) {
  size_t pos = LastDelimiter(name);
  return std::string(pos == std::string_view::npos ? name : name.substr(pos + 1));
}

std::string ExtractFileExt(std::string_view name) {
  std::string file = ExtractFileName(name);
  size_t dot = file.rfind('.');
  return dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string ChangeFileExt(std::string_view name, std::string_view ext) {
  size_t start = LastDelimiter(name);
  start = start == std::string_view::npos ? 0 : start + 1;
  size_t dot = name.rfind('.');
  std::string out(dot == std::string_view::npos || dot < start ? name : name.substr(0, dot));
  return out + std::string(ext);
}

std::string IncludeTrailingPathDelimiter(std::string_view folder) {
  std::string out(folder);
  if (out.empty() || !IsPathDelimiter(out.back())) out += PathDelim;
  return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view folder) {
  std::string out(folder);
  while (out.size() > 1 && IsPathDelimiter(out.back())) out.pop_back();
  return out;
}

std::string ToNativePath(std::string_view ansiName) { return AnsiToUtf8(ansiName); }
std::string FromNativePath(std::string_view nativeName) { return Utf8ToAnsi(nativeName); }

bool FileExists(const std::string& name) {
  struct stat st;
  return ::stat(ToNativePath(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
  struct stat st;
  return ::stat(ToNativePath(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnly(const std::string& name) {
  const std::string native = ToNativePath(name.empty() ? std::string(".") : name);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0) return false;
  if (::access(native.c_str(), W_OK) != 0) return true;
  return !S_ISDIR(st.st_mode) && (st.st_mode & 0222) == 0;
}

namespace {

// The first entry of name's folder that equals name without regard to letter case and that
// accept takes; empty when none.
std::string ScanNoCase(const std::string& name, const std::function<bool(const std::string&)>& accept) {
  std::string folder = ExtractFilePath(name);
  std::string wanted = AnsiLowerCase(ExtractFileName(name));
  DIR* dir = ::opendir(ToNativePath(folder.empty() ? std::string(".") : folder).c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    std::string entryName = FromNativePath(entry->d_name);
    if (AnsiLowerCase(entryName) == wanted && accept(folder + entryName)) {
      found = folder + entryName;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

} // namespace

std::string FindFileNoCase(const std::string& name) {
  if (FileExists(name)) return name;
  std::string found = ScanNoCase(name, [](const std::string& entry) { return FileExists(entry); });
  return found.empty() ? name : found;
}

std::string FindOtherCase(const std::string& name) {
  return ScanNoCase(name, [&name](const std::string& entry) { return entry != name; });
}

std::string GetCurrentDir() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return ".";
  return FromNativePath(buf);
}

bool SetCurrentDir(const std::string& dir) { return ::chdir(ToNativePath(dir).c_str()) == 0; }

bool CreateDir(const std::string& dir) {
  return ::mkdir(ToNativePath(ExcludeTrailingPathDelimiter(dir)).c_str(), 0777) == 0;
}

std::string ExpandFileName(const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  return IncludeTrailingPathDelimiter(GetCurrentDir()) + name;
}

namespace {

// Opens a file for reading and tells its state; raises EInOutError, also for a folder.
Fd OpenForReading(const std::string& name, struct stat& st) {
  Fd fd(::open(ToNativePath(name).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) RaiseInOutError(errno);
  if (::fstat(fd.Get(), &st) != 0) RaiseInOutError(errno);
  if (S_ISDIR(st.st_mode)) RaiseInOutError(EISDIR);
  return fd;
}

std::string ReadAll(const Fd& fd, const struct stat& st) {
  std::string out;
  if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd.Get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseInOutError(errno);
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

} // namespace

std::function<bool(std::string_view op, const std::string& name)> FileOperationFault;

namespace {

bool Faulted(std::string_view op, const std::string& name) { return FileOperationFault && FileOperationFault(op, name); }

void WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseInOutError(errno);
    }
    done += static_cast<size_t>(n);
  }
}

// Writes and flushes a file; a new one gets the mode (as the process's mask allows). An
// existing one is emptied first, or, when the file must be new, raises EEXIST (a link too).
void WriteNewFile(const std::string& name, std::string_view bytes, bool mustBeNew,
                  const std::function<void(int)>& prepare = {}) {
  const int how = mustBeNew ? O_CREAT | O_EXCL | O_NOFOLLOW : O_CREAT | O_TRUNC;
  Fd fd(::open(ToNativePath(name).c_str(), O_WRONLY | how | O_CLOEXEC, 0666));
  if (fd.Get() < 0) RaiseInOutError(errno);
  if (prepare) prepare(fd.Get());
  if (Faulted("write", name)) {
    WriteAll(fd.Get(), bytes.substr(0, bytes.size() / 2));
    RaiseInOutError(EIO);
  }
  WriteAll(fd.Get(), bytes);
  if (::fsync(fd.Get()) != 0 && errno != EINVAL && errno != EROFS) RaiseInOutError(errno);
  if (::close(fd.Release()) != 0) RaiseInOutError(errno);
}

// Where a name that is a symbolic link points, made absolute; the name itself otherwise.
std::string FollowLinks(const std::string& name) {
  std::string native = ToNativePath(name);
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return FromNativePath(native);
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
    ssize_t n = ::readlink(native.c_str(), target.data(), target.size());
    if (n < 0) RaiseInOutError(errno);
    target.resize(static_cast<size_t>(n));
    if (target.empty() || target[0] != '/') {
      size_t slash = native.rfind('/');
      target = (slash == std::string::npos ? std::string() : native.substr(0, slash + 1)) + target;
    }
    native = target;
  }
  RaiseInOutError(ELOOP);
}

} // namespace

std::string ReadFileBytes(const std::string& name) {
  struct stat st;
  Fd fd = OpenForReading(name, st);
  return ReadAll(fd, st);
}

TFileBytes::TFileBytes(const std::string& name) {
  struct stat st;
  Fd fd = OpenForReading(name, st);
  if (Faulted("read", name)) RaiseInOutError(EIO);
  FBytes = ReadAll(fd, st);
  // Read, not mapped: a file cut by another program while it is read gives fewer bytes here,
  // where a mapping would kill the program on the first page past the new end.
  struct stat after;
  if (S_ISREG(st.st_mode) &&
      (::fstat(fd.Get(), &after) != 0 || after.st_size != st.st_size || FBytes.size() != size_t(st.st_size)))
    throw EInOutError(EIO, "The file changed while it was read");
}

void WriteFileBytes(const std::string& name, std::string_view bytes) { WriteNewFile(name, bytes, false); }

void CreateFileBytes(const std::string& name, std::string_view bytes) { WriteNewFile(name, bytes, true); }

TEntryKind EntryKind(const std::string& name) {
  struct stat st;
  if (::lstat(ToNativePath(name).c_str(), &st) != 0) return TEntryKind::None;
  if (S_ISREG(st.st_mode)) return TEntryKind::File;
  if (S_ISDIR(st.st_mode)) return TEntryKind::Folder;
  return S_ISLNK(st.st_mode) ? TEntryKind::Link : TEntryKind::Other;
}

std::string ReadPlainFile(const std::string& name, size_t limit) {
  // Not blocking: a pipe put there must not stop the program.
  Fd fd(::open(ToNativePath(name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) RaiseInOutError(errno);
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0) RaiseInOutError(errno);
  if (!S_ISREG(st.st_mode)) RaiseInOutError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  if (static_cast<unsigned long long>(st.st_size) > limit) RaiseInOutError(EFBIG);
  if (Faulted("read", name)) RaiseInOutError(EIO);
  return ReadAll(fd, st);
}

void RenameFile(const std::string& from, const std::string& to) {
  if (Faulted("rename", to)) RaiseInOutError(EIO);
  if (::rename(ToNativePath(from).c_str(), ToNativePath(to).c_str()) != 0) RaiseInOutError(errno);
}

bool DeleteFile(const std::string& name) {
  if (Faulted("delete", name)) {
    errno = EIO;
    return false;
  }
  return ::unlink(ToNativePath(name).c_str()) == 0;
}

bool SyncFolder(const std::string& folder) {
  if (Faulted("sync", folder)) {
    errno = EIO;
    return false;
  }
  Fd fd(::open(ToNativePath(folder.empty() ? std::string(".") : folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.Get() >= 0 && (::fsync(fd.Get()) == 0 || errno == EINVAL || errno == EROFS);
}

std::string TFileReplacement::TargetFor(const std::string& name) { return FollowLinks(name); }

TFileReplacement::TFileReplacement(const std::string& name) : FTarget(FollowLinks(name)), FTemp(TempFor(FTarget)) {
  struct stat st;
  if (::stat(ToNativePath(FTarget).c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) throw EInOutError(EISDIR, "A folder stands where the file belongs: " + name);
  if (IsReadOnly(FTarget)) throw EInOutError(EACCES, "The file is read-only: " + name);
  FExists = true;
  FMode = st.st_mode & 07777;
  FOwner = st.st_uid;
  FGroup = st.st_gid;
}

void TFileReplacement::Write(std::string_view bytes) {
  const auto keepOwnerAndMode = [this](int fd) {
    FMade = true;
    if (!FExists) return;
    // Someone else's file stays theirs where the system lets us; its mode stays in any case.
    [[maybe_unused]] const int owned = ::fchown(fd, FOwner, FGroup);
    if (::fchmod(fd, FMode) != 0) RaiseInOutError(errno);
  };
  try {
    WriteNewFile(FTemp, bytes, true, keepOwnerAndMode);
    return;
  } catch (const EInOutError& e) {
    if (e.ErrorCode != EEXIST) throw;
  }
  // A plain file is what a write that stopped left; anything else is not ours to replace.
  if (EntryKind(FTemp) != TEntryKind::File)
    throw EInOutError(EEXIST, "Something that is not a file QEL wrote stands where a save writes its temporary "
                              "file. Please remove it: " + FTemp);
  if (!DeleteFile(FTemp)) RaiseInOutError(errno);
  WriteNewFile(FTemp, bytes, true, keepOwnerAndMode);
}

void ReplaceFileBytes(const std::string& name, std::string_view bytes) {
  TFileReplacement file(name);
  try {
    file.Write(bytes);
    file.Commit();
  } catch (...) {
    file.Discard();
    throw;
  }
  SyncFolder(ExtractFilePath(file.Target()));
}

void CopyFileBytes(const std::string& from, const std::string& to) {
  WriteFileBytes(to, ReadFileBytes(from));
}

} // namespace qel
