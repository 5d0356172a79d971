#include "core/Files.h"

#include "core/Exception.h"
#include "core/TextUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

// Writes all of data to fd; false on any short or failed write.
bool WriteAll(int fd, std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void ForceDirectories(const std::string& path) {
  if (path.empty()) throw EInOutError("Cannot create an unnamed folder");
  std::error_code ec;
  fs::create_directories(fs::path(path), ec);
  if (ec || !DirectoryExists(path))
    throw EInOutError("Cannot create folder \"" + path + "\": " +
                      (ec ? ec.message() : std::string("not a folder")));
}

std::string ReadFileText(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError("Cannot open file \"" + path + "\": " + ErrnoText(errno));
  std::string data;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw EFOpenError("Cannot open file \"" + path + "\": it is a folder");
  }
  if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      throw EFOpenError("Cannot read file \"" + path + "\": " + ErrnoText(err));
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

void WriteFileText(const std::string& path, std::string_view data) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw EFCreateError("Cannot create file \"" + path + "\": " + ErrnoText(errno));
  const bool ok = WriteAll(fd, data);
  const int err = errno;
  if (::close(fd) != 0 || !ok)
    throw EFCreateError("Cannot write file \"" + path + "\": " + ErrnoText(ok ? errno : err));
}

namespace {

// The file a path finally names: symbolic links followed to their (possibly
// missing) last target, so a save replaces that file and keeps the link.
std::string ResolveLinks(const std::string& path) {
  std::string p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    std::error_code ec;
    const std::string target = fs::read_symlink(p, ec).string();
    if (ec || target.empty()) return p;
    p = target.front() == '/' ? target : ExtractFilePath(p) + target;
  }
  throw EFCreateError("Cannot write file \"" + path + "\": " + ErrnoText(ELOOP));
}

}  // namespace

void WriteFileAtomic(const std::string& path, std::string_view data) {
  const std::string target = ResolveLinks(path);
  // Renaming over a file needs only the folder's permission; a file we may
  // not write must stay as it is.
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
    const int err = errno;
    throw EFCreateError("Cannot write file \"" + path + "\": " + ErrnoText(err));
  }
  std::string tmpl = ExtractFilePath(target) + "." + ExtractFileName(target) + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) throw EFCreateError("Cannot create file \"" + path + "\": " + ErrnoText(errno));
  const std::string tmp(name.data());
  // Keep the permissions of the file being replaced; new files get the usual 0666 & ~umask.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
  int err = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    throw EFCreateError("Cannot write file \"" + path + "\": " + ErrnoText(err));
  }
}

void CopyFileContent(const std::string& source, const std::string& target) {
  struct stat s {}, t {};
  if (::stat(source.c_str(), &s) != 0)
    throw EFOpenError("Cannot open file \"" + source + "\": " + ErrnoText(errno));
  if (::stat(target.c_str(), &t) == 0 && s.st_dev == t.st_dev && s.st_ino == t.st_ino)
    throw EInOutError("Cannot copy \"" + source + "\" onto itself");
  // Read first, so a failing source never truncates the target.
  const std::string data = ReadFileText(source);
  WriteFileText(target, data);
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  // Iterative wildcard match with backtracking to the last '*'.
  size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() &&
               (mask[m] == '?' || LowerCaseAscii(mask[m]) == LowerCaseAscii(name[n]))) {
      ++m;
      ++n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<std::string> FindFiles(const std::string& folder, std::string_view mask) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (MatchesMask(name, mask)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string GetCurrentDir() {
  std::error_code ec;
  std::string dir = fs::current_path(ec).string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string GetExecutablePath() {
  std::error_code ec;
  const fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

std::string ExtractFilePath(const std::string& path) {
  const size_t pos = path.rfind('/');
  return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t pos = path.rfind('/');
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path;
  return path + "/";
}
