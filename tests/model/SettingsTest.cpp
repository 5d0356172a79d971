// Settings file "tyvox.ini": TApplicationManager.

#include "model/ApplicationInfo.h"

#include "core/Files.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using qftest::ReadFile;
using qftest::ScopedCurrentDir;
using qftest::TempDir;
using qftest::WriteFile;
using ::testing::ElementsAre;
using Strings = std::vector<std::string>;

namespace {

const char* const kSaveFailed = "Can't save application settings to the drive!|warning|OK";

/** Records the message boxes shown, and what the settings dialog is given. */
struct Recorder : IMessageService, ISettingsView {
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    Shown.push_back(text + (type == TMsgDlgType::mtWarning ? "|warning" : "|other kind") +
                    (buttons == mbOK ? "|OK" : "|other buttons"));
    return TModalResult::mrOk;
  }
  void ShowSettings(const TApplicationManager& s) override {
    Views.push_back(s.Default_Hostname + "|" + std::to_string(s.Default_Port) + "|" + (s.Auto_connect ? "1" : "0"));
  }
  Strings Shown, Views;
};

/** A file with a value other than the default everywhere, as the writer writes it. */
const std::string& Full() {
  static const std::string text = ReadFile(qftest::SourceDir() + "/tests/fixtures/settings/full.ini");
  return text;
}

/** Every setting, each followed by "|". */
std::string Dump(const TApplicationManager& s) {
  std::string out;
  for (const auto& v : {std::to_string(s.Auto_load_last_Project), s.Last_project_name, s.Last_project_path,
                        std::to_string(s.Auto_connect), s.Default_output_path, s.Default_project_path,
                        s.Default_Hostname, s.Default_Username, s.Default_Password, s.Default_Database,
                        std::to_string(s.Default_Port)})
    out += v + "|";
  return out;
}

std::string ContentOf(const std::string& file) { return FileExists(file) ? ReadFile(file) : "<no file>"; }

// Every value reaches its own setting and is saved as it was read. A bad or
// missing value costs only its own setting: the next save writes the rest as they were.
TEST(SettingsTest, RoundTripAndBadOrMissingValues) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  const std::string here = std::filesystem::canonical(".").string();
  struct Case {
    std::string Name, With, Saved;  // the setting's value (or element, when it starts with "<") and the next save's
  };
  std::vector<Case> cases = {
      {"Default_Port", "3307", "3307"},  // the whole file as it is
      {"Default_Port", "abc", "3306"},   {"Default_Port", "", "3306"},   {"Default_Port", "33.5", "3306"},
      {"Default_Port", "-3", "-3"},      {"Default_Port", "<Default_Port>3307</Default_Port>", "3306"},
      {"Default_Hostname", "<Default_Hostname><value>x</value></Default_Hostname>", "localhost"},
      {"Default_Database", "<!-- none -->", "mysql"},  {"Default_output_path", "<!-- none -->", here + "/Output/"},
  };
  // Flags: a number (0 is False) or true/false in any case; anything else gives the default True.
  for (const auto& [value, saved] : std::vector<std::pair<const char*, const char*>>{
           {"TRUE", "-1"}, {"42", "-1"}, {"FaLsE", "0"}, {"-0", "0"}, {"", "-1"}, {" 0", "-1"}, {"yes", "-1"}})
    cases.push_back({"Auto_load_last_Project", value, saved});
  auto replaced = [](const std::string& name, const std::string& with) {
    std::string xml = Full();
    const size_t from = xml.find("<" + name + " ");
    return xml.replace(from, xml.find("/>", from) + 2 - from,
                       with.starts_with("<") ? with : "<" + name + " value=\"" + with + "\" />");
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name + " " + c.With);
    WriteFile("tyvox.ini", replaced(c.Name, c.With));
    TApplicationManager s;
    Recorder recorder;
    s.Messages = &recorder;
    s.LoadSettings();
    if (c.With == "3307") {
      EXPECT_EQ(Dump(s), "0|Shop <&> \"Zürich\" '東京'|/home/user/My Projects/|1|/var/www/\t|  |db.example.org|admin|"
                         "p<a>ss\"w'ord||3307|");
    }
    ::unlink("tyvox.ini");
    s.SaveSettings();
    EXPECT_EQ(ReadFile("tyvox.ini"), replaced(c.Name, c.Saved));
    EXPECT_FALSE(FileExists("tyvox.ini.bak"));  // the file was ours: no copy
    EXPECT_TRUE(recorder.Shown.empty());
  }
}

