// Settings file "tyvox.ini": TApplicationManager.

#include "model/ApplicationInfo.h"

#include "core/Files.h"
#include "core/XmlDocument.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

using qftest::ReadFile;
using qftest::ScopedCurrentDir;
using qftest::TempDir;
using qftest::WriteFile;
using ::testing::ElementsAre;

namespace {

std::string Msg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  return text + "|" + std::to_string(static_cast<int>(type)) + "|" + std::to_string(buttons);
}

struct RecordingMessages : IMessageService {
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    Shown.push_back(Msg(text, type, buttons));
    return TModalResult::mrOk;
  }
  std::vector<std::string> Shown;
};

/** Records what the dialog would show, at the moment it is asked. */
struct RecordingView : ISettingsView {
  void ShowSettings(const TApplicationManager& s) override {
    Calls.push_back(s.Default_Hostname + "|" + std::to_string(s.Default_Port) + "|" + (s.Auto_connect ? "1" : "0"));
  }
  std::vector<std::string> Calls;
};

std::string Setting(const std::string& name, const std::string& value) {
  return "<" + name + " value=\"" + value + "\"/>";
}

/** A complete hand-written file with non-default values everywhere. */
std::string FullSettingsXml() {
  return "<?xml version=\"1.0\"?>\n<Application_Settings>" + Setting("Auto_load_last_Project", "0") +
         Setting("Last_project_name", "Shop") + Setting("Last_project_path", "/p/") + Setting("Auto_connect", "0") +
         Setting("Default_output_path", "/out/") + Setting("Default_project_path", "/prj/") +
         Setting("Default_Hostname", "db.example.org") + Setting("Default_Username", "admin") +
         Setting("Default_Password", "pw") + Setting("Default_Database", "shop") + Setting("Default_Port", "3307") +
         "</Application_Settings>\n";
}

/** The settings of a file as "name=value", in file order; each must be an
 *  empty element with the one attribute "value". */
std::vector<std::string> Entries(const std::string& xml) {
  TXmlDocument doc;
  doc.LoadFromString(xml);
  EXPECT_EQ(doc.DocumentElement().NodeName(), "Application_Settings");
  std::vector<std::string> entries;
  doc.DocumentElement().ForEachChild([&](const TXmlNode& c) {
    const auto attrs = c.Raw().attributes();
    EXPECT_EQ(std::distance(attrs.begin(), attrs.end()), 1) << c.NodeName();
    EXPECT_EQ(c.ChildCount(), 0) << c.NodeName();
    entries.push_back(c.NodeName() + "=" + c.Attribute("value"));
  });
  return entries;
}

/** Every setting, each followed by "|". */
std::string Dump(const TApplicationManager& s) {
  std::ostringstream os;
  for (const auto& v : {std::to_string(s.Auto_load_last_Project), s.Last_project_name, s.Last_project_path,
                        std::to_string(s.Auto_connect), s.Default_output_path, s.Default_project_path,
                        s.Default_Hostname, s.Default_Username, s.Default_Password, s.Default_Database,
                        std::to_string(s.Default_Port)})
    os << v << '|';
  return os.str();
}

/** Dump of the defaults, the paths under the current folder. */
std::string Defaults() {
  const std::string dir = std::filesystem::canonical(".").string();
  return "1|||1|" + dir + "/Output/|" + dir + "/Projects/|localhost|root||mysql|3306|";
}

void SetNonDefaults(TApplicationManager& s) {
  s.Auto_load_last_Project = s.Auto_connect = false;
  s.Last_project_name = "Shop <&> \"Zürich\" '東京'"; s.Last_project_path = "/home/user/My Projects/";
  s.Default_output_path = "/var/www/\t"; s.Default_project_path = "  "; s.Default_Hostname = "db.example.org";
  s.Default_Username = "admin"; s.Default_Password = "p<a>ss\"w'ord"; s.Default_Database = ""; s.Default_Port = -1;
}

TEST(SettingsTest, RoundTripKeepsEveryValue) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  TApplicationManager saved, loaded;
  SetNonDefaults(saved);
  RecordingMessages messages;
  saved.Messages = &messages;
  for (bool flags : {false, true}) {
    saved.Auto_load_last_Project = saved.Auto_connect = flags;
    saved.Default_Port = flags ? 0 : -1;
    saved.SaveSettings();
    loaded.LoadSettings();
    EXPECT_EQ(Dump(loaded), Dump(saved));
  }
  EXPECT_TRUE(messages.Shown.empty());
  EXPECT_NE(ReadFile("tyvox.ini").substr(0, 3), "\xEF\xBB\xBF");
}

