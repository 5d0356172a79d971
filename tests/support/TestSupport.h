#pragma once
/** Helpers shared by the test programs. */

#include <cstdint>
#include <optional>
#include <string>

namespace qftest {

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

/** Folder of the source tree (for fixtures); set by the test runner. */
std::string SourceDir();

}  // namespace qftest

/** Skips the current test with a message when no test server is configured. */
#define QF_REQUIRE_DB(params)                                                         \
  auto params##_opt = ::qftest::TestDb();                                             \
  if (!params##_opt) GTEST_SKIP() << "QF_TEST_DB_* not set: no database server";     \
  const ::qftest::DbParams& params = *params##_opt
