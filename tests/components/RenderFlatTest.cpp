// The render tool's pictures of the flat controls, run as a program.

#include "FlatTestKit.h"
#include "TestSupport.h"
#include "components/MenuPainter.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace flattest;
using namespace qftest;

namespace {

TEST(RenderFlat, EveryControlInEveryStateAndASheetForEachKind) {
  TempDir dir;
  const QString out = QString::fromStdString(dir.File("flat"));
  ASSERT_EQ(RunTool({"flat", out}), 0);
  // 66 pictures of the controls in their states and a sheet for each of the 12 kinds, all readable.
  const QStringList pictures = QDir(out).entryList({"*.png"}, QDir::Files);
  EXPECT_EQ(pictures.size(), 66 + 12);
  for (const QString& name : pictures) EXPECT_FALSE(QImage(out + "/" + name).isNull()) << name.toStdString();
  EXPECT_EQ(pictures.filter("sheet-").size(), 12);

  // Each scene sits at (10, 10) of a stage of the button face.
  auto at = [&](const char* name, int x, int y) { return PixelAt(QImage(out + "/" + name + ".png"), x, y); };
  EXPECT_EQ(at("speedbutton-up", 12, 50), ColorToRGB(clBtnFace)) << "the face follows the parent";
  EXPECT_EQ(at("speedbutton-hot", 12, 50), 0xE1EAEB);
  EXPECT_EQ(at("speedbutton-down", 12, 50), 0xC5D6D9);
  EXPECT_EQ(at("checkbox-hot", 10 + 1 + 5, 8 + 3 + 5), clWhite);
  EXPECT_EQ(at("edit-focused", 11, 11), clWhite);
  EXPECT_EQ(at("edit-flat", 11, 11), ColorToRGB(clBtnFace));
  const QImage combo(out + "/combo-dropped.png");
  const TPoint arrow{10 + 145 - 13, 10 + 21 / 2 - 1};
  EXPECT_EQ(CountPixels(combo, {arrow.X, arrow.Y, arrow.X + 13, arrow.Y + 1}, clBlack), 1) << "pointing up";
  EXPECT_EQ(CountPixels(combo, {arrow.X, arrow.Y + 2, arrow.X + 13, arrow.Y + 3}, clBlack), 5);
  // The other combo styles: the open box's clWindow ring on its own colour, a
  // simple box without a button, owner-drawn rows of three heights below the box.
  EXPECT_EQ(at("combo-dropped-ring", 10 + 2, 10 + 10), clWhite);
  EXPECT_EQ(at("combo-dropped-ring", 10 + 1, 10 + 10), 0xE1EAEB);
  EXPECT_EQ(CountPixels(QImage(out + "/combo-simple.png"), 0xC5D6D9), 0) << "no button";
  EXPECT_EQ(at("combo-simple", 10, 10 + 30), 0x8396A0) << "the list's flat frame";
  const QImage open(out + "/combo-ownerdraw-variable-open.png");
  EXPECT_EQ(open.height(), 41 + (16 + 20 + 24 + 16 + 20 + 2) + 10);
  EXPECT_GT(CountPixels(open, RGB(40, 90, 200)), 100) << "the blue swatch";
  EXPECT_EQ(at("combo-ownerdraw-focused", 10 + 3, 10 + 10), ColorToRGB(clHighlight));
  // List boxes: the sunken edge, then the painter's single line, quiet and hot.
  EXPECT_EQ(at("listbox-plain", 10, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(at("listbox-painted", 10, 10), ShadeColor(clBtnFace, 60));
  EXPECT_EQ(at("listbox-painted", 11, 11), clWhite) << "one line only";
  EXPECT_EQ(at("listbox-painted-hot", 10, 50), LightenColor(clNavy, 60));
  const TColor inverted = RGB(255 - 212, 255 - 208, 255 - 200);  // the button face, inverted
  EXPECT_GT(CountPixels(QImage(out + "/splitter-dragging.png"), inverted), 30) << "the drag line";

  EXPECT_EQ(RunTool({"flat"}), 2);
}

TEST(FlatGallery, ShowsEveryControlInOneWindow) {
  TempDir dir;
  const QString out = QString::fromStdString(dir.File("gallery.png"));
  ASSERT_EQ(RunTool({"--snapshot", out}, "flat_gallery"), 0);
  const QImage img(out);
  EXPECT_EQ(img.size(), QSize(660 - 8, 470 + 126 + 170 - 27))
      << "the client area of the window, with the combo band and the docking strip";
  EXPECT_GT(CountPixels(img, clGray), 500) << "the frames of the page control that holds docked forms";
  EXPECT_GT(CountPixels(img, 0x8396A0), 1000) << "flat frames";
  EXPECT_GT(CountPixels(img, 0x996633), 50) << "the gauge's bar";
  EXPECT_EQ(RunTool({"--nonsense"}, "flat_gallery"), 2);
}

}  // namespace
