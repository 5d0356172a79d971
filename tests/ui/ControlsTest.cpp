#include "GuiTestApp.h"
#include "ui/QtConvert.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <tuple>

using namespace qftest;

namespace {

std::string ShiftText(TShiftState s) {
  static const char* const names[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
  std::string out;
  for (int i = ssShift; i <= ssDouble; ++i)
    if (s.Contains(static_cast<TShiftStateItem>(i))) out += std::string(out.empty() ? "" : "+") + names[i];
  return out.empty() ? "-" : out;
}

/** Logs the mouse, focus and key handlers it sees. */
class TProbe : public TCustomControl {
public:
  explicit TProbe(TComponent* owner, Log* log = nullptr, std::string name = "") : TCustomControl(owner),
      L(log ? log : &Events), Name(std::move(name)) {
    SetBounds(0, 0, 50, 40);
    OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Add("down", s, b, sh, x, y); };
    OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Add("up", s, b, sh, x, y); };
    OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Add("move", s, 3, sh, x, y); };
    OnClick = [this](TObject* s) { Add("click", s); };
    OnDblClick = [this](TObject* s) { Add("dblclick", s); };
    OnMouseEnter = [this](TObject* s) { Add("enter", s); };
    OnMouseLeave = [this](TObject* s) { Add("leave", s); };
    OnEnter = [this](TObject*) { L->push_back("Enter " + Name); };
    OnExit = [this](TObject*) { L->push_back("Exit " + Name); };
  }
  Log Events;
  Log* L;
  std::string Name;
  std::u32string Typed;
  unsigned Code = 0;
  using TCustomControl::SetControlStyle;

protected:
  void KeyPress(TKeyChar& key) override {
    TCustomControl::KeyPress(key);
    if (key) Typed += key;
  }
  unsigned DialogCode() const override { return Code; }
  void FocusGained() override { L->push_back("gained " + Name); }
  void FocusLost() override { L->push_back("lost " + Name); }

private:
  // button 3: none; x < 0: no shift state or position
  void Add(std::string what, TObject* sender, int button = 3, TShiftState sh = {}, int x = -1, int y = 0) {
    if (button < 3) what += std::string(" ") + "LRM"[button];
    if (x >= 0) what += " " + ShiftText(sh) + " " + std::to_string(x) + "," + std::to_string(y);
    L->push_back(sender == this ? what : what + " (wrong sender)");
  }
};

/** A probe on parent at (x, y), 60 x 60, logging into log. */
TProbe* NewProbe(TWinControl* parent, Log& log, const char* name, bool tabStop = true, int x = 0) {
  auto* c = new TProbe(parent, &log, name);
  c->SetParent(parent);
  c->SetBounds(x, 0, 60, 60);
  c->SetTabStop(tabStop);
  return c;
}

TEST(Mouse, EventsReachTheHandlersWithButtonShiftAndPosition) {
  constexpr auto P = QEvent::MouseButtonPress, R = QEvent::MouseButtonRelease, D = QEvent::MouseButtonDblClick;
  constexpr auto L = Qt::LeftButton, Rt = Qt::RightButton;
  constexpr Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
  const TControlStyle noClicks{csCaptureMouse, csDoubleClicks}, noDoubles{csCaptureMouse, csClickEvents};
  const struct {
    const char* name;
    TControlStyle style;
    std::vector<std::tuple<QEvent::Type, Qt::MouseButton, Qt::KeyboardModifiers, int, int>> events;
    Log expected;
  } cases[] = {
      {"left_click", {}, {{P, L, none, 7, 9}, {R, L, none, 8, 10}}, {"down L Left 7,9", "click", "up L - 8,10"}},
      {"right_no_click", {}, {{P, Rt, shift, 7, 9}, {R, Rt, shift, 7, 9}},
       {"down R Shift+Right 7,9", "up R Shift 7,9"}},
      {"middle_ctrl_alt", {}, {{P, Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier, 1, 2}},
       {"down M Alt+Ctrl+Middle 1,2"}},
      {"release_outside_no_click", {}, {{P, L, none, 5, 5}, {R, L, none, 50, 5}}, {"down L Left 5,5", "up L - 50,5"}},
      {"release_without_press", {}, {{R, L, none, 5, 5}}, {"up L - 5,5"}},
      {"double_click", {},
       {{P, L, none, 3, 4}, {R, L, none, 3, 4}, {D, L, none, 3, 4}, {R, L, none, 3, 4}},
       {"down L Left 3,4", "click", "up L - 3,4", "dblclick", "down L Left+Double 3,4", "up L - 3,4"}},
      {"right_double_is_down_only", {}, {{D, Rt, none, 1, 2}}, {"down R Right+Double 1,2"}},
      {"move_with_button", {}, {{QEvent::MouseMove, L, Qt::ControlModifier, 11, 12}}, {"move Ctrl+Left 11,12"}},
      // Controls that click from their own MouseUp have no click events.
      {"no_click_events", noClicks, {{P, L, none, 3, 4}, {R, L, none, 3, 4}}, {"down L Left 3,4", "up L - 3,4"}},
      {"no_double_clicks", noDoubles, {{P, L, none, 3, 4}, {R, L, none, 3, 4}, {D, L, none, 3, 4}, {R, L, none, 3, 4}},
       {"down L Left 3,4", "click", "up L - 3,4", "down L Left 3,4", "click", "up L - 3,4"}},
  };
  for (const auto& c : cases) {
    TProbe probe(nullptr);
    if (!c.style.Empty()) probe.SetControlStyle(c.style);
    for (auto [type, button, mods, x, y] : c.events) SendMouse(probe.ClientWidget(), type, button, {x, y}, mods);
    EXPECT_EQ(probe.Events, c.expected) << c.name;
  }
}

