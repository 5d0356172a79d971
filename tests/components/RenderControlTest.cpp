// The render tool, run as a program: pictures of the gauge in given states.

#include "FlatTestKit.h"
#include "TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

// Runs the tool with out as its output file; answers the exit code and the picture.
std::pair<int, QImage> Render(QStringList args) {
  static TempDir dir;
  const QString out = QString::fromStdString(dir.File("out.png"));
  QFile::remove(out);
  args.replaceInStrings("OUT", out);
  return {flattest::RunTool(args), QImage(out)};
}

TEST(RenderControl, GaugePictures) {
  auto [code, img] = Render({"gauge", "--progress", "42", "--width", "433", "--height", "25", "OUT"});
  ASSERT_EQ(code, 0);
  EXPECT_EQ(img.size(), QSize(433, 25));
  EXPECT_EQ(CountPixels(img, {2, 2, 431, 3}, 0x996633), 180);  // 429 * 42 / 100 = 180.18
  EXPECT_EQ(PixelAt(img, 0, 0), 0x8396A0);
  EXPECT_EQ(PixelAt(img, 1, 1), ColorToRGB(clBtnFace));  // the colour of the form it sits on

  std::tie(code, img) = Render({"gauge", "--progress", "999", "--color", "0xFFFFFF", "--bar-color", "16776176",
                                "--border-color", "0x800000", "--no-text", "OUT"});
  ASSERT_EQ(code, 0);
  EXPECT_EQ(img.size(), QSize(145, 25));
  EXPECT_EQ(CountPixels(img, {2, 2, 143, 23}, RGB(240, 251, 255)), 141 * 21);  // full bar, no text
  EXPECT_EQ(PixelAt(img, 0, 0), clNavy);
  EXPECT_EQ(PixelAt(img, 1, 1), clWhite);

  std::tie(code, img) = Render({"processing", "--progress", "66", "OUT"});
  ASSERT_EQ(code, 0);
  EXPECT_EQ(img.size(), QSize(458 - 6, 138 - 25));  // the client area of the dialog
  EXPECT_EQ(PixelAt(img, 8, 48), clNavy);  // the gauge's frame, then 283 bar pixels
  EXPECT_EQ(CountPixels(img, {10, 50, 439, 51}, RGB(240, 251, 255)), 283);
}

TEST(RenderControl, GridPicturesInBothStyles) {
  // Rows 12 to 14 selected, scrolled to row 10: they are the third to fifth
  // rows under the header (frame 2, header 18, rows 16 + 1).
  auto [code, img] = Render({"grid", "--top", "10", "--row", "14", "--anchor", "12", "--col", "1", "OUT"});
  ASSERT_EQ(code, 0);
  EXPECT_EQ(img.size(), QSize(420, 240));
  const TColor highlight = ColorToRGB(clHighlight), window = ColorToRGB(clWindow);
  for (int row = 0; row < 6; ++row)
    EXPECT_EQ(PixelAt(img, 100, 2 + 18 + row * 17 + 12), row >= 2 && row <= 4 ? highlight : window) << row;
  EXPECT_EQ(PixelAt(img, 100, 2 + 18 + 16), ColorToRGB(clBtnFace)) << "grid line";

  // Slides of 80 + 1 pixels from row 3; row 4 is current, framed and selected.
  std::tie(code, img) = Render({"grid", "--slides", "--top", "3", "--row", "4", "OUT"});
  ASSERT_EQ(code, 0);
  EXPECT_EQ(PixelAt(img, 2 + 1, 2 + 81 + 1), highlight) << "the current slide's frame";
  EXPECT_EQ(PixelAt(img, 2 + 70, 2 + 81 + 40), highlight) << "a cell of the selected slide";
  EXPECT_EQ(PixelAt(img, 2 + 70, 2 + 40), window) << "the same cell one slide up";
}

TEST(RenderControl, BadArgumentsAreRefusedWithoutWritingAFile) {
  const std::pair<const char*, QStringList> cases[] = {
      {"nothing", {}},
      {"unknown_control", {"button", "OUT"}},
      {"no_output", {"gauge", "--progress", "5"}},
      {"missing_value", {"gauge", "OUT", "--progress"}},
      {"not_a_number", {"gauge", "--progress", "4x2", "OUT"}},
      {"unknown_option", {"gauge", "--shiny", "OUT"}},
      {"zero_width", {"gauge", "--width", "0", "OUT"}},
      {"two_outputs", {"gauge", "OUT", "OUT"}},
      {"option_of_the_other_control", {"processing", "--width", "10", "OUT"}},
      {"gauge_option_for_the_grid", {"grid", "--progress", "5", "OUT"}},
      {"grid_option_for_the_gauge", {"gauge", "--slides", "OUT"}},
      {"negative_rows", {"grid", "--rows", "-1", "OUT"}},
      {"table_without_project", {"mainwindow", "--table", "books", "OUT"}},
      {"project_for_the_gauge", {"gauge", "--project", "demo.vrk", "OUT"}}};
  for (const auto& [name, args] : cases) {
    const auto [code, img] = Render(args);
    EXPECT_EQ(code, 2) << name;
    EXPECT_TRUE(img.isNull()) << name;
  }
}

}  // namespace
