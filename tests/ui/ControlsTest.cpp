#include "GuiTestApp.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using qftest::AllPixels;
using qftest::CountPixels;
using qftest::Place;
using qftest::ProcessEventsUntil;
using qftest::SendMouse;
using Log = std::vector<std::string>;

namespace {

std::string ShiftText(TShiftState s) {
  static const char* const names[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
  std::string out;
  for (int i = ssShift; i <= ssDouble; ++i)
    if (s.Contains(static_cast<TShiftStateItem>(i))) out += std::string(out.empty() ? "" : "+") + names[i];
  return out.empty() ? "-" : out;
}

/** Logs the mouse handlers it sees and keeps what is typed into it. */
class TProbe : public TCustomControl {
public:
  explicit TProbe(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 50, 40);
    OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Add("down", s, b, sh, x, y); };
    OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Add("up", s, b, sh, x, y); };
    OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Add("move", s, 3, sh, x, y); };
    OnClick = [this](TObject* s) { Add("click", s); };
    OnDblClick = [this](TObject* s) { Add("dblclick", s); };
    OnMouseEnter = [this](TObject* s) { Add("enter", s); };
    OnMouseLeave = [this](TObject* s) { Add("leave", s); };
  }
  Log Events;
  std::u32string Typed;

protected:
  void KeyTyped(TKeyChar key) override { Typed += key; }

private:
  // button 3: none; x < 0: no shift state or position
  void Add(std::string what, TObject* sender, int button = 3, TShiftState sh = {}, int x = -1, int y = 0) {
    if (button < 3) what += std::string(" ") + "LRM"[button];
    if (x >= 0) what += " " + ShiftText(sh) + " " + std::to_string(x) + "," + std::to_string(y);
    Events.push_back(sender == this ? what : what + " (wrong sender)");
  }
};

TEST(Mouse, EventsReachTheHandlersWithButtonShiftAndPosition) {
  constexpr auto P = QEvent::MouseButtonPress, R = QEvent::MouseButtonRelease, D = QEvent::MouseButtonDblClick;
  constexpr auto L = Qt::LeftButton, Rt = Qt::RightButton;
  constexpr Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
  const struct {
    const char* name;
    std::vector<std::tuple<QEvent::Type, Qt::MouseButton, Qt::KeyboardModifiers, int, int>> events;
    Log expected;
  } cases[] = {
      {"left_click", {{P, L, none, 7, 9}, {R, L, none, 8, 10}}, {"down L Left 7,9", "click", "up L - 8,10"}},
      {"shift_left", {{P, L, shift, 7, 9}, {R, L, shift, 8, 10}},
       {"down L Shift+Left 7,9", "click", "up L Shift 8,10"}},
      {"right_no_click", {{P, Rt, shift, 7, 9}, {R, Rt, shift, 7, 9}}, {"down R Shift+Right 7,9", "up R Shift 7,9"}},
      {"middle_ctrl_alt", {{P, Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier, 1, 2}},
       {"down M Alt+Ctrl+Middle 1,2"}},
      {"release_outside_no_click", {{P, L, none, 5, 5}, {R, L, none, 50, 5}}, {"down L Left 5,5", "up L - 50,5"}},
      {"release_without_press", {{R, L, none, 5, 5}}, {"up L - 5,5"}},
      {"double_click",
       {{P, L, none, 3, 4}, {R, L, none, 3, 4}, {D, L, none, 3, 4}, {R, L, none, 3, 4}},
       {"down L Left 3,4", "click", "up L - 3,4", "dblclick", "down L Left+Double 3,4", "up L - 3,4"}},
      {"right_double_is_down_only", {{D, Rt, none, 1, 2}}, {"down R Right+Double 1,2"}},
      {"move_with_button", {{QEvent::MouseMove, L, Qt::ControlModifier, 11, 12}}, {"move Ctrl+Left 11,12"}},
  };
  for (const auto& c : cases) {
    TProbe probe(nullptr);
    for (auto [type, button, mods, x, y] : c.events) SendMouse(&probe, type, button, {x, y}, mods);
    EXPECT_EQ(probe.Events, c.expected) << c.name;
  }
}