TEST(Mouse, EnterLeaveAndWheel) {
  TProbe c(nullptr);
  Hover(c.Handle(), true);
  Hover(c.Handle(), false);
  EXPECT_EQ(c.Events, (Log{"enter", "leave"}));

  int seen = 0;
  c.OnMouseWheel = [&](TObject*, TShiftState s, int delta, TPoint, bool& handled) {
    seen = s.Contains(ssShift) ? -delta : delta;
    handled = delta < 0;
  };
  for (int dy : {120, -240}) {
    QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::ShiftModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(c.ClientWidget(), &e);
    EXPECT_EQ(seen, -dy);
    EXPECT_EQ(e.isAccepted(), dy < 0) << "a wheel the handler leaves goes on to the parent";
  }
}

TEST(Keys, VirtualKeysAndTheOrderOfTheKeyHandlers) {
  const std::pair<int, WORD> keys[] = {
      {Qt::Key_Z, 'Z'},           {Qt::Key_9, '9'},            {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
      {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_F5, VK_F1 + 4},    {Qt::Key_F12, VK_F12},      {Qt::Key_Left, VK_LEFT},
      {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_Backtab, VK_TAB}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Percent, 0},
      {Qt::Key_F13, 0},           {Qt::Key_Tab, VK_TAB}};
  for (auto [qt, vk] : keys) {
    EXPECT_EQ(VirtualKeyOf(qt), vk) << "Qt key " << qt;
    EXPECT_TRUE(!vk || qt == Qt::Key_Enter || qt == Qt::Key_Backtab || QtKeyOf(vk) == qt) << "back to " << qt;
  }

  TProbe c(nullptr);
  c.Code = DLGC_WANTCHARS | DLGC_WANTARROWS;
  Log log;
  c.OnKeyDown = [&](TObject*, WORD& key, TShiftState s) {
    log.push_back("down " + std::to_string(key) + " " + ShiftText(s));
    if (key == 'Q') key = 0;  // ends the key's own handling, not the typed character
  };
  c.OnKeyPress = [&](TObject*, TKeyChar& k) {
    log.push_back(std::string("press ") + static_cast<char>(k));
    if (k == 'x') k = 0;
    if (k == 'a') k = 'b';
  };
  c.OnKeyUp = [&](TObject*, WORD& key, TShiftState) { log.push_back("up " + std::to_string(key)); };
  QWidget* w = c.ClientWidget();
  Key(w, Qt::Key_A, "A", Qt::ShiftModifier);
  Key(w, Qt::Key_A, "A", Qt::ShiftModifier, QEvent::KeyRelease);
  Key(w, Qt::Key_Left, "", Qt::ControlModifier);
  Key(w, Qt::Key_Q, "q");
  Key(w, Qt::Key_X, "x");
  Key(w, Qt::Key_A, "a");
  EXPECT_EQ(log, (Log{"down 65 Shift", "press A", "up 65", "down 37 Ctrl", "down 81 -", "press q", "down 88 -",
                      "press x", "down 65 -", "press a"}));
  EXPECT_EQ(c.Typed, U"Aqb");
}

