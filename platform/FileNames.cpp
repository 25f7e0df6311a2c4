#include "FileNames.h"

#include "Ansi.h"
#include "Errors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
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

std::string FindFileNoCase(const std::string& name) {
  if (FileExists(name)) return name;
  std::string folder = ExtractFilePath(name);
  std::string wanted = AnsiLowerCase(ExtractFileName(name));
  DIR* dir = ::opendir(ToNativePath(folder.empty() ? std::string(".") : folder).c_str());
  if (!dir) return name;
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    std::string entryName = FromNativePath(entry->d_name);
    if (AnsiLowerCase(entryName) == wanted && FileExists(folder + entryName)) {
      found = folder + entryName;
      break;
    }
  }
  ::closedir(dir);
  return found.empty() ? name : found;
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

std::string ReadFileBytes(const std::string& name) {
  struct stat st;
  Fd fd = OpenForReading(name, st);
  return ReadAll(fd, st);
}

TFileBytes::TFileBytes(const std::string& name) {
  struct stat st;
  Fd fd = OpenForReading(name, st);
  // Small files are read: a mapping costs more than the copy.
  constexpr off_t kMapFrom = 1 << 20;
  if (S_ISREG(st.st_mode) && st.st_size >= kMapFrom) {
    void* map = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd.Get(), 0);
    if (map != MAP_FAILED) {
      FMap = map;
      FMapSize = static_cast<size_t>(st.st_size);
      ::madvise(FMap, FMapSize, MADV_WILLNEED);
      FView = std::string_view(static_cast<const char*>(FMap), FMapSize);
      return;
    }
  }
  FCopy = ReadAll(fd, st);
  FView = FCopy;
}

TFileBytes::~TFileBytes() {
  if (FMap) ::munmap(FMap, FMapSize);
}

void WriteFileBytes(const std::string& name, std::string_view bytes) {
  Fd fd(::open(ToNativePath(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.Get() < 0) RaiseInOutError(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseInOutError(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd.Get()) != 0 && errno != EINVAL && errno != EROFS) RaiseInOutError(errno);
  if (::close(fd.Release()) != 0) RaiseInOutError(errno);
}

void RenameFile(const std::string& from, const std::string& to) {
  if (::rename(ToNativePath(from).c_str(), ToNativePath(to).c_str()) != 0) RaiseInOutError(errno);
}

bool DeleteFile(const std::string& name) { return ::unlink(ToNativePath(name).c_str()) == 0; }

bool KeepUnderName(const std::string& name, const std::string& other) {
  const std::string from = ToNativePath(name), to = ToNativePath(other);
  return ::link(from.c_str(), to.c_str()) == 0 || ::rename(from.c_str(), to.c_str()) == 0;
}

bool SyncFolder(const std::string& folder) {
  Fd fd(::open(ToNativePath(folder.empty() ? std::string(".") : folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.Get() >= 0 && (::fsync(fd.Get()) == 0 || errno == EINVAL || errno == EROFS);
}

void CopyFileBytes(const std::string& from, const std::string& to) {
  WriteFileBytes(to, ReadFileBytes(from));
}

} // namespace qel
