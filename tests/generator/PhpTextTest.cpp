#include "generator/PhpText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TCase {
  std::string Input;
  std::string Expected;
};

using TEscaper = std::string (*)(std::string_view);

void ExpectAll(TEscaper escape, const std::vector<TCase>& cases, const char* what) {
  for (const auto& c : cases) EXPECT_EQ(escape(c.Input), c.Expected) << what << " of [" << c.Input << "]";
}

const std::string kZurich = "Z\xC3\xBCrich";  // "Zürich" in UTF-8

TEST(PhpTextTest, PhpSingleQuotedEscapesOnlyQuoteAndBackslash) {
  ExpectAll(PhpSingleQuoted,
            {
                {"", ""},
                {"plain", "plain"},
                {"it's", "it\\'s"},
                {"a\\b", "a\\\\b"},
                {"\\'", "\\\\\\'"},
                {"trailing\\", "trailing\\\\"},
                {"$var \"q\"", "$var \"q\""},
                {"</script>", "</script>"},
                {"line\nbreak", "line\nbreak"},
                {kZurich, kZurich},
            },
            "PhpSingleQuoted");
}

TEST(PhpTextTest, PhpDoubleQuotedEscapesInterpolationAndControls) {
  ExpectAll(PhpDoubleQuoted,
            {
                {"", ""},
                {"plain", "plain"},
                {"$x", "\\$x"},
                {"{$x}", "{\\$x}"},
                {"say \"hi\"", "say \\\"hi\\\""},
                {"a\\b", "a\\\\b"},
                {"\\n", "\\\\n"},
                {"it's", "it's"},
                {"a\nb\r\tc", "a\\nb\\r\\tc"},
                {std::string("nul\0x", 5), "nul\\x00x"},
                {"esc\x1b", "esc\\x1B"},
                {"del\x7f", "del\\x7F"},
                {"</script>", "</script>"},
                {kZurich, kZurich},
            },
            "PhpDoubleQuoted");
}

TEST(PhpTextTest, HtmlAttributeEscapesMarkupCharacters) {
  ExpectAll(HtmlAttribute,
            {
                {"", ""},
                {"plain", "plain"},
                {"a & b", "a &amp; b"},
                {"<b>", "&lt;b&gt;"},
                {"\"q\" 'a'", "&quot;q&quot; &#39;a&#39;"},
                {"&amp;", "&amp;amp;"},
                {"</script>", "&lt;/script&gt;"},
                {"$x\\", "$x\\"},
                {"a\nb", "a\nb"},
                {kZurich, kZurich},
            },
            "HtmlAttribute");
}

TEST(PhpTextTest, JsSingleQuotedIsInertInAttributesAndScripts) {
  ExpectAll(JsSingleQuoted,
            {
                {"", ""},
                {"plain", "plain"},
                {"it's", "it\\'s"},
                {"a\\b", "a\\\\b"},
                {"\"q\"", "\\x22q\\x22"},
                {"</script>", "\\x3C/script\\x3E"},
                {"a & b", "a \\x26 b"},
                {"a\r\nb\tc", "a\\r\\nb\\tc"},
                {"bell\x07", "bell\\x07"},
                {"$x", "$x"},
                {"sep\xE2\x80\xA8par\xE2\x80\xA9", "sep\\u2028par\\u2029"},
                {"\xE2\x80\x94", "\xE2\x80\x94"},  // an em dash stays as it is
                {kZurich, kZurich},
            },
            "JsSingleQuoted");
}

TEST(PhpTextTest, SqlIdentifierDoublesBackticks) {
  ExpectAll(SqlIdentifier,
            {
                {"", "``"},
                {"id", "`id`"},
                {"my-db", "`my-db`"},
                {"a`b", "`a``b`"},
                {"``", "``````"},
                {"order", "`order`"},
                {"it's", "`it's`"},
                {kZurich, "`" + kZurich + "`"},
            },
            "SqlIdentifier");
}

TEST(PhpTextTest, SqlStringBodyDoublesQuotesAndBackslashes) {
  ExpectAll(SqlStringBody,
            {
                {"", ""},
                {"DE", "DE"},
                {"it's", "it''s"},
                {"a\\b", "a\\\\b"},
                {"\\'", "\\\\''"},
                {std::string("a\0b", 3), "a\\0b"},
                {"\"q\"", "\"q\""},
                {kZurich, kZurich},
            },
            "SqlStringBody");
}

TEST(PhpTextTest, UrlEncodeKeepsOnlyUnreservedBytes) {
  ExpectAll(UrlEncode,
            {
                {"", ""},
                {"shop_city_list.php", "shop_city_list.php"},
                {"A-z_0.9~", "A-z_0.9~"},
                {"a b", "a%20b"},
                {"a&b=c?d#e/f", "a%26b%3Dc%3Fd%23e%2Ff"},
                {"100%", "100%25"},
                {"+", "%2B"},
                {"\"<'>", "%22%3C%27%3E"},
                {"line\nbreak", "line%0Abreak"},
                {kZurich, "Z%C3%BCrich"},
            },
            "UrlEncode");
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
      {"a`b", false, "${'MyDb_a`b'}", "${'dbname_a`b'}"},
      {"it's", false, "${'MyDb_it\\'s'}", "${'dbname_it\\'s'}"},
      {"back\\slash", false, "${'MyDb_back\\\\slash'}", "${'dbname_back\\\\slash'}"},
      {"a b", false, "${'MyDb_a b'}", "${'dbname_a b'}"},
      {"$x", false, "${'MyDb_$x'}", "${'dbname_$x'}"},
      {"a.b", false, "${'MyDb_a.b'}", "${'dbname_a.b'}"},
      {"two\nlines", false, "${\"MyDb_two\\nlines\"}", "${\"dbname_two\\nlines\"}"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPhpNameTail(c.Database), c.Plain) << c.Database;
    EXPECT_EQ(PhpDbLinkVar(c.Database), c.Link) << c.Database;
    EXPECT_EQ(PhpDbNameVar(c.Database), c.Name) << c.Database;
  }
}

}  // namespace