TEST(Keys, AHostedWidgetGetsOnlyWhatTheHandlersLeaveAndNothingLeaksToTheParent) {
  TShownForm form;
  Log parentKeys;
  auto* parent = Place<TProbe>(&form, 0, 0, 200, 100);
  parent->Code = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
  parent->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { parentKeys.push_back(std::to_string(k)); };
  auto* edit = Place<THostedEdit>(parent, 5, 5, 100, 20);
  Log seen;
  edit->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { seen.push_back("down " + std::to_string(k)); };
  edit->OnKeyPress = [&](TObject*, TKeyChar& k) {
    seen.push_back(std::string("press ") + static_cast<char>(k));
    if (k == '!') k = 0;
    if (k == 'a') k = 'A';
  };
  int downs = 0;
  edit->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { downs += x == 7 && y == 3; };
  edit->SetFocus();
  ASSERT_TRUE(edit->Focused());
  QWidget* focus = QApplication::focusWidget();
  ASSERT_EQ(focus, edit->Edit);
  for (auto [k, t] : {std::pair{Qt::Key_X, "x"}, {Qt::Key_Exclam, "!"}, {Qt::Key_A, "a"}}) Key(focus, k, t);
  EXPECT_EQ(edit->Edit->text(), QString("xA"));  // "!" swallowed, "a" changed
  Key(focus, Qt::Key_Left);                       // the widget still gets its own keys
  Key(focus, Qt::Key_Z, "z");
  EXPECT_EQ(edit->Edit->text(), QString("xzA"));
  Key(focus, Qt::Key_Up);            // QLineEdit ignores these two:
  Key(focus, Qt::Key_Return, "\r");  // they must not travel on to the parent
  EXPECT_TRUE(parentKeys.empty());
  EXPECT_EQ(seen.front(), "down 88");
  Click(edit->Edit, {7, 3});
  EXPECT_EQ(downs, 1) << "the hosted widget's mouse reaches the control in its client coordinates";
}

TEST(Mouse, APressOrAWheelAHostedWidgetIgnoresNeverReachesTheParent) {
  TShownForm form;
  struct TPlain : TWinControl {
    explicit TPlain(TComponent* owner) : TWinControl(owner) { HostWidget(Inner = new QWidget); }
    QWidget* Inner;
  };
  auto* plain = Place<TPlain>(&form, 10, 10, 100, 100);
  int downs = 0, parentEvents = 0;
  plain->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  form.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++parentEvents; };
  form.OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& handled) { handled = ++parentEvents; };
  Click(plain->Inner, {50, 50});
  QWheelEvent wheel(QPointF(50, 50), QPointF(plain->Inner->mapToGlobal(QPoint(50, 50))), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(plain->Inner, &wheel);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(parentEvents, 0);
}

TEST(Focus, ExitAndEnterRunThroughTheContainersUpToTheCommonAncestor) {
  TShownForm form;
  Log log;
  // form { A { c1, B { c2 } }, C { c3 } }
  TProbe* a = NewProbe(&form, log, "A", false);
  TProbe* c1 = NewProbe(a, log, "c1");
  TProbe* c2 = NewProbe(NewProbe(a, log, "B", false), log, "c2");
  TProbe* c = NewProbe(&form, log, "C", false, 100);
  TProbe* c3 = NewProbe(c, log, "c3");
  c2->SetFocus();
  c1->SetFocus();
  c3->SetFocus();
  EXPECT_EQ(log, (Log{"Enter A", "Enter B", "Enter c2", "gained c2",                      // into c2
                      "lost c2", "Exit c2", "Exit B", "Enter c1", "gained c1",              // up to A, down to c1
                      "lost c1", "Exit c1", "Exit A", "Enter C", "Enter c3", "gained c3"}));  // up to the form
  EXPECT_EQ(form.ActiveControl(), c3);

  // A control's own editor: the container loses the widget focus, but the
  // focus stays inside it, so it does not exit.
  log.clear();
  TProbe* editor = NewProbe(c3, log, "editor");
  editor->SetFocus();
  c3->SetFocus();
  EXPECT_EQ(log, (Log{"lost c3", "Enter editor", "gained editor", "lost editor", "Exit editor", "gained c3"}));

  delete c;  // the active control going away leaves the form without one
  EXPECT_EQ(form.ActiveControl(), nullptr);
  c1->SetVisible(false);
  EXPECT_THROW(c1->SetFocus(), EInvalidOperation);
}