// Every setting gets its default; a file that was there but not ours is kept
// as a backup by the next save (and by that save only).
TEST(SettingsTest, MissingDamagedOrForeignFileGivesDefaults) {
  const std::pair<std::string, int> cases[] = {
      // the file, the port read from it
      {"<no file>", 3306},
      {"Auto_connect=1\nDefault_Port=3307\n", 3306},  // an old-style ini file
      {"", 3306},
      {"<?xml version=\"1.0\"?>\n<Other><Default_Port value=\"3307\"/></Other>\n", 3307},
  };
  for (const auto& [content, port] : cases) {
    SCOPED_TRACE(content);
    TempDir dir;
    ScopedCurrentDir cd(dir.Path());
    if (content != "<no file>") WriteFile("tyvox.ini", content);
    TApplicationManager s;
    Recorder recorder;
    s.Messages = &recorder;
    s.LoadSettings();
    EXPECT_EQ(s.Default_Port, port);
    s.Default_Port = 3306;
    const std::string here = std::filesystem::canonical(".").string();
    EXPECT_EQ(Dump(s), "1|||1|" + here + "/Output/|" + here + "/Projects/|localhost|root||mysql|3306|");
    EXPECT_EQ(ContentOf("tyvox.ini"), content);  // loading does not touch it
    for (const char* host : {"changed", "again"}) {
      s.Default_Hostname = host;
      s.SaveSettings();
      EXPECT_EQ(ContentOf("tyvox.ini.bak"), content);
      TApplicationManager loaded;
      loaded.LoadSettings();
      EXPECT_EQ(loaded.Default_Hostname, host);
    }
    EXPECT_TRUE(recorder.Shown.empty());
  }
}

// A save that fails warns once and changes nothing, in memory or on the drive:
// a missing folder, no room for a temporary name (folders, read-only files and
// links are the atomic write's business). A damaged file whose copy cannot be
// written and an unreadable file (read as the defaults, saved over without a
// copy) are saved.
TEST(SettingsTest, FailedSavesWarnOthersGoThrough) {
  QF_RUN_UNPRIVILEGED();
  TempDir dir;
  const std::string longName = std::string(250, 's');
  for (const std::string& name : Strings{longName, "unreadable.ini", "unreadable-then-not.ini"})
    WriteFile(dir.File(name), Full());
  WriteFile(dir.File("damaged.ini"), "not xml");
  ForceDirectories(dir.File("damaged.ini.bak"));
  for (const char* name : {"unreadable.ini", "unreadable-then-not.ini"}) ::chmod(dir.File(name).c_str(), 0200);
  const struct {
    std::string Name;
    int LoadedPort;
    bool Fails;
  } cases[] = {{"missing/tyvox.ini", 3306, true},  {longName, 3307, true}, {"damaged.ini", 3306, false},
               {"unreadable.ini", 3306, false},
               {"unreadable-then-not.ini", 3306, false}};  // readable by the time of the save: still no copy
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string file = dir.File(c.Name), before = c.Fails ? ContentOf(file) : "";
    TApplicationManager s, loaded;
    Recorder recorder;
    s.Messages = &recorder;
    s.FileName = loaded.FileName = file;
    s.LoadSettings();
    EXPECT_EQ(s.Default_Port, c.LoadedPort);
    if (c.Name == "unreadable-then-not.ini") ::chmod(file.c_str(), 0600);
    s.Default_Port = 4000;
    const std::string settings = Dump(s);
    ASSERT_NO_THROW(s.SaveSettings());
    EXPECT_EQ(recorder.Shown, c.Fails ? Strings{kSaveFailed} : Strings{});
    EXPECT_EQ(Dump(s), settings);
    ::chmod(file.c_str(), 0644);
    loaded.LoadSettings();
    EXPECT_EQ(c.Fails ? ContentOf(file) : std::to_string(loaded.Default_Port), c.Fails ? before : "4000");
  }
  EXPECT_EQ(FindFiles(dir.Path(), "*").size(), 5u) << "no folder, copy or temporary file was added";
  TApplicationManager quiet;  // without a message service the failure is still swallowed
  quiet.FileName = dir.File("missing/tyvox.ini");
  EXPECT_NO_THROW(quiet.SaveSettings());
}

TEST(SettingsTest, SettingsViewIsFilledOnceAfterEveryLoad) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  WriteFile("tyvox.ini", Full());
  TApplicationManager s;
  s.LoadSettings();  // no dialog yet: nothing to fill, nothing fails
  Recorder view;
  s.SettingsView = &view;
  s.ShowInSettingsForm();
  WriteFile("tyvox.ini", "<Application_Settings><Default_Hostname value=\"other\"/></Application_Settings>");
  s.LoadSettings();
  WriteFile("tyvox.ini", "not xml");
  s.LoadSettings();
  EXPECT_THAT(view.Views, ElementsAre("db.example.org|3307|1", "other|3306|1", "localhost|3306|1"));
}

}  // namespace
