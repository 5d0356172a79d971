#include "model/FileLogger.h"

#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

void WriteLog(const std::string& message) {
  // Checked on every call, so logging follows the flag file while the program runs.
  struct stat st {};
  if (::stat("logon", &st) != 0) return;

  const std::time_t now = std::time(nullptr);
  std::tm local {};
  char stamp[64] = "";
  if (::localtime_r(&now, &local)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);

  std::string line = stamp;
  line += "  --  ";
  line += message;
  line += "\r\n";

  const int fd = ::open("qfx.log", O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return;  // logging never fails the caller
  // One write call per line keeps lines whole; a short write loses the rest.
  const ssize_t written = ::write(fd, line.data(), line.size());
  (void)written;
  ::close(fd);
}