TEST(Focus, MovesBetweenWindowsFireNothingAndTheFocusComesBack) {
  Log log;
  TShownForm a;
  TProbe* c1 = NewProbe(&a, log, "c1");
  c1->SetFocus();
  TShownForm b;
  b.SetLeft(500);
  NewProbe(&b, log, "d1")->SetFocus();
  a.Handle()->activateWindow();
  ASSERT_TRUE(ProcessEventsUntil([&] { return c1->Focused(); }));
  EXPECT_EQ(log, (Log{"Enter c1", "gained c1", "Enter d1", "gained d1"}));
}

TEST(ScrollBars, FollowTheClassicRulesAndReportTheUsersActions) {
  struct TScroller : TCustomControl {
    explicit TScroller(TComponent* o) : TCustomControl(o) {
      SetBounds(0, 0, 200, 100);
      SetFrameWidth(2);
    }
    std::vector<std::tuple<int, int, int>> Messages;  // kind, code, track position
    bool Follow = true;
    void ScrollMessage(TScrollBarKind kind, int code, int track) override {
      Messages.emplace_back(kind, code, track);
      if (!Follow) return;
      TScrollInfo s = GetScrollInfo(kind);
      if (code == SB_LINEDOWN) ++s.Pos;
      if (code == SB_PAGEDOWN) s.Pos += s.Page;
      if (code == SB_THUMBTRACK) s.Pos = track;
      SetScrollInfo(kind, s);
    }
  };
  TScroller c(nullptr);
  c.ShowScrollBar(sbVertical, true);
  c.ShowScrollBar(sbHorizontal, true);
  EXPECT_EQ(c.ClientWidget()->geometry(), QRect(2, 2, 200 - 4 - 16, 100 - 4 - 16));
  EXPECT_EQ(c.ClientHeight(), 100 - 4 - 16);

  QScrollBar* bar = c.ScrollBarWidget(sbVertical);
  const struct { TScrollInfo In; int QtMax, Step, Pos; } mapping[] = {
      {{0, 100, 10, 95}, 91, 10, 91},  // the position stops at Max - (Page - 1)
      {{0, 100, 0, 100}, 100, 0, 100}, {{5, 20, 1, -3}, 20, 1, 5}, {{0, 3, 10, 2}, 0, 10, 0}};
  for (const auto& m : mapping) {
    c.SetScrollInfo(sbVertical, m.In);
    EXPECT_EQ(std::tuple(bar->maximum(), bar->pageStep(), bar->value(), c.GetScrollInfo(sbVertical).Pos),
              std::tuple(m.QtMax, m.Step, m.Pos, m.Pos));
  }
  c.SetScrollInfo(sbVertical, {0, 50, 10, 0});
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(c.Messages, (std::vector<std::tuple<int, int, int>>{
                            {sbVertical, SB_LINEDOWN, 1}, {sbVertical, SB_PAGEDOWN, 11}, {sbVertical, SB_BOTTOM, 41}}));
  EXPECT_EQ(bar->value(), 11) << "the bar shows what the window made of the action";
  c.Follow = false;
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(bar->value(), 11);
  EXPECT_EQ(std::get<1>(c.Messages.back()), SB_LINEDOWN);
}

/** Paints its rows in alternating colours and notes each paint's area. */
struct TRows : TCustomControl {
  explicit TRows(TComponent* o, TColor blank = clNone) : TCustomControl(o) {
    if (blank == clNone) {
      SetControlStyle(ControlStyle() << csOpaque);
      return;
    }
    Blank = true;  // paints nothing and is erased in its colour
    SetColor(blank);
  }
  int First = 0;  // the row at the top
  bool Blank = false;
  std::vector<TRect> Areas;
  void Paint() override {
    Areas.push_back(Canvas()->ClipRect());
    if (Blank) return;
    for (int y = 0; y < ClientHeight(); y += 10) {
      Canvas()->Brush.Color = (First + y / 10) % 2 ? clBlue : clRed;
      Canvas()->FillRect({0, y, ClientWidth(), y + 10});
    }
  }
};

