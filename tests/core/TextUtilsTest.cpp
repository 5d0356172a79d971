#include "core/Exception.h"
#include "core/TextUtils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <tuple>

namespace {

TEST(TextUtils, IntegersArePlainDecimalIn32BitsWhateverTheLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) std::setlocale(LC_ALL, "C.UTF-8");
  const std::tuple<const char*, bool, int32_t> cases[] = {
      {"0", true, 0},           {"-1234567", true, -1234567}, {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN}, {"2147483648", false, 0}, {"", false, 0},   {" 1", false, 0},
      {"1 ", false, 0},         {"+1", false, 0},             {"1.5", false, 0},    {"0x10", false, 0},
      {"-", false, 0},          {"12abc", false, 0}};
  for (auto [text, ok, value] : cases) {
    int32_t v = -99;
    EXPECT_EQ(TryStrToInt(text, v), ok) << text;
    EXPECT_EQ(v, ok ? value : -99) << "a failed parse leaves the value alone: " << text;
    EXPECT_EQ(StrToIntDef(text, 7), ok ? value : 7) << text;
  }
  EXPECT_EQ(IntToStr(-1234567), "-1234567");
  EXPECT_THROW(StrToInt("x"), EConvertError);
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(TextUtils, CaseTrimSplitAndReplace) {
  EXPECT_EQ(LowerCase("AbC \xC3\x84"), "abc \xC3\x84");  // ASCII only
  EXPECT_EQ(UpperCase("abc \xC3\xA4"), "ABC \xC3\xA4");
  EXPECT_TRUE(SameText("TRUE", "true"));
  EXPECT_FALSE(SameText("true ", "true"));
  EXPECT_EQ(Trim("\t  a b \r\n"), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(SplitString("a.b.c", '.'), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitString("", '.'), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitString("a.", '.'), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(ReplaceAll("aXbXX", "X", "yy"), "ayybyyyy");
  EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
}

}  // namespace
