// The render tool's pictures of the flat controls, run as a program.

#include "GuiTestApp.h"
#include "TestSupport.h"
#include "ui/Colors.h"

#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using qftest::CountPixels;
using qftest::PixelAt;

namespace {

int RunTool(const QStringList& args, const char* tool = "render_control") {
  const char* bin = std::getenv("QF_BIN_DIR");
  QProcess p;
  p.start(QString(bin ? bin : ".") + "/" + tool, args);
  const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
  return done ? p.exitCode() : -1;
}

TEST(RenderFlat, EveryControlInEveryStateAndASheetForEachKind) {
  qftest::TempDir dir;
  const QString out = QString::fromStdString(dir.File("flat"));
  ASSERT_EQ(RunTool({"flat", out}), 0);
  const char* const names[] = {
      "speedbutton-up", "speedbutton-hot", "speedbutton-down", "speedbutton-disabled", "speedbutton-exclusive",
      "speedbutton-exclusive-hot", "speedbutton-transparent", "button-up", "button-hot", "button-down",
      "button-disabled", "button-exclusive", "button-focused", "button-default", "checkbox-unchecked",
      "checkbox-checked", "checkbox-hot", "checkbox-focused", "checkbox-held", "checkbox-disabled", "checkbox-right",
      "checkbox-wrapped", "radio-unchecked", "radio-checked", "radio-hot", "radio-focused", "radio-held",
      "radio-disabled", "radio-right", "radio-wrapped", "edit-flat", "edit-hot", "edit-focused", "edit-disabled",
      "memo-flat", "memo-hot", "memo-focused", "memo-disabled", "memo-scrollbars", "spinedit-flat", "spinedit-hot",
      "spinedit-focused", "spinedit-disabled", "spinedit-pressed", "combo-flat", "combo-list-focused",
      "combo-dropped", "combo-disabled", "panel-plain", "panel-left", "panel-disabled", "groupbox-full",
      "groupbox-topline", "groupbox-nocaption", "groupbox-disabled", "splitter-plain", "splitter-hot",
      "splitter-dragging"};
  for (const char* name : names) EXPECT_FALSE(QImage(out + "/" + name + ".png").isNull()) << name;
  for (const char* kind : {"speedbutton", "button", "checkbox", "radio", "edit", "memo", "spinedit", "combo", "panel",
                           "groupbox", "splitter"})
    EXPECT_TRUE(QFile::exists(out + "/sheet-" + kind + ".png")) << kind;

  // Each scene sits at (10, 10) of a stage of the button face.
  auto at = [&](const char* name, int x, int y) { return PixelAt(QImage(out + "/" + name + ".png"), x, y); };
  EXPECT_EQ(at("speedbutton-up", 10, 10), 0x8396A0);
  EXPECT_EQ(at("speedbutton-up", 12, 50), ColorToRGB(clBtnFace)) << "the face follows the parent";
  EXPECT_EQ(at("speedbutton-hot", 10, 10), clWhite);
  EXPECT_EQ(at("speedbutton-hot", 73, 53), clBlack);
  EXPECT_EQ(at("speedbutton-hot", 12, 50), 0xE1EAEB);
  EXPECT_EQ(at("speedbutton-down", 12, 50), 0xC5D6D9);
  EXPECT_EQ(at("checkbox-hot", 10 + 1 + 5, 8 + 3 + 5), clWhite);
  EXPECT_EQ(at("edit-focused", 10, 10), 0x8396A0);
  EXPECT_EQ(at("edit-focused", 11, 11), clWhite);
  EXPECT_EQ(at("edit-flat", 11, 11), ColorToRGB(clBtnFace));
  const QImage combo(out + "/combo-dropped.png");
  const TPoint arrow{10 + 145 - 13, 10 + 21 / 2 - 1};
  EXPECT_EQ(CountPixels(combo, {arrow.X, arrow.Y, arrow.X + 13, arrow.Y + 1}, clBlack), 1) << "pointing up";
  EXPECT_EQ(CountPixels(combo, {arrow.X, arrow.Y + 2, arrow.X + 13, arrow.Y + 3}, clBlack), 5);
  const TColor inverted = RGB(255 - 212, 255 - 208, 255 - 200);  // the button face, inverted
  EXPECT_GT(CountPixels(QImage(out + "/splitter-dragging.png"), inverted), 30) << "the drag line";

  EXPECT_EQ(RunTool({"flat"}), 2);
}

TEST(FlatGallery, ShowsEveryControlInOneWindow) {
  qftest::TempDir dir;
  const QString out = QString::fromStdString(dir.File("gallery.png"));
  ASSERT_EQ(RunTool({"--snapshot", out}, "flat_gallery"), 0);
  const QImage img(out);
  EXPECT_EQ(img.size(), QSize(660 - 8, 470 - 27)) << "the client area of the window";
  EXPECT_GT(CountPixels(img, 0x8396A0), 1000) << "flat frames";
  EXPECT_GT(CountPixels(img, 0x996633), 50) << "the gauge's bar";
  EXPECT_EQ(RunTool({"--nonsense"}, "flat_gallery"), 2);
}

}  // namespace