TEST(Painting, ScrollingMovesThePictureAndPaintsOnlyTheUncoveredStrip) {
  TShownForm form;
  auto* rows = Place<TRows>(&form, 0, 0, 40, 50);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !rows->Areas.empty(); }));
  rows->Areas.clear();
  rows->First = 1;
  rows->ScrollWindow(0, -10, rows->ClientRect());
  ASSERT_TRUE(ProcessEventsUntil([&] { return !rows->Areas.empty(); }));
  EXPECT_EQ(rows->Areas, (std::vector<TRect>{{0, 40, 40, 50}}));
  const QImage& img = rows->PaintedImage();
  for (int row = 0; row < 5; ++row) EXPECT_EQ(PixelAt(img, 5, row * 10 + 5), row % 2 ? clRed : clBlue) << row;

  // An opaque control that paints nothing keeps its picture.
  rows->Blank = true;
  rows->Areas.clear();
  rows->Invalidate();
  rows->Update();
  EXPECT_EQ(rows->Areas, (std::vector<TRect>{{0, 0, 40, 50}})) << "Update paints what is invalid at once";
  EXPECT_TRUE(AllPixels(rows->PaintedImage(), {0, 0, 40, 10}, clBlue));
  rows->SetControlStyle(rows->ControlStyle() >> csOpaque);  // others are erased in their colour
  rows->SetColor(clLime);
  rows->Repaint();  // at once, no event loop in between
  EXPECT_TRUE(AllPixels(rows->PaintedImage(), {0, 0, 40, 50}, clLime));
}

TEST(Painting, InvertedMarksLieOverTheChildrenAndGoWhenDrawnTwice) {
  TShownForm form;
  auto* box = Place<TRows>(&form, 0, 0, 60, 40);
  auto* child = Place<TRows>(box, 20, 0, 20, 40);
  child->First = 1;  // blue on top
  ASSERT_TRUE(ProcessEventsUntil([&] { return !child->Areas.empty(); }));
  auto shot = [&] { return box->Handle()->grab().toImage(); };
  const QImage before = shot();
  const TRect line{25, 0, 26, 40};  // a resize line across the child
  box->InvertRect(line);
  QImage img = shot();
  EXPECT_EQ(PixelAt(img, 25, 5), RGB(255, 255, 0)) << "blue inverted";
  EXPECT_EQ(PixelAt(img, 24, 5), clBlue);
  box->InvertRect(line);
  EXPECT_EQ(shot(), before);
  EXPECT_EQ(box->InvertedCount(), 0);
  box->InvertRect({0, 0, 4, 2}, true);  // a pattern inverts every other pixel
  EXPECT_EQ(CountPixels(shot(), {0, 0, 4, 2}, RGB(0, 255, 255)), 4);
}

TEST(Windows, AFlyoutFloatsOnTheFormInScreenCoordinatesAndItsRegionShapesIt) {
  TShownForm form;
  auto* ground = new TRows(&form, clWhite);
  ground->SetParent(&form);
  ground->SetBounds(0, 0, 400, 300);
  auto* fly = new TRows(&form, clRed);
  fly->SetWindowKind(wkFlyout, ground);
  const TPoint at = ground->ClientToScreen({100, 50});
  fly->SetBounds(at.X, at.Y, 10, 10);
  fly->SetWindowRegion({{{0, 0}, {10, 0}, {0, 10}}});  // the upper-left triangle
  fly->Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return fly->Showing(); }));
  const QImage img = form.Handle()->grab().toImage();
  EXPECT_EQ(PixelAt(img, 101, 51), clRed);
  EXPECT_EQ(PixelAt(img, 108, 58), clWhite) << "outside the region the form shows";
  EXPECT_EQ(FindDragTarget(ground->ClientToScreen({101, 51}), false), fly);
  EXPECT_EQ(FindDragTarget(ground->ClientToScreen({200, 200}), false), ground);
}

