#pragma once
/** Helpers shared by the test programs. */

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>

#include <unistd.h>

namespace qftest {

/** The parts (texts and numbers) joined into one text. GCC 12 warns wrongly
 *  (-Wrestrict) about a literal added in front of a temporary string in an
 *  optimised build; appending never does. */
template <class... T>
std::string Str(const T&... parts) {
  std::string out;
  auto add = [&out](const auto& p) {
    if constexpr (std::is_arithmetic_v<std::decay_t<decltype(p)>>)
      out.append(std::to_string(p));
    else
      out.append(p);
  };
  (add(parts), ...);
  return out;
}

/** A fresh folder under the system's temporary folder, removed with everything in it. */
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  /** The folder, without trailing "/". */
  const std::string& Path() const { return FPath; }
  /** Path + "/" + name. */
  std::string File(const std::string& name) const { return FPath + "/" + name; }

private:
  std::string FPath;
};

/** Changes the working folder for the life of the object. */
class ScopedCurrentDir {
public:
  explicit ScopedCurrentDir(const std::string& dir);
  ~ScopedCurrentDir();

private:
  std::string FOld;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

/** The private test server named by QF_TEST_DB_HOST, _PORT, _USER, _PASSWORD. */
struct DbParams {
  std::string Host;
  int32_t Port = 0;
  std::string User;
  std::string Password;
};
/** The server's parameters, or nothing when the variables are unset. */
std::optional<DbParams> TestDb();

/** A TCP socket on a free port of 127.0.0.1, listening when asked (else a
 *  connection to it is refused at once); port receives the port, -1 on failure. */
int BoundSocket(bool listening, int& port);

/** Folder of the source tree (for fixtures); set by the test runner. */
std::string SourceDir();

/** Runs the current test again in a child process as the user "nobody"
 *  (setpriv) and fails the test when the child fails. Answers why that is not
 *  possible, or an empty text when the child ran. */
std::string RerunAsNobody();

}  // namespace qftest

/** Skips the current test with a message when no test server is configured. */
#define QF_REQUIRE_DB(params)                                                         \
  auto params##_opt = ::qftest::TestDb();                                             \
  if (!params##_opt) GTEST_SKIP() << "QF_TEST_DB_* not set: no database server";     \
  const ::qftest::DbParams& params = *params##_opt

/** Permission checks mean nothing to root: as root, the test runs again as
 *  "nobody" and this run ends here; it skips only when there is no such user. */
#define QF_RUN_UNPRIVILEGED()                                          \
  if (::geteuid() == 0) {                                              \
    const std::string qf_no_rerun = ::qftest::RerunAsNobody();         \
    if (!qf_no_rerun.empty()) GTEST_SKIP() << qf_no_rerun;             \
    return;                                                            \
  }
