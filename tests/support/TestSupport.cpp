#include "TestSupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace qftest {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/qftest.XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  FPath = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  // Make read-only test files and folders removable again.
  for (auto it = std::filesystem::recursive_directory_iterator(FPath, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(FPath, ec);
}

ScopedCurrentDir::ScopedCurrentDir(const std::string& dir) : FOld(GetCurrentDir()) {
  if (::chdir(dir.c_str()) != 0) throw std::runtime_error("chdir failed: " + dir);
}

ScopedCurrentDir::~ScopedCurrentDir() { (void)::chdir(FOld.c_str()); }

std::string ReadFile(const std::string& path) { return ReadFileText(path); }
void WriteFile(const std::string& path, const std::string& data) { WriteFileText(path, data); }

std::optional<DbParams> TestDb() {
  const char* host = std::getenv("QF_TEST_DB_HOST");
  if (!host || !*host) return std::nullopt;
  DbParams p;
  p.Host = host;
  const char* port = std::getenv("QF_TEST_DB_PORT");
  p.Port = StrToIntDef(port ? port : "", 3306);
  const char* user = std::getenv("QF_TEST_DB_USER");
  const char* pass = std::getenv("QF_TEST_DB_PASSWORD");
  p.User = user ? user : "";
  p.Password = pass ? pass : "";
  return p;
}

int BoundSocket(bool listening, int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  port = -1;
  if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      (!listening || ::listen(fd, 16) == 0) && ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    port = ntohs(addr.sin_port);
  return fd;
}

std::string SourceDir() {
  const char* dir = std::getenv("QF_SOURCE_DIR");
  return dir ? dir : QF_DEFAULT_SOURCE_DIR;
}

std::string RerunAsNobody() {
  const passwd* nobody = ::getpwnam("nobody");
  if (!nobody) return "no user \"nobody\" to run the permission checks as";
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::vector<std::string> args = {"setpriv", "--reuid=nobody", "--regid=" + std::to_string(nobody->pw_gid),
                                   "--clear-groups", GetExecutablePath(),
                                   std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::printf("Running %s.%s again as \"nobody\"\n", test->test_suite_name(), test->name());
  std::fflush(stdout);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "setpriv", nullptr, nullptr, argv.data(), environ) != 0)
    return "setpriv is not available to run the permission checks as \"nobody\"";
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the run as \"nobody\" failed (wait status " << status << "); its output is above";
  return {};
}

}  // namespace qftest