TEST(Keys, AcceleratorsAndCharactersTheFocusedControlDoesNotWant) {
  TShownForm form;
  auto* add = Place<TButton>(&form, 0, 0, 10, 10);
  add->SetCaption("&Add");
  int hits = 0;
  add->OnClick = [&](TObject*) { ++hits; };
  auto* probe = Place<TProbe>(&form, 20, 0, 50, 40);
  probe->SetTabStop(true);
  probe->SetFocus();
  QWidget* w = Focus();
  Key(w, Qt::Key_A, "a", Qt::AltModifier);
  Type(w, "a");  // a control that does not want characters offers them around
  EXPECT_EQ(hits, 2);
  EXPECT_TRUE(probe->Typed.empty());
  probe->Code = DLGC_WANTCHARS;
  Type(w, "a");
  EXPECT_EQ(std::pair(hits, probe->Typed), std::pair(2, std::u32string(U"a")));
  const std::tuple<const char*, char32_t, bool> accels[] = {
      {"&Add", 'A', true}, {"&Add", 'd', false}, {"Sa&ve", 'v', true}, {"R&&D", 'D', false}, {"End&", 'x', false}};
  for (auto [caption, key, hit] : accels) EXPECT_EQ(TControl::IsAccel(key, caption), hit) << caption;
}

TEST(Properties, ColourAndFontFollowTheParentUntilSetDirectly) {
  TForm form(nullptr);
  form.SetColor(clRed);
  auto* panel = Place<TCustomControl>(&form, 0, 0, 10, 10);
  auto* inner = Place<TLabel>(panel, 0, 0, 10, 10);
  EXPECT_EQ(inner->Color(), clRed);
  panel->SetColor(clBlue);
  form.SetColor(clLime);
  EXPECT_EQ(inner->Color(), clBlue);
  inner->SetColor(clYellow);
  panel->SetColor(clAqua);
  EXPECT_EQ(inner->Color(), clYellow);
  inner->SetParentColor(true);
  EXPECT_EQ(inner->Color(), clAqua);
  panel->SetParentColor(true);
  EXPECT_EQ(inner->Color(), clLime);

  inner->Font().SetStyle(fsBold);  // its own font from now on
  form.Font().SetHeight(-9);
  EXPECT_NE(inner->Font().Height(), -9);
  inner->SetParentFont(true);
  EXPECT_EQ(std::pair(inner->Font().Height(), inner->Font().Style()), std::pair(-9, 0u));
}

TEST(Properties, AlignedAnchoredAndConstrainedChildren) {
  TCustomControl box(nullptr);
  box.SetBounds(0, 0, 200, 100);
  auto make = [&](TAlign a, int w, int h) {
    auto* c = Place<TCustomControl>(&box, 3, 0, w, h);
    c->SetAlign(a);
    return c;
  };
  TControl *top = make(alTop, 10, 20), *bottom = make(alBottom, 10, 10), *left = make(alLeft, 30, 5),
           *right = make(alRight, 15, 5), *client = make(alClient, 1, 1), *hidden = make(alTop, 10, 50),
           *free = make(alNone, 7, 8);
  hidden->SetVisible(false);
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 200, 20}));
  EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 90, 200, 100}));
  EXPECT_EQ(left->BoundsRect(), (TRect{0, 20, 30, 90}));
  EXPECT_EQ(right->BoundsRect(), (TRect{185, 20, 200, 90}));
  EXPECT_EQ(client->BoundsRect(), (TRect{30, 20, 185, 90}));
  EXPECT_EQ(free->BoundsRect(), (TRect{3, 0, 10, 8}));
  TControl* stretched = Place<TCustomControl>(&box, 10, 30, 50, 20);
  stretched->SetAnchors({akLeft, akTop, akRight, akBottom});
  TControl* corner = Place<TCustomControl>(&box, 170, 80, 20, 10);
  corner->SetAnchors({akRight, akBottom});
  box.SetBounds(0, 0, 300, 150);  // the parent's resize lays them out again
  top->SetHeight(25);             // so does an aligned child's new size
  EXPECT_EQ(client->BoundsRect(), (TRect{30, 25, 285, 140}));
  EXPECT_EQ(stretched->BoundsRect(), (TRect{10, 30, 160, 100}));
  EXPECT_EQ(corner->BoundsRect(), (TRect{270, 130, 290, 140}));
  hidden->SetVisible(true);
  EXPECT_EQ(hidden->Top(), 25);
  EXPECT_EQ(client->Top(), 75);

  free->SetConstraints({10, 0, 40, 30});
  EXPECT_EQ(free->Width(), 10);
  free->SetBounds(0, 0, 99, 99);
  EXPECT_EQ(free->BoundsRect(), (TRect{0, 0, 40, 30}));
}

