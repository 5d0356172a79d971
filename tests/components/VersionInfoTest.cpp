// The version block: its layout, the walk over a good block and damaged
// ones, and the program's own version.

#include "components/VersionInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

/** A version information that reads the block it is given. */
class TBlockVerInfo : public TVerInfo {
public:
  explicit TBlockVerInfo(TVersionBlock block) : TVerInfo(nullptr), Block(std::move(block)) {}
  TVersionBlock Block;

protected:
  TVersionBlock VersionBlock() const override { return Block; }
};

TVSFixedFileInfo Fixed() {
  TVSFixedFileInfo f;
  f.dwFileVersionMS = 0x00010002;
  f.dwFileVersionLS = 0x00030004;
  return f;
}

TVersionBlock Good() {
  return BuildVersionBlock(Fixed(), {{0x0409, 0x04E4,
                                      {{"CompanyName", "Acme"},
                                       {"FileDescription", "Generator"},
                                       {"FileVersion", "1.2.3.4"},
                                       {"Comments", "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80"}}}});
}

/** Where the block whose key is key starts (its header is 6 bytes before the key). */
size_t BlockAt(const TVersionBlock& b, const std::string& key) {
  std::vector<std::uint8_t> wide;
  for (char c : key) {
    wide.push_back(static_cast<std::uint8_t>(c));
    wide.push_back(0);
  }
  for (size_t i = 6; i + wide.size() <= b.size(); ++i)
    if (std::equal(wide.begin(), wide.end(), b.begin() + static_cast<long>(i))) return i - 6;
  ADD_FAILURE() << "no block " << key;
  return 0;
}

void Put16(TVersionBlock& b, size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t Get16(const TVersionBlock& b, size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }

TEST(VersionBlock, TheLayoutOfTheWindowsResource) {
  const TVersionBlock b = Good();
  ASSERT_GT(b.size(), 100u);
  EXPECT_EQ(Get16(b, 0), b.size()) << "the root's length is the whole block";
  EXPECT_EQ(Get16(b, 2), 52) << "the fixed information: 13 double words";
  EXPECT_EQ(Get16(b, 4), 0) << "binary";
  EXPECT_EQ(BlockAt(b, "VS_VERSION_INFO"), 0u);
  // The key ends at 6 + 32; the value starts on the next 4-byte boundary.
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 40, b.begin() + 44), (std::vector<std::uint8_t>{0xBD, 0x04, 0xEF, 0xFE}));
  EXPECT_EQ(BlockAt(b, "StringFileInfo"), 92u) << "after the value, aligned";
  const size_t table = BlockAt(b, "040904E4");
  EXPECT_EQ(table % 4, 0u);
  const size_t entry = BlockAt(b, "FileVersion");
  EXPECT_EQ(Get16(b, entry + 2), 8) << "the value's length in characters with its end";
  EXPECT_EQ(Get16(b, entry + 4), 1) << "text";
  EXPECT_EQ(BlockAt(b, "Translation") % 4, 0u);
}

TEST(VersionBlock, AGoodBlockAndOnlyItsFirstTable) {
  TVersionHeader header;
  ASSERT_TRUE(ReadVersionHeader(Good(), header));
  const TVSFixedFileInfo& f = header.FixedInfo;
  EXPECT_EQ((std::tuple{header.Language, header.CodePage, f.dwSignature, f.dwFileVersionMS, f.dwFileVersionLS}),
            (std::tuple{0x0409, 0x04E4, 0xFEEF04BDu, 0x00010002u, 0x00030004u}));
  TBlockVerInfo info(Good());
  EXPECT_EQ(info.CompanyName(), "Acme");
  EXPECT_EQ(info.FileDescriptions(), "Generator");
  EXPECT_EQ(info.FileVersion(), "1.2.3.4");
  EXPECT_EQ(info.Comments(), "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80");
  EXPECT_EQ(info.LegalTradeMarks(), "") << "a value the block lacks";
  EXPECT_EQ(QueryVersionString(Good(), "\\stringfileinfo\\040904e4\\fileversion"), "1.2.3.4") << "any case";
  EXPECT_EQ(QueryVersionString(Good(), "\\StringFileInfo\\040904E4\\Missing"), std::nullopt);

  // With two tables only the first counts.
  const TVersionBlock b = BuildVersionBlock(
      Fixed(), {{0x0407, 0x04B0, {{"FileVersion", "erste"}}}, {0x0409, 0x04E4, {{"FileVersion", "second"}, {"ProductName", "P"}}}});
  TBlockVerInfo two(b);
  EXPECT_EQ(two.FileVersion(), "erste");
  EXPECT_EQ(two.ProductName(), "") << "not looked for in the second table";
  EXPECT_EQ(QueryVersionString(b, "\\StringFileInfo\\040904E4\\ProductName"), "P");
}