TEST(Mouse, EnterLeaveWheelAndDisabled) {
  TProbe c(nullptr);
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(c.mapToGlobal(QPoint(1, 1))));
  QCoreApplication::sendEvent(&c, &enter);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&c, &leave);
  EXPECT_EQ(c.Events, (Log{"enter", "leave"}));

  int seen = 0;
  c.OnMouseWheel = [&](TObject*, TShiftState s, int delta, TPoint, bool& handled) {
    seen = s.Contains(ssShift) ? -delta : delta;
    handled = delta < 0;
  };
  for (int dy : {120, -240}) {
    QWheelEvent e(QPointF(5, 5), QPointF(c.mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, dy), Qt::NoButton,
                  Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&c, &e);
    EXPECT_EQ(seen, -dy);
    EXPECT_EQ(e.isAccepted(), dy < 0) << "a wheel the handler leaves goes on to the parent";
  }

  TForm form(nullptr);
  auto* off = Place<TProbe>(&form, 0, 0, 50, 40);
  off->SetEnabled(false);
  SendMouse(off, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  EXPECT_TRUE(off->Events.empty());
}

void Key(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent e(QEvent::KeyPress, key, mods, text);
  QCoreApplication::sendEvent(w, &e);
}

TEST(Keys, VirtualKeysThenKeyDownThenKeyPressThenTyped) {
  const std::pair<int, WORD> keys[] = {
      {Qt::Key_A, 'A'},           {Qt::Key_Z, 'Z'},           {Qt::Key_9, '9'},           {Qt::Key_Return, VK_RETURN},
      {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_F5, VK_F1 + 4},   {Qt::Key_F12, VK_F12},
      {Qt::Key_Left, VK_LEFT},    {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_Backtab, VK_TAB}, {Qt::Key_Delete, VK_DELETE},
      {Qt::Key_Percent, 0},       {Qt::Key_F13, 0}};
  for (auto [qt, vk] : keys) EXPECT_EQ(VirtualKeyOf(qt), vk) << "Qt key " << qt;

  TProbe c(nullptr);
  Log log;
  c.OnKeyDown = [&](TObject*, WORD& key, TShiftState s) {
    log.push_back("down " + std::to_string(key) + " " + ShiftText(s));
    if (key == 'Q') key = 0;  // ends the key's own handling, not the typed character
  };
  c.OnKeyPress = [&](TObject*, TKeyChar& k) { log.push_back(std::string("press ") + static_cast<char>(k)); };
  Key(&c, Qt::Key_A, "A", Qt::ShiftModifier);
  Key(&c, Qt::Key_Left, "", Qt::ControlModifier);
  Key(&c, Qt::Key_Q, "q");
  EXPECT_EQ(log, (Log{"down 65 Shift", "press A", "down 37 Ctrl", "down 81 -", "press q"}));
  EXPECT_EQ(c.Typed, U"Aq");
}

TEST(Keys, TheKeyPressHandlerCanChangeOrSwallowTheCharacter) {
  const std::pair<void (*)(TObject*, TKeyChar&), std::u32string> cases[] = {  // typed after "7", "x", backspace
      {nullptr, U"7x\b"},
      {[](TObject*, TKeyChar& k) { if (!(k >= '0' && k <= '9') && k != '\b') k = 0; }, U"7\b"},
      {[](TObject*, TKeyChar& k) { if (k >= 'a' && k <= 'z') k -= 32; }, U"7X\b"},
      {[](TObject*, TKeyChar& k) { k = 0; }, U""}};
  for (const auto& [handler, typed] : cases) {
    TProbe probe(nullptr);
    probe.OnKeyPress = handler;
    for (auto [key, text] : {std::pair{Qt::Key_7, "7"}, {Qt::Key_X, "x"}, {Qt::Key_Backspace, "\b"}})
      Key(&probe, key, text);
    EXPECT_EQ(probe.Typed, typed);
  }
}

TEST(Focus, ExitFiresOnlyWhenTheFocusMovesWithinTheWindow) {
  auto activate = [](TForm& f) {
    f.activateWindow();
    QApplication::setActiveWindow(&f);
    return ProcessEventsUntil([&] { return f.isActiveWindow(); });
  };
  Log log;
  TForm a(nullptr), b(nullptr);
  auto make = [&](TForm& f, int x, const std::string& name) {
    auto* c = Place<TProbe>(&f, x, 0, 50, 30);
    c->SetTabStop(true);
    c->OnEnter = [&log, name](TObject*) { log.push_back("enter " + name); };
    c->OnExit = [&log, name](TObject*) { log.push_back("exit " + name); };
    return c;
  };
  TProbe *c1 = make(a, 0, "c1"), *c2 = make(a, 60, "c2"), *d1 = make(b, 0, "d1");
  a.Show();
  b.Show();
  b.SetLeft(400);
  ASSERT_TRUE(activate(a));
  c1->SetFocus();
  c2->SetFocus();
  EXPECT_EQ(a.ActiveControl(), c2);
  ASSERT_TRUE(activate(b));
  d1->SetFocus();
  ASSERT_TRUE(activate(a));  // the focus comes back to c2: nothing fires
  EXPECT_TRUE(c2->Focused());
  c1->SetFocus();
  EXPECT_EQ(log, (Log{"enter c1", "exit c1", "enter c2", "enter d1", "exit c2", "enter c1"}));

  c2->SetVisible(false);  // hidden controls cannot take the focus
  EXPECT_THROW(c2->SetFocus(), EInvalidOperation);
  delete c1;  // the active control going away leaves the form without one
  EXPECT_EQ(a.ActiveControl(), nullptr);
}