TEST(Properties, ResizeVisibilityAndOwnership) {
  TProbe c(nullptr);
  int resizes = 0;
  c.OnResize = [&](TObject*) { ++resizes; };
  c.SetBounds(5, 5, 40, 30);
  c.SetBounds(0, 0, 40, 30);  // a move only
  c.SetWidth(-5);             // negative sizes become 0
  EXPECT_EQ(std::pair(resizes, c.Width()), std::pair(2, 0));
  EXPECT_FALSE(c.Showing());  // outside any window it is never shown as one
  TForm form(nullptr);
  c.SetParent(&form);
  form.Show();
  EXPECT_TRUE(c.Showing());
  c.SetParent(nullptr);
  EXPECT_FALSE(c.Showing());
  EXPECT_THROW(form.SetParent(&form), EInvalidOperation);

  struct TCounted : TGraphicControl {
    TCounted(TComponent* owner, int& gone) : TGraphicControl(owner), Gone(gone) {}
    ~TCounted() override { ++Gone; }
    int& Gone;
  };
  int gone = 0;
  {
    TForm owner(nullptr);
    // Owned by the form, placed on a panel: the panel, freed first, takes it
    // along, and the owner does not free it again.
    auto* child = new TCounted(&owner, gone);
    auto* panel = Place<TCustomControl>(&owner, 0, 0, 9, 9);
    child->SetParent(panel);
    delete new TCounted(&owner, gone);  // freed by itself: leaves its owner
    EXPECT_EQ(std::tuple(gone, owner.ComponentCount(), panel->Controls(1)), std::tuple(1, 2, nullptr));
    delete panel;
    EXPECT_EQ(std::pair(gone, owner.ComponentCount()), std::pair(2, 0));
  }
  EXPECT_EQ(gone, 2);
}

// What a hook hears is the menu painter's tests' concern; here: its overlay goes with it.
TEST(Painting, AHookPaintsOverTheControlUntilItIsTakenOff) {
  struct THook : THookRecorder {
    void PaintOver(TControl* c, TCanvas* canvas) override {
      canvas->Brush.Color = clRed;
      canvas->FrameRect({0, 0, c->Width(), c->Height()});
    }
  } hook;
  TShownForm form;
  auto* edit = Place<THostedEdit>(&form, 10, 10, 80, 20);
  edit->SetHook(&hook);
  EXPECT_TRUE(Ring(edit->Handle()->grab().toImage(), {0, 0, 80, 20}, clRed));
  edit->SetHook(nullptr);
  EXPECT_FALSE(Ring(edit->Handle()->grab().toImage(), {0, 0, 80, 20}, clRed));
}

TEST(Hints, TheHintWindowMeasuresItsTextAndShowsBelowTheMouse) {
  TShownForm form;
  auto* c = Place<TProbe>(&form, 0, 0, 50, 40);
  c->SetHint("Key field indicator");
  THintWindow* hint = Application->HintWindow();
  TCanvas measure;
  measure.Font = hint->Font();
  EXPECT_EQ(hint->CalcHintRect(1000, c->Hint()).BottomRight(),
            (TPoint{measure.TextWidth(c->Hint()) + 6, measure.TextHeight(c->Hint()) + 2}));
  QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), QPoint(300, 200));
  QCoreApplication::sendEvent(c->ClientWidget(), &tip);
  EXPECT_FALSE(hint->Visible()) << "only with ShowHint";
  c->SetShowHint(true);
  QCoreApplication::sendEvent(c->ClientWidget(), &tip);
  ASSERT_TRUE(hint->Visible());
  EXPECT_EQ(hint->Caption(), c->Hint());
  EXPECT_EQ(hint->BoundsRect().TopLeft(), (TPoint{300, 220})) << "below the mouse";
  SendMouse(c->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  EXPECT_FALSE(hint->Visible());
}

