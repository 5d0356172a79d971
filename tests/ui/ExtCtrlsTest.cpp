#include "GuiTestApp.h"
#include "core/Exception.h"
#include "ui/ExtCtrls.h"
#include "ui/QtConvert.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace qftest;

namespace {

// ---------------------------------------------------------------- panel

TEST(Panel, BevelsBorderAndTheAreaOfAlignedControls) {
  const TColor white = clBtnHighlight, shadow = clBtnShadow, face = clBtnFace;
  const struct {
    const char* name;
    TPanelBevel outer, inner;
    int bevelWidth, borderWidth, inset;
    std::vector<TSpot> spots;
  } cases[] = {
      {"raised", bvRaised, bvNone, 1, 0, 1,
       {At(0, 0, white), At(183, 0, white), At(184, 0, shadow), At(0, 40, shadow), At(1, 1, face)}},
      {"lowered", bvLowered, bvNone, 1, 0, 1, {At(0, 0, shadow), At(184, 40, white), At(1, 1, face)}},
      {"none", bvNone, bvNone, 1, 0, 0, {At(0, 0, face), At(184, 40, face)}},
      {"two_pixel_bevel", bvRaised, bvNone, 2, 0, 2, {At(1, 1, white), At(2, 2, face), At(183, 39, shadow)}},
      {"lowered_border_raised", bvLowered, bvRaised, 1, 2, 4,
       {At(0, 0, shadow), {{1, 1, 3, 3}, face}, At(3, 3, white), At(181, 37, shadow), At(184, 40, white),
        At(4, 4, face)}},
  };
  for (const auto& c : cases) {
    TForm form(nullptr);
    auto* panel = Place<TPanel>(&form, 0, 0, 185, 41);
    panel->SetBevelOuter(c.outer);
    panel->SetBevelInner(c.inner);
    panel->SetBevelWidth(c.bevelWidth);
    panel->SetBorderWidth(c.borderWidth);
    EXPECT_EQ(Missing(Painted(panel), c.spots), "") << c.name;
    auto* inside = Place<TPanel>(panel, 0, 0, 10, 10);
    inside->SetAlign(alClient);
    EXPECT_EQ(inside->BoundsRect(), (TRect{c.inset, c.inset, 185 - c.inset, 41 - c.inset})) << c.name;
    // A control anchored to the right keeps its distance to the panel's
    // edge, not to the bevels.
    auto* anchored = Place<TPanel>(panel, 150, 5, 20, 10);
    anchored->SetAnchors({akTop, akRight});
    panel->SetWidth(285);
    EXPECT_EQ(anchored->Left(), 250) << c.name;
  }
  TForm form(nullptr);
  auto* framed = Place<TPanel>(&form, 0, 0, 185, 41);
  framed->SetBorderStyle(bsSingle);
  EXPECT_EQ(std::pair(framed->ClientWidth(), framed->ClientHeight()), std::pair(181, 37));
}

// ---------------------------------------------------------------- splitter

/** A form with a neighbour, a splitter and a client panel, all plain face. */
struct TSplitScene {
  explicit TSplitScene(TAlign side) {
    const bool horizontal = side == alLeft || side == alRight;
    const int cw = form.ClientWidth(), ch = form.ClientHeight();
    neighbour = Place<TPanel>(&form, side == alRight ? cw - 100 : 0, side == alBottom ? ch - 100 : 0,
                              horizontal ? 100 : cw, horizontal ? ch : 100);
    neighbour->SetAlign(side);
    split = new TSplitter(&form);
    split->SetAlign(side);
    split->SetParent(&form);
    if (horizontal)
      split->SetBounds(side == alLeft ? 100 : cw - 103, 0, 3, ch);
    else
      split->SetBounds(0, side == alTop ? 100 : ch - 103, cw, 3);
    rest = Place<TPanel>(&form, 0, 0, 10, 10);
    rest->SetAlign(alClient);
    for (TPanel* p : {neighbour, rest}) p->SetBevelOuter(bvNone);
    split->OnMoved = [this](TObject*) { ++moved; };
  }
  bool Horizontal() const { return split->Align() == alLeft || split->Align() == alRight; }
  int NeighbourSize() const { return Horizontal() ? neighbour->Width() : neighbour->Height(); }
  /** Presses at (1, 10) or (10, 1), moves by d and returns the picture of the drag. */
  QImage Drag(int d, bool release = true) {
    const bool horizontal = Horizontal();
    const QPoint from = horizontal ? QPoint(1, 10) : QPoint(10, 1);
    const QPoint to = from + (horizontal ? QPoint(d, 0) : QPoint(0, d));
    SendMouse(split->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, from);
    SendMouse(split->Handle(), QEvent::MouseMove, Qt::LeftButton, to);
    QImage during = form.Handle()->grab().toImage();
    if (release) SendMouse(split->Handle(), QEvent::MouseButtonRelease, Qt::LeftButton, to);
    return during;
  }
  TShownForm form;
  TPanel* neighbour;
  TSplitter* split;
  TPanel* rest;
  int moved = 0;
};

TEST(Splitter, ADragResizesTheNeighbourWithinMinSizeTheRoomLeftAndItsConstraints) {
  const struct { const char* name; TSizeConstraints constraints; bool autoSnap; int move, size; } cases[] = {
      {"wider", {}, false, 50, 150},
      {"narrower_stops_at_min_size", {}, false, -90, 30},
      {"auto_snap_collapses", {}, true, -80, 0},
      {"constraint_min_forbids_the_snap", {60, 0, 0, 0}, true, -90, 60},
      {"constraint_max", {0, 0, 180, 0}, false, 200, 180},
      {"room_for_min_size_beside", {}, false, 400, -1},  // the client width less MinSize and the splitter
      {"no_move", {}, false, 0, 100},
  };
  for (const auto& c : cases) {
    TSplitScene s(alLeft);
    s.neighbour->SetConstraints(c.constraints);
    s.split->SetMinSize(30);
    s.split->SetAutoSnap(c.autoSnap);
    const int size = c.size >= 0 ? c.size : s.form.ClientWidth() - 30 - 3;
    const QImage during = s.Drag(c.move, false);
    // The pattern lies where the splitter will go, inverting every other pixel.
    EXPECT_EQ(CountPixels(during, {size, 10, size + 3, 30}, kInvertedFace), 30) << c.name;
    EXPECT_EQ(s.NeighbourSize(), 100) << c.name << ": nothing moves before the release";
    SendMouse(s.split->Handle(), QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(1 + c.move, 10));
    EXPECT_EQ(std::pair(s.NeighbourSize(), s.moved), std::pair(size, c.move != 0 ? 1 : 0)) << c.name;
    EXPECT_EQ(CountPixels(s.form.Handle()->grab().toImage(), kInvertedFace), 0) << c.name << ": the band is gone";
  }
}

TEST(Splitter, EverySideResizesItsNeighbour) {
  const struct { TAlign side; int move, size; } cases[] = {
      {alRight, -50, 150}, {alRight, 30, 70}, {alTop, 40, 140}, {alBottom, -40, 140}};
  for (const auto& c : cases) {
    TSplitScene s(c.side);
    EXPECT_EQ(s.split->FindControl(), s.neighbour) << c.side;
    s.Drag(c.move);
    EXPECT_EQ(s.NeighbourSize(), c.size) << c.side;
    EXPECT_EQ(s.split->Cursor(), c.side == alRight ? crHSplit : crVSplit);
  }
}

TEST(Splitter, UpdateStyleResizesAsItMovesAndALostMouseErasesTheLine) {
  TSplitScene s(alLeft);
  s.split->SetResizeStyle(rsUpdate);
  SendMouse(s.split->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {1, 10});
  SendMouse(s.split->Handle(), QEvent::MouseMove, Qt::LeftButton, {21, 10});
  EXPECT_EQ(s.neighbour->Width(), 120);
  // The splitter moved under the mouse: the next position is relative to it again.
  SendMouse(s.split->Handle(), QEvent::MouseMove, Qt::LeftButton, {21, 10});
  EXPECT_EQ(s.neighbour->Width(), 140);
  SendMouse(s.split->Handle(), QEvent::MouseButtonRelease, Qt::LeftButton, {21, 10});
  EXPECT_EQ(std::tuple(s.neighbour->Width(), s.moved, s.form.InvertedCount()), std::tuple(140, 2, 0));

  s.split->SetResizeStyle(rsLine);
  s.Drag(30, false);
  EXPECT_EQ(s.form.InvertedCount(), 1);
  s.split->Hide();  // the mouse capture goes with it
  EXPECT_EQ(std::tuple(s.form.InvertedCount(), s.neighbour->Width(), s.split->Sizing()), std::tuple(0, 140, false));
}

// ---------------------------------------------------------------- image

TEST(Image, DestRectPlacesThePicture) {
  const struct { int pw, ph; bool stretch, center, proportional; TRect dest; } cases[] = {
      {40, 20, false, false, false, {0, 0, 40, 20}},  {40, 20, false, true, false, {30, 30, 70, 50}},
      {40, 20, true, false, false, {0, 0, 100, 80}},  {40, 20, true, false, true, {0, 0, 100, 50}},
      {40, 20, true, true, true, {0, 15, 100, 65}},   {40, 20, false, false, true, {0, 0, 40, 20}},
      {200, 100, false, false, true, {0, 0, 100, 50}}, {20, 40, true, false, true, {0, 0, 40, 80}},
      {300, 100, false, true, true, {0, 23, 100, 56}},
  };
  TImage image(nullptr);
  image.SetBounds(0, 0, 100, 80);
  for (const auto& c : cases) {
    image.Picture().SetImage(QImage(c.pw, c.ph, QImage::Format_RGB32));
    image.SetStretch(c.stretch);
    image.SetCenter(c.center);
    image.SetProportional(c.proportional);
    EXPECT_EQ(image.DestRect(), c.dest) << c.pw << "x" << c.ph << " " << c.stretch << c.center << c.proportional;
  }
}

TEST(Image, ShowsPicturesWithTheirTransparency) {
  TShownForm form;
  form.SetColor(clRed);
  auto* image = Place<TImage>(&form, 10, 10, 40, 20);
  int clicks = 0;
  image->OnClick = [&](TObject*) { ++clicks; };
  auto shot = [&] { return form.Handle()->grab().toImage(); };

  image->Picture().LoadFromFile(":/test/half-green.png");  // compiled in: two green columns, two clear
  image->SetStretch(true);
  QImage img = shot();
  EXPECT_EQ(PixelAt(img, 10 + 5, 15), RGB(0, 128, 0));
  EXPECT_EQ(PixelAt(img, 10 + 30, 15), clRed) << "the picture's own alpha shows the parent";

  QImage keyed(4, 2, QImage::Format_RGB32);  // unstretched now, its white corner colour left out
  keyed.fill(qRgb(255, 255, 255));
  keyed.setPixel(0, 0, qRgb(0, 0, 0));
  image->SetStretch(false);
  image->Picture().SetImage(keyed);
  image->SetTransparent(true);
  img = shot();
  EXPECT_EQ(PixelAt(img, 10, 10), clBlack);
  EXPECT_EQ(PixelAt(img, 11, 10), clRed);
  EXPECT_EQ(PixelAt(img, 10 + 20, 10 + 4), clRed) << "beside the picture the parent shows";

  EXPECT_THROW(image->Picture().LoadFromFile(":/test/missing.png"), EFOpenError);
  EXPECT_EQ(image->Picture().Width(), 4);
  Click(image->Handle(), {2, 2});
  EXPECT_EQ(clicks, 1);
}

}  // namespace