TEST(VersionBlock, DamagedBlocksGiveEmptyStrings) {
  const TVersionBlock good = Good();
  const size_t strings = BlockAt(good, "StringFileInfo");
  const size_t table = BlockAt(good, "040904E4");
  const size_t entry = BlockAt(good, "FileVersion");
  const struct {
    const char* name;
    std::function<void(TVersionBlock&)> damage;
    bool header;  // ReadVersionHeader still succeeds
  } cases[] = {
      {"empty", [](TVersionBlock& b) { b.clear(); }, false},
      {"root_longer_than_the_block", [](TVersionBlock& b) { Put16(b, 0, static_cast<std::uint16_t>(b.size() + 4)); }, false},
      {"root_length_too_short_for_a_header", [](TVersionBlock& b) { Put16(b, 0, 5); }, false},
      {"root_length_zero_ends_the_walk", [](TVersionBlock& b) { Put16(b, 0, 0); }, false},
      {"not_a_version_block", [](TVersionBlock& b) { b[6] = 'X'; }, false},
      {"fixed_information_past_the_root", [](TVersionBlock& b) { Put16(b, 2, 0xFFFF); }, false},
      {"string_file_info_past_the_root", [&](TVersionBlock& b) { Put16(b, strings, 0xFFF0); }, false},
      {"a_table_of_length_zero", [&](TVersionBlock& b) { Put16(b, table, 0); }, false},
      {"a_value_past_its_entry", [&](TVersionBlock& b) { Put16(b, entry + 2, 0x7FFF); }, true},
      {"a_key_without_its_end", [&](TVersionBlock& b) {
         for (size_t i = entry + 6; i < entry + Get16(b, entry); ++i) b[i] = 'A';
       }, true},
      {"no_string_table_first", [&](TVersionBlock& b) { b[strings + 6] = 'X'; }, true},
  };
  for (const auto& c : cases) {
    TVersionBlock b = good;
    c.damage(b);
    TVersionHeader header;
    EXPECT_EQ(ReadVersionHeader(b, header), c.header) << c.name;
    TBlockVerInfo info(b);
    EXPECT_EQ(info.FileVersion(), "") << c.name;
  }
  // A table key that is not hexadecimal reads as language 0, the code page stays, and no string is found.
  TVersionBlock b = good;
  b[table + 8] = 'x';
  TVersionHeader header;
  ASSERT_TRUE(ReadVersionHeader(b, header));
  EXPECT_EQ((std::pair<int, int>(header.Language, header.CodePage)), (std::pair<int, int>(0, 0x04E4)));
  EXPECT_EQ(TBlockVerInfo(b).FileVersion(), "");
  // Cut anywhere, the block reads as nothing and never past its end.
  for (size_t n = 0; n < good.size(); ++n) {
    TBlockVerInfo cut(TVersionBlock(good.begin(), good.begin() + static_cast<long>(n)));
    EXPECT_EQ(cut.FileVersion(), "") << "cut at " << n;
  }
}

TEST(VersionBlock, TheProgramShowsItsRealVersion) {
  // The build's version, as four numbers.
  std::string want = QF_PROJECT_VERSION;
  for (int dots = static_cast<int>(std::count(want.begin(), want.end(), '.')); dots < 3; ++dots) want += ".0";
  TVerInfo info(nullptr);
  EXPECT_EQ(info.FileVersion(), want);
  EXPECT_EQ(info.ProductVersion(), want);
  EXPECT_EQ(info.ProductName(), "Quarrowfield");
  EXPECT_EQ(info.CompanyName(), "");
}

}  // namespace
