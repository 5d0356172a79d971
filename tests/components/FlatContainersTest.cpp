// The flat panel, group box and splitter.

#include "FlatTestKit.h"
#include "components/FlatGroupBox.h"
#include "components/FlatPanel.h"
#include "components/FlatSplitter.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace flattest;
using namespace qftest;

namespace {

TEST(FlatPanel, FrameBackgroundAndTheCaptionPlacedByAlignment) {
  TShownForm form;
  form.SetColor(RGB(200, 200, 190));
  auto* panel = Place<TFlatPanel>(&form, 10, 10, 185, 41);
  panel->SetColorHighLight(clRed);
  panel->SetColorShadow(clBlue);
  panel->SetCaption("Caption");
  panel->Font().SetColor(clGreen);
  const struct {
    TAlignment align;
    TRect inked, blank;  // where the caption's pixels are, and a strip without any
  } cases[] = {{taLeftJustify, {1, 1, 60, 40}, {125, 1, 184, 40}},
               {taRightJustify, {125, 1, 184, 40}, {1, 1, 60, 40}},
               {taCenter, {60, 1, 125, 40}, {1, 1, 40, 40}}};
  for (const auto& c : cases) {
    panel->SetAlignment(c.align);
    const QImage img = Painted(panel);
    EXPECT_EQ(PixelAt(img, 0, 39), clRed);
    EXPECT_EQ(PixelAt(img, 184, 0), clBlue);
    EXPECT_EQ(PixelAt(img, 1, 1), RGB(200, 200, 190)) << "the parent's colour";
    EXPECT_GT(CountPixels(img, c.inked, clGreen), 0) << c.align;
    EXPECT_EQ(CountPixels(img, c.blank, clGreen), 0) << c.align;
  }
  panel->SetEnabled(false);  // embossed
  QImage img = Painted(panel);
  EXPECT_EQ(CountPixels(img, clGreen), 0);
  EXPECT_GT(CountPixels(img, {60, 1, 125, 40}, clBtnHighlight), 0);
  EXPECT_GT(CountPixels(img, {60, 1, 125, 40}, clBtnShadow), 0);
  auto* inner = Place<TFlatPanel>(panel, 20, 5, 50, 30);
  inner->SetTransparent(true);
  panel->SetColor(RGB(10, 20, 30));
  inner->SetColor(clYellow);
  EXPECT_EQ(PixelAt(Painted(inner), 5, 5), RGB(10, 20, 30)) << "a transparent panel shows its parent";
}

// A transparent panel shows what its parent paints beneath it: the parent's
// windowless controls too, on a form as on a panel, but no window.
TEST(FlatPanel, TransparentItShowsTheWindowlessControlsBeneath) {
  TShownForm form;
  auto* host = Place<TFlatPanel>(&form, 200, 0, 150, 100);
  host->SetColor(RGB(10, 20, 30));
  for (TWinControl* parent : {static_cast<TWinControl*>(&form), static_cast<TWinControl*>(host)}) {
    SCOPED_TRACE(parent == host ? "on a panel" : "on the form");
    auto label = [&](int x, TColor color, bool visible) {
      auto* l = Place<TLabel>(parent, x, 30, 40, 20);
      l->SetAutoSize(false);
      l->SetColor(color);
      l->SetVisible(visible);
    };
    label(30, clRed, true);
    label(80, clBlue, false);
    Place<TFlatPanel>(parent, 30, 60, 20, 20)->SetColor(clLime);
    auto* glass = Place<TFlatPanel>(parent, 20, 20, 100, 70);
    glass->SetTransparent(true);
    const QImage img = Painted(glass);
    EXPECT_EQ(CountPixels(img, clRed), 40 * 20) << "the label";
    EXPECT_EQ(CountPixels(img, clBlue) + CountPixels(img, clLime), 0) << "not the hidden label nor the panel";
  }
}

TEST(FlatGroupBox, TheLineLeavesAGapForTheCaptionTheAcceleratorFocusesItAndTheDisabledCaptionIsEmbossed) {
  TShownForm form;
  form.SetColor(clWhite);
  auto* box = Place<TFlatGroupBox>(&form, 10, 10, 185, 105);
  box->SetColorBorder(clNavy);
  TCanvas measure;
  measure.Font = box->Font();
  const int tw = measure.TextWidth("Options"), m = measure.TextHeight("Options") / 2;
  const struct {
    const char* caption;
    TGroupBoxBorder border;
    int gapEnd;  // the first line pixel after the gap
    bool sides;
  } cases[] = {{"", brFull, 13, true}, {"Options", brFull, 13 + tw, true}, {"Options", brOnlyTopLine, 13 + tw, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + " " + std::to_string(c.border));
    box->SetCaption(c.caption);
    box->SetBorder(c.border);
    const QImage img = Painted(box);
    EXPECT_TRUE(AllPixels(img, {1, m, 6, m + 1}, clNavy)) << "the line up to L + 5";
    EXPECT_EQ(CountPixels(img, {6, m, c.gapEnd, m + 1}, clNavy), 0) << "the gap";
    EXPECT_TRUE(AllPixels(img, {c.gapEnd, m, 184, m + 1}, clNavy));
    EXPECT_EQ(CountPixels(img, {0, 0, 185, m}, clNavy), 0) << "nothing above the line";
    EXPECT_EQ(AllPixels(img, {0, m, 1, 105}, clNavy), c.sides);
    EXPECT_EQ(AllPixels(img, {0, 104, 185, 105}, clNavy), c.sides);
    EXPECT_EQ(AllPixels(img, {184, m, 185, 105}, clNavy), c.sides);
  }
  form.SetColor(RGB(200, 200, 190));  // the embossed caption's white shows on it
  auto* edit = Place<TEdit>(&form, 10, 150, 100, 21);
  box->SetCaption("&Options");
  box->Font().SetColor(clGreen);
  edit->SetFocus();
  Key(edit->ClientWidget(), Qt::Key_O, "o", Qt::AltModifier);
  EXPECT_TRUE(box->Focused());
  box->SetEnabled(false);
  const QImage img = Painted(box);
  EXPECT_EQ(CountPixels(img, clGreen), 0);
  EXPECT_GT(CountPixels(img, {10, 0, 175, 20}, clBtnHighlight), 0);
}

// ---------------------------------------------------------------- splitter

/** A neighbour aligned to one side, the splitter beside it, the rest filling
 *  the form; a focused edit in the rest. */
struct TSplitScene {
  explicit TSplitScene(TAlign side) {
    // Each at its side first, so that alignment keeps their order.
    const int cw = form.ClientWidth(), ch = form.ClientHeight();
    neighbour = Place<TFlatPanel>(&form, side == alRight ? cw - 100 : 0, side == alBottom ? ch - 100 : 0, 100, 100);
    neighbour->SetAlign(side);
    split = Place<TFlatSplitter>(&form, 0, 0, 5, 5);
    split->SetAlign(side);
    if (side == alTop || side == alBottom) split->SetHeight(5);  // it was left-aligned, full height
    // Placed just inside the neighbour's edge, as a form's layout puts it.
    if (side == alLeft) split->SetLeft(100);
    if (side == alTop) split->SetTop(100);
    if (side == alRight) split->SetLeft(cw - 105);
    if (side == alBottom) split->SetTop(ch - 105);
    rest = Place<TFlatPanel>(&form, 0, 0, 10, 10);
    rest->SetAlign(alClient);
    edit = Place<TEdit>(rest, 10, 10, 80, 21);
    edit->SetFocus();
    split->OnMoved = [this](TObject*) { ++moved; };
  }
  bool Horizontal() const { return split->Align() == alLeft || split->Align() == alRight; }
  int Size(TControl* c) const { return Horizontal() ? c->Width() : c->Height(); }
  QPoint To(int d) const { return QPoint(2, 2) + (Horizontal() ? QPoint(d, 0) : QPoint(0, d)); }
  TShownForm form;
  TFlatPanel* neighbour;
  TFlatSplitter* split;
  TFlatPanel* rest;
  TEdit* edit;
  int moved = 0;
};

TEST(FlatSplitter, ADragResizesTheNeighbourWithinMinSizeAndTheRoomLeft) {
  const struct {
    const char* name;
    TAlign side;
    int minSize, move, size;  // size -1: as large as the room allows
  } cases[] = {
      {"wider", alLeft, 30, 50, 150},
      {"narrower_stops_at_min_size", alLeft, 30, -90, 30},
      {"room_for_the_rest", alLeft, 30, 400, -1},
      {"no_move", alLeft, 30, 0, 100},
      {"right", alRight, 30, -50, 150},
      {"right_narrower", alRight, 30, 30, 70},
      {"top", alTop, 30, 40, 140},
      {"bottom", alBottom, 30, -40, 140},
      {"bottom_room", alBottom, 30, -400, -1},
      // No room for both at MinSize: the neighbour keeps its size.
      {"no_room", alLeft, 200, 60, 100},
      {"no_room_narrower", alLeft, 200, -60, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TSplitScene s(c.side);
    s.split->SetMinSize(c.minSize);
    ASSERT_EQ(s.split->FindControl(), s.neighbour);
    const int room = (s.Horizontal() ? s.form.ClientWidth() : s.form.ClientHeight()) - c.minSize - 5;
    const int size = c.size >= 0 ? c.size : room;
    Press(s.split, 2, 2);
    MoveMouse(s.split, s.To(c.move).x(), s.To(c.move).y(), Qt::LeftButton);
    EXPECT_EQ(s.form.InvertedCount(), 1) << "the line shows where it goes";
    EXPECT_EQ(s.split->NewSize(), size);
    EXPECT_EQ(s.Size(s.neighbour), 100) << "nothing moves before the release";
    Release(s.split, s.To(c.move).x(), s.To(c.move).y());
    EXPECT_EQ(s.Size(s.neighbour), size);
    EXPECT_EQ(s.form.InvertedCount(), 0);
    EXPECT_EQ(s.moved, 1);
    if (c.minSize < 100) {
      EXPECT_GE(s.Size(s.rest), c.minSize) << "the other side keeps MinSize too";
    }
  }
}

TEST(FlatSplitter, EscapeCancelsTheDragAndHandsTheKeyBack) {
  TSplitScene s(alLeft);
  std::vector<WORD> keys;
  s.edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys.push_back(key); };
  Press(s.split, 2, 2);
  MoveMouse(s.split, 62, 2, Qt::LeftButton);
  ASSERT_TRUE(s.split->Sizing());
  Key(s.edit->Handle()->findChild<QWidget*>(), Qt::Key_Escape, "");
  EXPECT_FALSE(s.split->Sizing());
  EXPECT_EQ(s.form.InvertedCount(), 0);
  EXPECT_EQ(s.moved, 1) << "OnMoved fires when a drag ends, also by Escape";
  EXPECT_TRUE(keys.empty()) << "Escape was the splitter's";
  Release(s.split, 62, 2);
  EXPECT_EQ(s.neighbour->Width(), 100);
  EXPECT_EQ(s.moved, 1);
  Key(s.edit->Handle()->findChild<QWidget*>(), Qt::Key_A, "a");
  EXPECT_EQ(keys, (std::vector<WORD>{'A'})) << "the edit has its own key handler back";
}

TEST(FlatSplitter, AnInvisibleControlIsNoNeighbourAndTakesNoRoomAndTheFaceFollowsTheMouse) {
  TShownForm form;
  form.SetColor(RGB(200, 200, 190));
  auto* hidden = Place<TFlatPanel>(&form, 40, 0, 80, 100);  // first in order, over the probe point
  hidden->Hide();
  auto* neighbour = Place<TFlatPanel>(&form, 0, 0, 100, 100);
  neighbour->SetAlign(alLeft);
  auto* split = Place<TFlatSplitter>(&form, 100, 0, 5, 100);
  split->SetAlign(alLeft);
  EXPECT_EQ(split->FindControl(), neighbour);
  hidden->SetAlign(alLeft);
  Press(split, 2, 2);
  MoveMouse(split, 1000, 2, Qt::LeftButton);
  Release(split, 1000, 2);
  EXPECT_EQ(neighbour->Width(), form.ClientWidth() - 30 - 5);
  split->SetAlign(alNone);
  EXPECT_EQ(split->FindControl(), nullptr);
  // The frame is the border colour, the face the parent's or, under the mouse, the focused colour.
  QImage img = Painted(split);
  EXPECT_TRUE(Ring(img, {0, 0, split->Width(), split->Height()}, split->ColorBorder()));
  EXPECT_EQ(PixelAt(img, 2, 50), RGB(200, 200, 190));
  Enter(split);
  EXPECT_TRUE(AllPixels(Painted(split), {1, 1, 4, 99}, split->ColorFocused()));
  Leave(split);
  EXPECT_EQ(PixelAt(Painted(split), 2, 50), RGB(200, 200, 190));
}

}  // namespace
