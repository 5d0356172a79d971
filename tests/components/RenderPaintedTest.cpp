// The render tool's pictures of the menu painter, the page control and the
// gradient label, run as a program.

#include "FlatTestKit.h"
#include "TestSupport.h"
#include "components/MenuPainter.h"
#include "ui/Colors.h"

#include <QFile>

#include <gtest/gtest.h>

using qftest::CountPixels;
using qftest::PixelAt;

namespace {

std::pair<int, QImage> Render(QStringList args) {
  static qftest::TempDir dir;
  const QString out = QString::fromStdString(dir.File("painted.png"));
  QFile::remove(out);
  args.replaceInStrings("OUT", out);
  return {flattest::RunTool(args), QImage(out)};
}

TEST(RenderPainted, TheMenuAndTheToolBar) {
  auto [code, img] = Render({"menu", "OUT"});
  ASSERT_EQ(code, 0);
  // The open menu shows the main window's colours: its image column and a selected item.
  EXPECT_GT(CountPixels(img, 16576226), 100);
  EXPECT_GT(CountPixels(img, 16776176), 100);
  EXPECT_GT(CountPixels(img, clNavy), 50);
  std::tie(code, img) = Render({"toolbar", "OUT"});
  ASSERT_EQ(code, 0);
  EXPECT_EQ(img.size(), QSize(200, 29));
  EXPECT_EQ(PixelAt(img, 23, 0), clNavy) << "the second button is hot";
  EXPECT_EQ(PixelAt(img, 25, 2), LightenColor(16776176, 68));
  EXPECT_EQ(PixelAt(img, 1, 1), LightenColor(clBtnFace, 16)) << "the first one is quiet";
  EXPECT_EQ(CountPixels(img, {100, 0, 200, 29}, clBlack), 5 + 3 + 1) << "the drop-down button's arrow";
}

TEST(RenderPainted, PagesInEachStyleAndSide) {
  for (const char* style : {"classic", "dotnet"})
    for (const char* side : {"top", "bottom", "left", "right"}) {
      const auto [code, img] = Render({"pages", "--tab-style", style, "--side", side, "OUT"});
      ASSERT_EQ(code, 0) << style << " " << side;
      EXPECT_EQ(img.size(), QSize(320, 300)) << style << " " << side;
      EXPECT_GT(CountPixels(img, clNavy), 60) << style << " " << side << ": the hovered tab's border";
      EXPECT_GT(CountPixels(img, clWhite), 20) << style << " " << side << ": the active tab's white start and the close button";
    }
  // Six pages in rows: the first row behind the others, or under the sheet.
  for (const char* rows : {"behind", "opposite"}) {
    const auto [code, img] = Render({"pages", "--rows", rows, "OUT"});
    ASSERT_EQ(code, 0) << rows;
    EXPECT_EQ(img.size(), QSize(220, 300)) << rows;
    EXPECT_EQ(CountPixels(img, {0, 250, 220, 300}, 0xF0E0D0) > 0, std::string(rows) == "opposite") << rows;
  }
}

TEST(RenderPainted, TheLabelInItsModes) {
  for (const char* mode : {"horizontal", "vertical", "elliptic", "rectangle", "vertcenter", "horizcenter", "raised",
                           "recessed", "shadowed", "subsup", "link", "frame", "rule"}) {
    const auto [code, img] = Render({"label", "--mode", mode, "OUT"});
    ASSERT_EQ(code, 0) << mode;
    EXPECT_EQ(img.size(), QSize(240, 48)) << mode;
  }
  auto [code, img] = Render({"label", "--mode", "horizontal", "OUT"});
  EXPECT_EQ(PixelAt(img, 0, 47), clNavy);
  EXPECT_EQ(PixelAt(img, 239, 47), clAqua);
  std::tie(code, img) = Render({"label", "--mode", "link", "OUT"});
  EXPECT_GT(CountPixels(img, clGreen), 20) << "the hovered link";
}

TEST(RenderPainted, BadArgumentsAreRefused) {
  const std::pair<const char*, QStringList> cases[] = {
      {"no_output", {"menu"}},
      {"option_of_another_picture", {"toolbar", "--mode", "link", "OUT"}},
      {"unknown_style", {"pages", "--tab-style", "fancy", "OUT"}},
      {"unknown_side", {"pages", "--side", "middle", "OUT"}},
      {"unknown_rows", {"pages", "--rows", "sideways", "OUT"}},
      {"unknown_mode", {"label", "--mode", "sparkle", "OUT"}},
      {"missing_value", {"label", "OUT", "--mode"}}};
  for (const auto& [name, args] : cases) {
    const auto [code, img] = Render(args);
    EXPECT_EQ(code, 2) << name;
    EXPECT_TRUE(img.isNull()) << name;
  }
}

}  // namespace
