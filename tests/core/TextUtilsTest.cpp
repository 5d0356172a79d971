#include "core/Exception.h"
#include "core/TextUtils.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

struct IntCase {
  const char* text;
  bool ok;
  int32_t value;
};

TEST(TextUtils, TryStrToIntAcceptsOnlyPlainDecimalIn32Bits) {
  const IntCase cases[] = {
      {"0", true, 0},          {"42", true, 42},         {"-17", true, -17},
      {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"", false, 0},          {" 1", false, 0},
      {"1 ", false, 0},        {"+1", false, 0},         {"1.5", false, 0},
      {"0x10", false, 0},      {"abc", false, 0},        {"-", false, 0},
      {"12abc", false, 0},
  };
  for (const auto& c : cases) {
    int32_t v = -99;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
    if (c.ok) EXPECT_EQ(v, c.value) << c.text;
    else EXPECT_EQ(v, -99) << "failed parse must not touch the value: " << c.text;
    EXPECT_EQ(StrToIntDef(c.text, 7), c.ok ? c.value : 7) << c.text;
  }
  EXPECT_THROW(StrToInt("x"), EConvertError);
}

TEST(TextUtils, NumbersIgnoreTheLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) std::setlocale(LC_ALL, "C.UTF-8");
  int32_t v = 0;
  EXPECT_TRUE(TryStrToInt("-1234567", v));
  EXPECT_EQ(v, -1234567);
  EXPECT_EQ(IntToStr(-1234567), "-1234567");
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(TextUtils, CaseHelpersTouchOnlyAscii) {
  EXPECT_EQ(LowerCase("AbC \xC3\x84"), "abc \xC3\x84");
  EXPECT_EQ(UpperCase("abc \xC3\xA4"), "ABC \xC3\xA4");
  EXPECT_TRUE(SameText("TRUE", "true"));
  EXPECT_FALSE(SameText("true ", "true"));
  EXPECT_EQ(Trim("\t  a b \r\n"), "a b");
  EXPECT_EQ(Trim("   "), "");
}

TEST(TextUtils, SplitAndReplace) {
  EXPECT_EQ(SplitString("a.b.c", '.'), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitString("", '.'), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitString("a.", '.'), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(ReplaceAll("aXbXX", "X", "yy"), "ayybyyyy");
  EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
}

}  // namespace