TEST(Properties, ColourAndFontFollowTheParentUntilSetDirectly) {
  TForm form(nullptr);
  form.SetColor(clRed);
  auto* panel = new TCustomControl(&form);
  EXPECT_EQ(panel->Color(), clWindow);  // no parent yet
  panel->SetParent(&form);
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

  form.Font().SetHeight(-20);
  inner->Font().SetStyle(fsBold);
  form.Font().SetHeight(-9);
  EXPECT_EQ(inner->Font().Height(), -20);
  inner->SetParentFont(true);
  EXPECT_EQ(inner->Font().Height(), -9);
  EXPECT_EQ(inner->Font().Style(), 0u);
}

TEST(Properties, AlignedChildrenShareTheClientArea) {
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
  box.SetBounds(0, 0, 300, 150);  // the parent's resize lays them out again
  top->SetHeight(25);             // so does an aligned child's new size
  EXPECT_EQ(client->BoundsRect(), (TRect{30, 25, 285, 140}));
  hidden->SetVisible(true);
  EXPECT_EQ(hidden->Top(), 25);
  EXPECT_EQ(client->Top(), 75);
}

TEST(Properties, ResizeHintAndVisibility) {
  TProbe c(nullptr);
  int resizes = 0;
  c.OnResize = [&](TObject*) { ++resizes; };
  c.SetBounds(5, 5, 40, 30);
  c.SetBounds(0, 0, 40, 30);  // a move only
  c.SetWidth(-5);             // negative sizes become 0
  EXPECT_EQ(resizes, 2);
  EXPECT_EQ(c.Width(), 0);
  c.SetHint("Tables");
  EXPECT_TRUE(c.toolTip().isEmpty());  // only with ShowHint
  c.SetShowHint(true);
  EXPECT_EQ(c.toolTip(), QString("Tables"));

  EXPECT_FALSE(c.isVisible());  // outside any window it is never shown as one
  TForm form(nullptr);
  c.SetParent(&form);
  form.Show();
  EXPECT_TRUE(c.isVisible());
  c.SetParent(nullptr);
  EXPECT_FALSE(c.isVisible());
}

TEST(Ownership, TheOwnerFreesWhatItOwnsOnce) {
  struct TCounted : TGraphicControl {
    TCounted(TComponent* owner, int& gone) : TGraphicControl(owner), Gone(gone) {}
    ~TCounted() override { ++Gone; }
    int& Gone;
  };
  int gone = 0;
  {
    TForm form(nullptr);
    // Created before its parent panel: the panel, freed first, takes it along;
    // the owner must not free it again.
    auto* child = new TCounted(&form, gone);
    auto* panel = Place<TCustomControl>(&form, 0, 0, 9, 9);
    child->SetParent(panel);
    delete new TCounted(&form, gone);
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(form.ComponentCount(), 2);
    EXPECT_EQ(panel->Controls(0), child);
    EXPECT_EQ(panel->Controls(1), nullptr);
  }
  EXPECT_EQ(gone, 2);
}

TEST(Painting, CustomControlsPaintOnTheirColourAndRepaintAtOnce) {
  struct TSquare : TCustomControl {
    using TCustomControl::TCustomControl;
    TColor Fill = clRed;
    void Paint() override {
      Canvas()->Brush.Color = Fill;
      Canvas()->FillRect({2, 2, 6, 6});
    }
  };
  TForm form(nullptr);
  auto* sq = Place<TSquare>(&form, 0, 0, 10, 10);
  sq->SetColor(clYellow);
  form.Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return !sq->PaintedImage().isNull(); }));
  EXPECT_TRUE(AllPixels(sq->PaintedImage(), {2, 2, 6, 6}, clRed));
  EXPECT_EQ(CountPixels(sq->PaintedImage(), clYellow), 100 - 16);
  sq->Fill = clBlue;
  sq->Repaint();  // no event loop in between
  EXPECT_TRUE(AllPixels(sq->PaintedImage(), {2, 2, 6, 6}, clBlue));
}

}  // namespace