// The next save shows what was read; it writes the settings in the order of
// the full file, flags as -1 and 0.
TEST(SettingsTest, BadOrMissingValueGivesThatSettingsDefaultOnly) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  struct Case {
    std::string Name, With, Expected;  // the setting's element replaced With, and its value at the next save
  };
  std::vector<Case> cases = {
      {"Default_Port", Setting("Default_Port", "abc"), "3306"},
      {"Default_Port", Setting("Default_Port", ""), "3306"},
      {"Default_Port", Setting("Default_Port", "33.5"), "3306"},
      {"Default_Port", Setting("Default_Port", "-3"), "-3"},
      {"Default_Port", "", "3306"},
      {"Default_Port", "<Default_Port>3307</Default_Port>", "3306"},
      {"Auto_load_last_Project", Setting("Auto_load_last_Project", "yes"), "-1"},
      {"Default_Hostname", "", "localhost"},
      {"Default_Hostname", Setting("Default_Hostname", ""), ""},
      {"Default_Database", "", "mysql"},
      {"Default_Username", "<Default_Username><value>x</value></Default_Username>", "root"},
      {"Default_output_path", "", std::filesystem::canonical(".").string() + "/Output/"},
  };
  // Flags: a number (0 is False) or true/false in any case; anything else gives the default True.
  for (const auto& [value, written] :
       std::vector<std::pair<const char*, const char*>>{{"true", "-1"}, {"TRUE", "-1"}, {"1", "-1"}, {"42", "-1"},
                                                        {"false", "0"}, {"FaLsE", "0"}, {"-0", "0"}, {"", "-1"},
                                                        {" 1", "-1"}, {"0x0", "-1"}, {"truee", "-1"}})
    cases.push_back({"Auto_connect", Setting("Auto_connect", value), written});
  for (const auto& c : cases) {
    std::string xml = FullSettingsXml();
    const size_t from = xml.find("<" + c.Name + " ");
    xml.replace(from, xml.find("/>", from) + 2 - from, c.With);
    SCOPED_TRACE(xml);
    WriteFile("tyvox.ini", xml);
    TApplicationManager s;
    s.LoadSettings();
    s.SaveSettings();
    std::vector<std::string> expected = Entries(FullSettingsXml());
    for (std::string& e : expected)
      if (e.rfind(c.Name + "=", 0) == 0) e = c.Name + "=" + c.Expected;
    EXPECT_EQ(Entries(ReadFile("tyvox.ini")), expected);
    EXPECT_FALSE(FileExists("tyvox.ini.bak"));  // the file was ours: no copy
  }
}

std::string ContentOf(const std::string& file) { return FileExists(file) ? ReadFile(file) : "<no file>"; }

// Every setting gets its default; a file that was there but not ours is kept
// as a backup by the next save (and by that save only).
TEST(SettingsTest, MissingUnreadableOrForeignFileGivesDefaults) {
  const struct {
    std::string Content;
    int Port;
  } cases[] = {
      {"<no file>", 3306},
      {"Auto_connect=1\nDefault_Port=3307\n", 3306},  // an old-style ini file
      {FullSettingsXml().substr(0, 60), 3306},
      {"", 3306},
      {std::string("\xFF\xFE<\0", 4), 3306},  // a few bytes of UTF-16
      {"<?xml version=\"1.0\"?>\n<Other><Default_Port value=\"3307\"/></Other>\n", 3307},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Content);
    TempDir dir;
    ScopedCurrentDir cd(dir.Path());
    if (c.Content != "<no file>") WriteFile("tyvox.ini", c.Content);
    TApplicationManager s;
    SetNonDefaults(s);
    RecordingMessages messages;
    s.Messages = &messages;
    s.LoadSettings();
    EXPECT_EQ(s.Default_Port, c.Port);
    s.Default_Port = 3306;
    EXPECT_EQ(Dump(s), Defaults());
    EXPECT_EQ(ContentOf("tyvox.ini"), c.Content);  // loading does not touch it

    for (const char* host : {"changed", "again"}) {
      s.Default_Hostname = host;
      s.SaveSettings();
      EXPECT_EQ(ContentOf("tyvox.ini.bak"), c.Content);
      TApplicationManager loaded;
      loaded.LoadSettings();
      EXPECT_EQ(loaded.Default_Hostname, host);
    }
    EXPECT_TRUE(messages.Shown.empty());
  }
}

TEST(SettingsTest, FailedSaveWarnsOnceAndChangesNothing) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  const std::string longName = dir.File(std::string(250, 's'));  // no room for a temporary name beside it
  ForceDirectories(dir.File("tyvox.ini"));
  WriteFile(longName, FullSettingsXml());
  for (const std::string& name : {dir.File("missing/tyvox.ini"), dir.File("tyvox.ini"), longName}) {
    SCOPED_TRACE(name);
    TApplicationManager s;
    s.FileName = name;
    s.LoadSettings();
    SetNonDefaults(s);
    const std::string before = Dump(s);
    RecordingMessages messages;
    s.Messages = &messages;
    ASSERT_NO_THROW(s.SaveSettings());
    EXPECT_THAT(messages.Shown,
                ElementsAre(Msg("Can't save application settings to the drive!", TMsgDlgType::mtWarning, mbOK)));
    EXPECT_EQ(Dump(s), before);
  }
  EXPECT_FALSE(DirectoryExists(dir.File("missing")));
  EXPECT_TRUE(DirectoryExists(dir.File("tyvox.ini")));
  EXPECT_EQ(ReadFile(longName), FullSettingsXml());

  TApplicationManager quiet;  // without a message service the failure is still swallowed
  quiet.FileName = dir.File("missing/tyvox.ini");
  EXPECT_NO_THROW(quiet.SaveSettings());
}

TEST(SettingsTest, SettingsViewIsFilledOnceAfterEveryLoad) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  WriteFile("tyvox.ini", FullSettingsXml());
  TApplicationManager s;
  s.LoadSettings();  // no dialog yet: nothing to fill, nothing fails
  RecordingView view;
  s.SettingsView = &view;
  s.ShowInSettingsForm();
  WriteFile("tyvox.ini", "<Application_Settings>" + Setting("Default_Hostname", "other") + "</Application_Settings>");
  s.LoadSettings();
  WriteFile("tyvox.ini", "not xml");
  s.LoadSettings();
  EXPECT_THAT(view.Calls, ElementsAre("db.example.org|3307|0", "other|3306|1", "localhost|3306|1"));
}

}  // namespace
