#include "generator/PhpText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kZurich = "Z\xC3\xBCrich";  // "Zürich" in UTF-8

struct TEscapeCase {
  const char* Function;
  std::string (*Escape)(std::string_view);
  std::string Input;
  std::string Expected;
};

TEST(PhpTextTest, EveryEscaperChangesOnlyWhatItsContextNeeds) {
  const TEscapeCase cases[] = {
      {"PhpSingleQuoted", PhpSingleQuoted, "it's a\\b", "it\\'s a\\\\b"},
      {"PhpSingleQuoted", PhpSingleQuoted, "\\'", "\\\\\\'"},
      {"PhpSingleQuoted", PhpSingleQuoted, "$var \"q\" </script>\n" + kZurich, "$var \"q\" </script>\n" + kZurich},
      {"PhpDoubleQuoted", PhpDoubleQuoted, "{$x} say \"hi\"", "{\\$x} say \\\"hi\\\""},
      {"PhpDoubleQuoted", PhpDoubleQuoted, "a\\b \\n it's", "a\\\\b \\\\n it's"},
      {"PhpDoubleQuoted", PhpDoubleQuoted, "a\nb\r\tc", "a\\nb\\r\\tc"},
      {"PhpDoubleQuoted", PhpDoubleQuoted, std::string("nul\0x\x1b\x7f", 7), "nul\\x00x\\x1B\\x7F"},
      {"PhpDoubleQuoted", PhpDoubleQuoted, "</script>" + kZurich, "</script>" + kZurich},
      {"HtmlAttribute", HtmlAttribute, "a & <b> \"q\" 'a'", "a &amp; &lt;b&gt; &quot;q&quot; &#39;a&#39;"},
      {"HtmlAttribute", HtmlAttribute, "&amp;", "&amp;amp;"},
      {"HtmlAttribute", HtmlAttribute, "$x\\\n" + kZurich, "$x\\\n" + kZurich},
      {"JsSingleQuoted", JsSingleQuoted, "it's a\\b", "it\\'s a\\\\b"},
      {"JsSingleQuoted", JsSingleQuoted, "\"q\" </script> a & b", "\\x22q\\x22 \\x3C/script\\x3E a \\x26 b"},
      {"JsSingleQuoted", JsSingleQuoted, "a\r\nb\tc\x07", "a\\r\\nb\\tc\\x07"},
      {"JsSingleQuoted", JsSingleQuoted, "sep\xE2\x80\xA8par\xE2\x80\xA9", "sep\\u2028par\\u2029"},
      {"JsSingleQuoted", JsSingleQuoted, "$x \xE2\x80\x94 " + kZurich, "$x \xE2\x80\x94 " + kZurich},  // em dash kept
      {"SqlIdentifier", SqlIdentifier, "", "``"},
      {"SqlIdentifier", SqlIdentifier, "a`b", "`a``b`"},
      {"SqlIdentifier", SqlIdentifier, "``", "``````"},
      {"SqlIdentifier", SqlIdentifier, "it's my-db " + kZurich, "`it's my-db " + kZurich + "`"},
      {"SqlStringBody", SqlStringBody, "it's a\\b", "it''s a\\\\b"},
      {"SqlStringBody", SqlStringBody, "\\'", "\\\\''"},
      {"SqlStringBody", SqlStringBody, std::string("a\0b\"q\"", 6), "a\\0b\"q\""},
      {"UrlEncode", UrlEncode, "A-z_0.9~" + kZurich, "A-z_0.9~Z%C3%BCrich"},
      {"UrlEncode", UrlEncode, "a b&c=d?e#f/g", "a%20b%26c%3Dd%3Fe%23f%2Fg"},
      {"UrlEncode", UrlEncode, "100%+\"<'>\n", "100%25%2B%22%3C%27%3E%0A"},
      // Request names: the identity for plain names, one escape for every
      // other byte, never the name of another column.
      {"FormName", FormName, "Order_Date_2", "Order_Date_2"},
      {"FormName", FormName, "order date", "order-20date"},
      {"FormName", FormName, "a.b", "a-2Eb"},
      {"FormName", FormName, "a-2Eb", "a-2D2Eb"},
      {"FormName", FormName, "x[1]", "x-5B1-5D"},
      {"FormName", FormName, "it's \"$\\", "it-27s-20-22-24-5C"},
      {"FormName", FormName, kZurich, "Z-C3-BCrich"},
  };
  for (const TEscapeCase& c : cases) {
    EXPECT_EQ(c.Escape(c.Input), c.Expected) << c.Function << " of [" << c.Input << "]";
    EXPECT_EQ(c.Escape(""), c.Function == std::string("SqlIdentifier") ? "``" : "") << c.Function;
  }
}

TEST(PhpTextTest, DatabaseVariablesArePlainOnlyForPlainNames) {
  struct TVarCase {
    std::string Database;
    bool Plain;
    std::string Link;
    std::string Name;
  };
  const std::vector<TVarCase> cases = {
      {"shop", true, "$MyDb_shop", "$dbname_shop"},
      {"Shop_2", true, "$MyDb_Shop_2", "$dbname_Shop_2"},
      {"2024", true, "$MyDb_2024", "$dbname_2024"},  // the prefix makes the digits legal
      {"", true, "$MyDb_", "$dbname_"},
      {kZurich, true, "$MyDb_" + kZurich, "$dbname_" + kZurich},  // PHP names take bytes from 0x80 up
      {"my-db", false, "${'MyDb_my-db'}", "${'dbname_my-db'}"},
      {"it's", false, "${'MyDb_it\\'s'}", "${'dbname_it\\'s'}"},
      {"back\\slash", false, "${'MyDb_back\\\\slash'}", "${'dbname_back\\\\slash'}"},
      {"a b", false, "${'MyDb_a b'}", "${'dbname_a b'}"},
      {"$x", false, "${'MyDb_$x'}", "${'dbname_$x'}"},
      {"two\nlines", false, "${\"MyDb_two\\nlines\"}", "${\"dbname_two\\nlines\"}"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPhpNameTail(c.Database), c.Plain) << c.Database;
    EXPECT_EQ(PhpDbLinkVar(c.Database), c.Link) << c.Database;
    EXPECT_EQ(PhpDbNameVar(c.Database), c.Name) << c.Database;
  }
}

}  // namespace
