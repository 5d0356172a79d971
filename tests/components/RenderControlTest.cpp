// The render tool, run as a program: pictures of the gauge in given states.

#include "GuiTestApp.h"
#include "TestSupport.h"
#include "ui/Colors.h"

#include <QImage>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

#include <cstdlib>
#include <string>

using qftest::CountPixels;
using qftest::PixelAt;

namespace {

std::string Tool() {
  const char* bin = std::getenv("QF_BIN_DIR");
  return std::string(bin ? bin : ".") + "/render_control";
}

int RunTool(const QStringList& args) {
  QProcess p;
  p.start(QString::fromStdString(Tool()), args);
  if (!p.waitForFinished(20000)) return -1;
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(RenderControl, GaugePictureHasTheAskedSizeAndBar) {
  qftest::TempDir dir;
  const QString out = QString::fromStdString(dir.File("gauge.png"));
  ASSERT_EQ(RunTool({"gauge", "--progress", "42", "--width", "433", "--height", "25", out}), 0);
  QImage img(out);
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), QSize(433, 25));
  // 429 * 42 / 100 = 180.18: 180 pixels of the default bar colour on the bar's top row.
  EXPECT_EQ(CountPixels(img, {2, 2, 431, 3}, 0x996633), 180);
  EXPECT_EQ(PixelAt(img, 0, 0), 0x8396A0);
  EXPECT_EQ(PixelAt(img, 1, 1), ColorToRGB(clBtnFace));  // the colour of the form it sits on

  const QString out2 = QString::fromStdString(dir.File("colours.png"));
  ASSERT_EQ(RunTool({"gauge", "--progress", "999", "--color", "0xFFFFFF", "--bar-color", "16776176", "--border-color",
                 "0x800000", "--no-text", out2}),
            0);
  QImage img2(out2);
  EXPECT_EQ(img2.size(), QSize(145, 25));
  EXPECT_EQ(CountPixels(img2, {2, 2, 143, 23}, RGB(240, 251, 255)), 141 * 21);  // full bar, no text
  EXPECT_EQ(PixelAt(img2, 0, 0), clNavy);
  EXPECT_EQ(PixelAt(img2, 1, 1), clWhite);
}

TEST(RenderControl, ProgressWindowPicture) {
  qftest::TempDir dir;
  const QString out = QString::fromStdString(dir.File("window.png"));
  ASSERT_EQ(RunTool({"processing", "--progress", "66", out}), 0);
  QImage img(out);
  EXPECT_EQ(img.size(), QSize(458, 138));
  // The gauge at (8, 48): navy frame, then 283 bar pixels on the bar's top row.
  EXPECT_EQ(PixelAt(img, 8, 48), clNavy);
  EXPECT_EQ(CountPixels(img, {10, 50, 439, 51}, RGB(240, 251, 255)), 283);
}

struct BadArgs {
  const char* name;
  QStringList args;
};

void PrintTo(const BadArgs& c, std::ostream* os) { *os << c.name; }

class RenderControlRefuses : public ::testing::TestWithParam<BadArgs> {};

TEST_P(RenderControlRefuses, BadArgumentsWithoutWritingAFile) {
  qftest::TempDir dir;
  const QString out = QString::fromStdString(dir.File("x.png"));
  QStringList args = GetParam().args;
  args.replaceInStrings("OUT", out);
  EXPECT_EQ(RunTool(args), 2);
  EXPECT_FALSE(QImage(out).width() > 0);
}

INSTANTIATE_TEST_SUITE_P(
    Args, RenderControlRefuses,
    ::testing::Values(BadArgs{"nothing", {}}, BadArgs{"unknown_control", {"button", "OUT"}},
                      BadArgs{"no_output", {"gauge", "--progress", "5"}},
                      BadArgs{"missing_value", {"gauge", "OUT", "--progress"}},
                      BadArgs{"not_a_number", {"gauge", "--progress", "4x2", "OUT"}},
                      BadArgs{"unknown_option", {"gauge", "--shiny", "OUT"}},
                      BadArgs{"zero_width", {"gauge", "--width", "0", "OUT"}},
                      BadArgs{"two_outputs", {"gauge", "OUT", "OUT"}},
                      BadArgs{"option_of_the_other_control", {"processing", "--width", "10", "OUT"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
