// The scroll view's bar settings and scroll messages, roll scrolling, the
// roll marker and cursors, the drop arrows' shapes, and the drop-down list.

#include "GridWindowTest.h"
#include "grid/ColumnDragBox.h"
#include "grid/FlyoutControl.h"
#include "grid/PopupView.h"
#include "grid/ScrollView.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using gridtest::TShownForm;
using qftest::SendMouse;

namespace {

/** A scroll view that notes what reaches its bars and its content. */
struct TProbeView : TScrollView {
  explicit TProbeView(TComponent* owner) : TScrollView(owner) {}
  int Applied = 0;
  std::vector<std::pair<int, int>> Messages;  // kind, code
  std::vector<std::pair<int, int>> Scrolled;  // dx, dy
  void ApplyBarSettings(const TControlScrollBar& bar) override {
    ++Applied;
    TScrollView::ApplyBarSettings(bar);
  }
  void ScrollMessage(TScrollBarKind kind, int code, int track) override {
    Messages.emplace_back(kind, code);
    TScrollView::ScrollMessage(kind, code, track);
  }
  int GetVertDelta(int from, int to) const override { return (from - to) * 10; }
  void ScrollContent(int dx, int dy) override {
    Scrolled.emplace_back(dx, dy);
    TScrollView::ScrollContent(dx, dy);
  }
  using TScrollView::RollTick;
  using TScrollView::ScrollMessage;
};

TEST(ControlScrollBar, PositionsStayWithinTheRangeAndReachTheWindowsBar) {
  const struct {
    const char* name;
    int min, max, position;
    int storedMin, storedMax, expected;
  } cases[] = {
      {"beyond_max", 0, 50, 80, 0, 50, 50},     {"below_min", 5, 50, 2, 5, 50, 5},
      {"inside", 0, 50, 17, 0, 50, 17},         {"negative_max_is_0", 0, -4, 3, 0, 0, 0},
      {"negative_min_is_0", -3, 9, -2, 0, 9, 0}, {"negative_position", 0, 9, -7, 0, 9, 0},
  };
  for (const auto& c : cases) {
    TProbeView view(nullptr);
    TControlScrollBar* bar = view.VertScrollBar();
    bar->SetMax(c.max);
    bar->SetMin(c.min);
    bar->SetPosition(c.position);
    EXPECT_EQ(std::tuple(bar->Min(), bar->Max(), bar->Position(), view.ScrollBarWidget(sbVertical)->value()),
              std::tuple(c.storedMin, c.storedMax, c.expected, c.expected))
        << c.name;
  }
  // A range that shrinks below the position pulls it in, moving the content.
  TProbeView view(nullptr);
  view.VertScrollBar()->SetPosition(40);
  view.Scrolled.clear();
  view.VertScrollBar()->SetMax(25);
  EXPECT_EQ(view.VertScrollBar()->Position(), 25);
  EXPECT_EQ(view.Scrolled, (std::vector<std::pair<int, int>>{{0, 150}}));
}

TEST(ControlScrollBar, SetParamsUpdatesTheBarOnceAndWithoutARangeNothingMovesNorIsSent) {
  TProbeView view(nullptr);
  TControlScrollBar* bar = view.VertScrollBar();
  view.Applied = 0;
  bar->SetParams(7, 0, 30, 1, false, false);
  EXPECT_EQ(view.Applied, 1);
  QScrollBar* qt = view.ScrollBarWidget(sbVertical);
  EXPECT_EQ(std::tuple(qt->maximum(), qt->value(), qt->isEnabled(), view.ScrollBarShown(sbVertical), bar->Locked()),
            std::tuple(30, 7, false, false, false));

  view.Scrolled.clear();
  bar->SetParams(0, 0, 0, 1, true, true);  // back to 0 with the range gone
  bar->SetPosition(5);
  bar->SetMax(10);
  bar->SetNoContentScroll(true);
  bar->SetPosition(4);
  EXPECT_TRUE(view.Scrolled.empty()) << "with Max 0 or NoContentScroll the content stays";
  bar->SetNoContentScroll(false);
  bar->SetPosition(1);
  EXPECT_EQ(view.Scrolled, (std::vector<std::pair<int, int>>{{0, 30}}));

  // Line and page steps send nothing without a range.
  bar = view.HorzScrollBar();
  for (int max : {0, 1}) {
    view.Messages.clear();
    bar->SetMax(max);
    for (auto step : {&TControlScrollBar::LineUp, &TControlScrollBar::LineDown, &TControlScrollBar::PageUp,
                      &TControlScrollBar::PageDown})
      (bar->*step)();
    const std::vector<std::pair<int, int>> sent = {
        {sbHorizontal, SB_LINEUP}, {sbHorizontal, SB_LINEDOWN}, {sbHorizontal, SB_PAGEUP}, {sbHorizontal, SB_PAGEDOWN}};
    EXPECT_EQ(view.Messages, (max < 1 ? std::vector<std::pair<int, int>>{} : sent)) << "Max " << max;
  }
}

TEST(ScrollView, ScrollMessagesBecomePositionsAndScrollKinds) {
  const struct {
    const char* name;
    int code, track, position, kind;
  } cases[] = {
      {"line_up", SB_LINEUP, 0, 8, lskLine},           {"line_down", SB_LINEDOWN, 0, 12, lskLine},
      {"page_up", SB_PAGEUP, 0, 3, lskPage},           {"page_down", SB_PAGEDOWN, 0, 17, lskPage},
      {"thumb_track", SB_THUMBTRACK, 33, 33, lskThumb}, {"thumb_beyond_max", SB_THUMBPOSITION, 99, 50, lskThumb},
      {"thumb_negative", SB_THUMBTRACK, -5, 0, lskThumb}, {"top", SB_TOP, 0, 0, lskEnds},
      {"bottom", SB_BOTTOM, 0, 50, lskEnds},           {"end_scroll_keeps_the_kind", SB_ENDSCROLL, 0, 10, lskPage},
  };
  for (const auto& c : cases) {
    TProbeView view(nullptr);
    TControlScrollBar* bar = view.VertScrollBar();
    bar->SetMax(50);
    bar->SetLineStep(2);
    bar->SetPageStep(7);
    bar->SetPosition(10);
    view.ScrollMessage(sbVertical, SB_PAGEDOWN, 0);
    bar->SetPosition(10);
    std::vector<int> reported;
    view.OnVerticalScroll = [&](TObject* sender, int position) {
      EXPECT_EQ(sender, &view);
      reported.push_back(position);
    };
    view.OnHorizontalScroll = [&](TObject*, int) { ADD_FAILURE() << "horizontal event for a vertical message"; };
    view.ScrollMessage(sbVertical, c.code, c.track);
    EXPECT_EQ(std::tuple(bar->Position(), bar->LastScrollKind(), reported),
              std::tuple(c.position, c.kind, std::vector<int>{c.position}))
        << c.name;
  }
  // The real bar's actions arrive the same way.
  TProbeView view(nullptr);
  view.HorzScrollBar()->SetMax(40);
  view.HorzScrollBar()->SetLineStep(5);
  view.ScrollBarWidget(sbHorizontal)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(std::tuple(view.HorzScrollBar()->Position(), view.ScrollBarWidget(sbHorizontal)->value()),
            std::tuple(5, 5));
}

// ---------------------------------------------------------------- roll scrolling

struct TRollFixture {
  TShownForm Form;
  TProbeView* View;
  TRollFixture() {
    View = new TProbeView(&Form);
    View->SetParent(&Form);
    View->SetBounds(0, 0, 220, 220);
    View->VertScrollBar()->SetMax(100);
    View->VertScrollBar()->SetPosition(50);
  }
  void Press(Qt::MouseButton button = Qt::MiddleButton) {
    SendMouse(View->ClientWidget(), QEvent::MouseButtonPress, button, {100, 100});
  }
  void MoveTo(int dy) {
    SendMouse(View->ClientWidget(), QEvent::MouseMove, Qt::MiddleButton, {100, 100 + dy});
    Screen->SetCursorPos(View->ClientToScreen({100, 100 + dy}));
  }
  void ExpectIdle(const char* name) {
    EXPECT_FALSE(View->Rolling() || View->RollTimer()->Enabled() || View->RollMarker()->Visible()) << name;
    EXPECT_EQ(Screen->Cursor(), crDefault) << name;
  }
};

TEST(RollScrolling, TheDistanceFromThePressPointSetsDirectionAndSpeed) {
  TRollFixture f;
  f.Press();
  ASSERT_TRUE(f.View->Rolling());
  EXPECT_TRUE(f.View->RollTimer()->Enabled() && f.View->MouseCapture() && f.View->RollMarker()->Visible());
  EXPECT_EQ(f.View->RollTimer()->Interval(), 1u);
  const TPoint at = f.View->ClientToScreen({100, 100});
  EXPECT_EQ(std::tuple(f.View->RollMarker()->BoundsRect(), f.View->RollMarker()->Cursor()),
            std::tuple(Bounds(at.X - 7, at.Y - 11, 32, 32), crRoll));

  const struct {
    int dy;
    TCursor cursor;
    unsigned interval;
    int step;  // lines moved by one tick
  } moves[] = {
      {-5, crRoll, 95, 0},     {-6, crRollUp, 94, -1}, {5, crRoll, 95, 0},   {6, crRollDown, 94, 1},
      {0, crRoll, 100, 0},     {-99, crRollUp, 1, -1}, {150, crRollDown, 1, 1},
  };
  for (const auto& m : moves) {
    f.MoveTo(m.dy);
    const int before = f.View->VertScrollBar()->Position();
    f.View->RollTick();
    EXPECT_EQ(std::tuple(Screen->Cursor(), f.View->RollMarker()->Cursor(), f.View->RollTimer()->Interval(),
                         f.View->VertScrollBar()->Position() - before),
              std::tuple(m.cursor, m.cursor, m.interval, m.step))
        << m.dy;
  }
  // Any button's release ends it.
  SendMouse(f.View->ClientWidget(), QEvent::MouseButtonRelease, Qt::RightButton, {100, 250});
  f.ExpectIdle("release");
  EXPECT_FALSE(f.View->MouseCapture());
  const int position = f.View->VertScrollBar()->Position();
  f.View->RollTick();
  EXPECT_EQ(f.View->VertScrollBar()->Position(), position);
  // Other buttons do not roll.
  f.Press(Qt::LeftButton);
  EXPECT_FALSE(f.View->Rolling());
}

TEST(RollScrolling, EndsWhenTheMouseCaptureIsLostTheWindowDeactivatedOrTheViewHidden) {
  const std::pair<const char*, std::function<void(TRollFixture&)>> interruptions[] = {
      {"capture_taken", [](TRollFixture& f) {
         auto* other = new TCustomControl(&f.Form);
         other->SetParent(&f.Form);
         other->SetMouseCapture(true);
         other->SetMouseCapture(false);
       }},
      {"deactivated", [](TRollFixture& f) {
         QEvent e(QEvent::WindowDeactivate);
         QCoreApplication::sendEvent(f.View->ClientWidget(), &e);
       }},
      {"hidden", [](TRollFixture& f) { f.View->Hide(); }},
  };
  for (const auto& [name, interrupt] : interruptions) {
    TRollFixture f;
    f.Press();
    f.MoveTo(-40);
    ASSERT_TRUE(f.View->Rolling()) << name;
    interrupt(f);
    f.ExpectIdle(name);
  }
}

TEST(RollScrolling, CursorsAreDrawnInCodeAndTheMarkerIsShapedByItsRegion) {
  TProbeView view(nullptr);  // registers the cursors
  const struct {
    TCursor id;
    bool up, down;
  } cursors[] = {{crRoll, true, true}, {crRollUp, true, false}, {crRollDown, false, true}};
  for (const auto& c : cursors) {
    const QCursor cursor = TScreen::CursorFor(c.id);
    const QImage img = cursor.pixmap().toImage();
    ASSERT_EQ(img.size(), QSize(32, 32)) << c.id;
    EXPECT_EQ(cursor.hotSpot(), QPoint(16, 16)) << c.id;
    // The key colour left out, the centre dot, the arrows.
    auto shown = [&](int x, int y) { return qAlpha(img.pixel(x, y)) != 0; };
    EXPECT_EQ(std::tuple(shown(0, 0), shown(16, 16), shown(16, 7), shown(16, 25)),
              std::tuple(false, true, c.up, c.down))
        << c.id;
  }
  TShownForm form;
  TRollShadow* marker = view.RollMarker();
  marker->FloatOver(&form);
  marker->PlaceAt({200, 150});
  EXPECT_EQ(marker->Anchor(), (TPoint{200, 150}));
  const QRegion mask = marker->Handle()->mask();
  const std::tuple<int, int, bool> points[] = {
      {7, 11, true},  {7, 1, true},   {8, 3, true},   {6, 20, true},  // dot, up tip, up head, down tip
      {20, 20, false}, {0, 11, false}, {30, 30, false}, {7, 8, false}};
  for (auto [x, y, inside] : points) EXPECT_EQ(mask.contains(QPoint(x, y)), inside) << x << "," << y;
}

TEST(DragArrows, ShapedAsArrowsPointingUpAndDown) {
  TShownForm form;
  const struct {
    std::uint8_t direction;
    std::vector<std::tuple<int, int, bool>> points;  // inside the window's shape or not
  } cases[] = {
      // Up: the head on top, widest above y = 5, the shaft x 3..5 below it; the corners left out.
      {1, {{4, 1, true}, {2, 3, true}, {6, 3, true}, {4, 7, true}, {0, 0, false}, {8, 0, false}, {1, 7, false},
           {7, 8, false}}},
      // Down: the shaft x 3..5 on top, the head below, widest at y = 4.
      {2, {{4, 1, true}, {2, 5, true}, {6, 5, true}, {4, 7, true}, {1, 1, false}, {7, 1, false}, {0, 8, false},
           {8, 8, false}}},
      {0, {{0, 0, true}, {8, 8, true}}},
  };
  for (const auto& c : cases) {
    TDragArrow arrow(c.direction);
    arrow.FloatOver(&form);
    const QRegion mask = arrow.Handle()->mask();
    for (auto [x, y, inside] : c.points)
      EXPECT_EQ(mask.isEmpty() || mask.contains(QPoint(x, y)), inside)
          << int(c.direction) << " at " << x << "," << y;
  }
}

// ---------------------------------------------------------------- drop-down list

/** The control a drop-down list belongs to. */
struct TListFixture {
  TShownForm Form;
  TCustomControl* Owner;
  TPopupList* List;
  std::vector<std::string> Chosen;
  int Closed = 0;
  explicit TListFixture(int items) {
    Owner = new TCustomControl(&Form);
    Owner->SetParent(&Form);
    Owner->SetBounds(10, 10, 100, 20);
    List = new TPopupList(Owner);
    TStringList lines;
    for (int i = 0; i < items; ++i) lines.Add(std::string(1, static_cast<char>('A' + i)));
    List->SetItems(lines);
    List->SetClientSize(80, 8 * 16);
    List->OnSelect = [this](TObject*, const std::string& text) { Chosen.push_back(text); };
    List->OnCloseUp = [this](TObject*) { ++Closed; };
  }
  void Open(const std::string& text, int initial = -1) {
    List->SetCaption(text);
    List->SetInitialIndex(initial);
    const TPoint at = Owner->ClientToScreen({0, 20});
    List->Popup(at.X, at.Y);
    ASSERT_TRUE(qftest::ProcessEventsUntil([&] { return QApplication::activePopupWidget() == List->Handle(); }));
  }
  void Mouse(QEvent::Type type, int y, int x = 20) { SendMouse(List->ClientWidget(), type, Qt::LeftButton, {x, y}); }
};

TEST(PopupList, OpensOnTheInitialOrMatchingItemAndScrollsTheHighlightIntoView) {
  const struct {
    const char* name;
    std::string text;
    int initial, itemIndex, top;
  } cases[] = {
      {"initial_index", "C", 7, 7, 4},  // 12 items, 8 rows: the list scrolls no further than 4
      {"text_match", "C", -1, 2, 2},
      {"initial_out_of_range", "E", 12, 4, 4},
      {"not_found", "zz", -1, 0, 0},
  };
  for (const auto& c : cases) {
    TListFixture f(12);
    f.Open(c.text, c.initial);
    EXPECT_EQ(std::tuple(f.List->ItemIndex(), f.List->VertScrollBar()->Position(), f.List->VertScrollBar()->Max()),
              std::tuple(c.itemIndex, c.top, 4))
        << c.name;
    EXPECT_TRUE(f.List->ScrollBarShown(sbVertical) && !f.List->Armed()) << c.name;
    // The highlighted row is painted in the highlight colours.
    QImage img = qftest::FilledImage(f.List->ClientWidth(), f.List->ClientHeight(), clWhite);
    f.List->PaintTo(img);
    const int row = c.itemIndex - c.top, x = img.width() - 4;
    EXPECT_EQ(qftest::Missing(img, {qftest::At(x, row * 16 + 8, clHighlight),
                                    qftest::At(x, ((row + 1) % 8) * 16 + 8, clWindow)}),
              "")
        << c.name;
  }
  TListFixture f(12);
  f.Open("A");
  const std::tuple<int, int, int> steps[] = {{11, 11, 4}, {5, 5, 4}, {1, 1, 1}, {-3, 0, 0}, {30, 11, 4}};
  for (auto [set, index, top] : steps) {
    f.List->SetItemIndex(set);
    EXPECT_EQ(std::tuple(f.List->ItemIndex(), f.List->VertScrollBar()->Position()), std::tuple(index, top)) << set;
  }
  f.List->SetItemHeight(0);
  EXPECT_EQ(f.List->ItemHeight(), 1);
}

TEST(PopupList, AReleaseOutsideClosesAndOneBelowTheItemsChoosesNothing) {
  // Arming and choosing are seen through the combo box editor.
  TListFixture f(12);
  f.Open("A");
  f.Mouse(QEvent::MouseButtonRelease, 40);  // the release of the click that opened it
  const QPoint outside = f.List->Handle()->mapFromGlobal(f.Owner->Handle()->mapToGlobal(QPoint(300, 200)));
  SendMouse(f.List->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, outside);
  SendMouse(f.List->Handle(), QEvent::MouseButtonRelease, Qt::LeftButton, outside);
  EXPECT_EQ(std::tuple(f.Closed, f.Chosen.size()), std::tuple(1, size_t{0}));
  EXPECT_TRUE(!f.List->Visible() && f.List->Idle());

  // Below the last of three items nothing is highlighted or chosen.
  TListFixture three(3);
  three.Open("B");
  EXPECT_FALSE(three.List->ScrollBarShown(sbVertical)) << "three items fit";
  three.Mouse(QEvent::MouseButtonRelease, 5);
  three.Mouse(QEvent::MouseMove, 100);
  EXPECT_EQ(three.List->ItemIndex(), 1);
  three.Mouse(QEvent::MouseButtonRelease, 100);
  EXPECT_TRUE(three.Chosen.empty());
  EXPECT_TRUE(three.List->Visible());
}

TEST(PopupList, TheWheelScrollsALineANotch) {
  TListFixture f(12);  // 8 rows shown: the first visible item goes from 0 to 4
  f.Open("A");
  const std::pair<std::vector<int>, int> turns[] = {
      {{-40, -40}, 0}, {{-40}, 1}, {{-240}, 3}, {{-360}, 4}, {{60, 60}, 3}, {{120}, 2},
  };
  for (const auto& [deltas, top] : turns) {
    for (int delta : deltas) gridtest::Wheel(f.List, delta);
    EXPECT_EQ(f.List->VertScrollBar()->Position(), top) << deltas.front();
  }
  EXPECT_TRUE(f.List->Visible() && f.Chosen.empty()) << "scrolling chooses nothing";
}

TEST(PopupView, ABorderOfDarkShadowAroundWhite) {
  TListFixture f(3);
  f.Open("A");
  const QImage img = f.List->Handle()->grab().toImage();
  const int w = img.width(), h = img.height();
  ASSERT_EQ(std::tuple(w, h), std::tuple(f.List->Width(), f.List->Height()));
  EXPECT_EQ(qftest::Missing(img, {qftest::At(0, 0, cl3DDkShadow), qftest::At(w - 1, h / 2, cl3DDkShadow),
                                  qftest::At(w / 2, h - 1, cl3DDkShadow), qftest::At(1, 1, clWhite),
                                  qftest::At(w - 2, h / 2, clWhite), qftest::At(w / 2, h - 2, clWhite),
                                  qftest::At(w - 4, 2 + 8, clHighlight)}),
            "");
}

TEST(PopupView, ShiftedLeftToEndOnePixelBeforeTheWorkAreaEdge) {
  TListFixture f(2);
  const TRect work = Screen->WorkAreaRect();
  const struct {
    const char* name;
    int width, x, expected;
  } cases[] = {
      {"fits", 80, 100, 100},
      {"at_the_edge", 80, work.Right - 10, work.Right - 81},
      {"wider_than_the_screen", work.Right + 50, 10, 0},
  };
  for (const auto& c : cases) {
    f.List->SetWidth(c.width);
    f.List->Popup(c.x, 30);
    EXPECT_EQ(std::tuple(f.List->Left(), f.List->Top()), std::tuple(c.expected, 30)) << c.name;
    f.List->CloseUp();
  }
}

}  // namespace