TEST(Hints, ShowHintFollowsTheParentUntilTheControlHasItsOwn) {
  TShownForm form;
  auto* panel = Place<TProbe>(&form, 0, 0, 200, 100);
  auto* child = Place<TProbe>(panel, 10, 10, 50, 40);
  auto* grandchild = Place<TProbe>(child, 5, 5, 20, 20);
  grandchild->SetHint("Grandchild");
  EXPECT_TRUE(child->ParentShowHint()) << "on by default";
  EXPECT_FALSE(grandchild->ShowHint());
  panel->SetShowHint(true);
  EXPECT_TRUE(child->ShowHint() && grandchild->ShowHint()) << "down every level";
  QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), QPoint(300, 200));
  QCoreApplication::sendEvent(grandchild->ClientWidget(), &tip);
  EXPECT_TRUE(Application->HintWindow()->Visible()) << "the hint shows by the parent's setting";
  Application->CancelHint();

  child->SetShowHint(false);
  EXPECT_FALSE(child->ParentShowHint()) << "a setting of its own ends ParentShowHint";
  EXPECT_FALSE(grandchild->ShowHint()) << "and its children follow it";
  panel->SetShowHint(false);
  panel->SetShowHint(true);
  EXPECT_FALSE(child->ShowHint());
  QCoreApplication::sendEvent(grandchild->ClientWidget(), &tip);
  EXPECT_FALSE(Application->HintWindow()->Visible());
  child->SetParentShowHint(true);
  EXPECT_TRUE(child->ShowHint() && grandchild->ShowHint());
  // A control placed later takes its new parent's setting.
  auto* late = new TProbe(nullptr);
  late->SetParent(child);
  EXPECT_TRUE(late->ShowHint());
}

TEST(Mouse, TheWheelsUpAndDownEventsComeAfterOnMouseWheel) {
  TProbe c(nullptr);
  Log seen;
  bool wheelTakes = false, stepTakes = true;
  c.OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    seen.push_back("wheel " + std::to_string(delta));
    handled = wheelTakes;
  };
  c.OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
    seen.push_back("down");
    handled = stepTakes;
  };
  c.OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) {
    seen.push_back("up");
    handled = stepTakes;
  };
  auto turn = [&](int dy) {
    QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(c.ClientWidget(), &e);
    return e.isAccepted();
  };
  EXPECT_TRUE(turn(-120));
  EXPECT_TRUE(turn(120));
  stepTakes = false;
  EXPECT_FALSE(turn(120)) << "left by both, it goes on to the parent";
  wheelTakes = true;
  EXPECT_TRUE(turn(-120));
  EXPECT_EQ(seen, (Log{"wheel -120", "down", "wheel 120", "up", "wheel 120", "up", "wheel -120"}));
}

TEST(Properties, BiDiModeFollowsTheParentAndTurnsWhatQtDraws) {
  TShownForm form;
  auto* panel = Place<TProbe>(&form, 0, 0, 200, 100);
  auto* edit = Place<TEdit>(panel, 10, 10, 120, 21);
  auto* own = Place<TProbe>(panel, 10, 50, 50, 20);
  own->SetBiDiMode(bdLeftToRight);
  QLineEdit* line = edit->Handle()->findChild<QLineEdit*>();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->layoutDirection(), Qt::LeftToRight);
  panel->SetBiDiMode(bdRightToLeft);
  EXPECT_TRUE(edit->ParentBiDiMode());
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(edit->UseRightToLeftReading());
  EXPECT_EQ(line->layoutDirection(), Qt::RightToLeft) << "the edit's text runs from the right";
  EXPECT_EQ(own->BiDiMode(), bdLeftToRight) << "a control with its own mode keeps it";
  EXPECT_EQ(own->Handle()->layoutDirection(), Qt::LeftToRight);
  auto* memo = Place<TMemo>(panel, 10, 10, 120, 60);
  memo->SetScrollBars(ssBoth);
  EXPECT_EQ(memo->BiDiMode(), bdRightToLeft) << "placed later, it follows";
  EXPECT_EQ(memo->ScrollBarWidget(sbHorizontal)->layoutDirection(), Qt::LeftToRight)
      << "the window's own bars keep their direction";
  panel->SetParentBiDiMode(true);  // the form is left to right
  EXPECT_EQ(edit->BiDiMode(), bdLeftToRight);
  EXPECT_EQ(line->layoutDirection(), Qt::LeftToRight);
}

}  // namespace
