#include "GuiTestApp.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <ostream>

#include <sstream>
#include <tuple>
#include <string>
#include <vector>

using qftest::AllPixels;
using qftest::CountPixels;
using qftest::ProcessEventsUntil;

namespace {

std::string ShiftText(TShiftState s) {
  std::string out;
  const char* names[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
  for (int i = ssShift; i <= ssDouble; ++i)
    if (s.Contains(static_cast<TShiftStateItem>(i))) out += std::string(out.empty() ? "" : "+") + names[i];
  return out.empty() ? "-" : out;
}

const char* ButtonText(TMouseButton b) { return b == mbLeft ? "L" : b == mbRight ? "R" : "M"; }

/** A control that logs every handler it sees, in order. */
class TProbe : public TCustomControl {
public:
  explicit TProbe(TComponent* owner) : TCustomControl(owner) {
    OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      Add("down", s, ButtonText(b), sh, x, y);
    };
    OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      Add("up", s, ButtonText(b), sh, x, y);
    };
    OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Add("move", s, "", sh, x, y); };
    OnClick = [this](TObject* s) { Add("click", s); };
    OnDblClick = [this](TObject* s) { Add("dblclick", s); };
    OnMouseEnter = [this](TObject* s) { Add("enter", s); };
    OnMouseLeave = [this](TObject* s) { Add("leave", s); };
  }
  std::vector<std::string> Log;
  std::u32string Typed;

protected:
  void KeyTyped(TKeyChar key) override { Typed += key; }

private:
  void Add(const char* what, TObject* sender, const char* button = nullptr, TShiftState s = {}, int x = -1,
           int y = -1) {
    std::ostringstream o;
    o << what;
    if (sender != this) o << "(wrong sender)";
    if (button) o << " " << button << (*button ? " " : "") << ShiftText(s) << " " << x << "," << y;
    Log.push_back(o.str());
  }
};

void Mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers mods,
           QPoint p) {
  QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, mods);
  QCoreApplication::sendEvent(w, &e);
}

struct ClickCase {
  const char* name;
  Qt::MouseButton button;
  Qt::KeyboardModifiers mods;
  std::vector<std::string> log;
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.name; }

class MouseTranslation : public ::testing::TestWithParam<ClickCase> {};

TEST_P(MouseTranslation, ReachesTheHandlersWithButtonShiftAndPosition) {
  TProbe c(nullptr);
  c.SetBounds(0, 0, 50, 40);
  const auto& p = GetParam();
  Mouse(&c, QEvent::MouseButtonPress, p.button, p.button, p.mods, {7, 9});
  Mouse(&c, QEvent::MouseButtonRelease, p.button, Qt::NoButton, p.mods, {8, 10});
  EXPECT_EQ(c.Log, p.log);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MouseTranslation,
    ::testing::Values(ClickCase{"left", Qt::LeftButton, Qt::NoModifier, {"down L Left 7,9", "click", "up L - 8,10"}},
                      ClickCase{"shift_left",
                                Qt::LeftButton,
                                Qt::ShiftModifier,
                                {"down L Shift+Left 7,9", "click", "up L Shift 8,10"}},
                      ClickCase{"right_no_click",
                                Qt::RightButton,
                                Qt::ShiftModifier,
                                {"down R Shift+Right 7,9", "up R Shift 8,10"}},
                      ClickCase{"middle_ctrl_alt",
                                Qt::MiddleButton,
                                Qt::ControlModifier | Qt::AltModifier,
                                {"down M Alt+Ctrl+Middle 7,9", "up M Alt+Ctrl 8,10"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Mouse, ReleaseOutsideGivesNoClick) {
  TProbe c(nullptr);
  c.SetBounds(0, 0, 50, 40);
  Mouse(&c, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, {5, 5});
  Mouse(&c, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, {50, 5});
  EXPECT_EQ(c.Log, (std::vector<std::string>{"down L Left 5,5", "up L - 50,5"}));
  // A release without a press on this control is no click either.
  c.Log.clear();
  Mouse(&c, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, {5, 5});
  EXPECT_EQ(c.Log, (std::vector<std::string>{"up L - 5,5"}));
}

TEST(Mouse, DoubleClickFiresDblClickThenDownWithDouble) {
  TProbe c(nullptr);
  c.SetBounds(0, 0, 50, 40);
  Mouse(&c, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, {3, 4});
  Mouse(&c, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, {3, 4});
  Mouse(&c, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, {3, 4});
  Mouse(&c, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, {3, 4});
  EXPECT_EQ(c.Log, (std::vector<std::string>{"down L Left 3,4", "click", "up L - 3,4", "dblclick",
                                             "down L Left+Double 3,4", "up L - 3,4"}));
  // The right button's double click is only a down with ssDouble.
  c.Log.clear();
  Mouse(&c, QEvent::MouseButtonDblClick, Qt::RightButton, Qt::RightButton, Qt::NoModifier, {1, 2});
  EXPECT_EQ(c.Log, (std::vector<std::string>{"down R Right+Double 1,2"}));
}

TEST(Mouse, MovesEnterLeaveAndTheWheel) {
  TProbe c(nullptr);
  c.SetBounds(0, 0, 50, 40);
  Mouse(&c, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier, {11, 12});
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(c.mapToGlobal(QPoint(1, 1))));
  QCoreApplication::sendEvent(&c, &enter);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&c, &leave);
  EXPECT_EQ(c.Log, (std::vector<std::string>{"move Ctrl+Left 11,12", "enter", "leave"}));

  int seenDelta = 0;
  bool handle = false;
  c.OnMouseWheel = [&](TObject*, TShiftState s, int delta, TPoint, bool& handled) {
    seenDelta = s.Contains(ssShift) ? -delta : delta;
    handled = handle;
  };
  auto wheel = [&](int dy) {
    QWheelEvent e(QPointF(5, 5), QPointF(c.mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, dy), Qt::NoButton,
                  Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&c, &e);
    return e.isAccepted();
  };
  EXPECT_FALSE(wheel(120));  // not handled: left for the parent
  EXPECT_EQ(seenDelta, -120);
  handle = true;
  EXPECT_TRUE(wheel(-240));
  EXPECT_EQ(seenDelta, 240);
}

TEST(Mouse, DisabledControlsGetNoMouse) {
  TForm form(nullptr);
  auto* c = new TProbe(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 50, 40);
  c->SetEnabled(false);
  EXPECT_FALSE(c->Enabled());
  Mouse(c, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, {5, 5});
  EXPECT_TRUE(c->Log.empty());
}

// ---------------------------------------------------------------- keys

struct VkCase {
  int qt;
  WORD vk;
};

void PrintTo(const VkCase& c, std::ostream* os) { *os << "qt key " << c.qt; }

class VirtualKeys : public ::testing::TestWithParam<VkCase> {};

TEST_P(VirtualKeys, MapQtKeys) { EXPECT_EQ(VirtualKeyOf(GetParam().qt), GetParam().vk); }

INSTANTIATE_TEST_SUITE_P(Keys, VirtualKeys,
                         ::testing::Values(VkCase{Qt::Key_A, 'A'}, VkCase{Qt::Key_Z, 'Z'}, VkCase{Qt::Key_9, '9'},
                                           VkCase{Qt::Key_Return, VK_RETURN}, VkCase{Qt::Key_Enter, VK_RETURN},
                                           VkCase{Qt::Key_Escape, VK_ESCAPE}, VkCase{Qt::Key_F5, VK_F1 + 4},
                                           VkCase{Qt::Key_F12, VK_F12}, VkCase{Qt::Key_Left, VK_LEFT},
                                           VkCase{Qt::Key_PageDown, VK_NEXT}, VkCase{Qt::Key_Backtab, VK_TAB},
                                           VkCase{Qt::Key_Delete, VK_DELETE}, VkCase{Qt::Key_Percent, 0},
                                           VkCase{Qt::Key_F13, 0}));

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text) {
  QKeyEvent e(QEvent::KeyPress, key, mods, text);
  QCoreApplication::sendEvent(w, &e);
}

TEST(Keys, KeyDownThenKeyPressAndWhatIsLeftIsTyped) {
  TProbe c(nullptr);
  std::vector<std::string> log;
  c.OnKeyDown = [&](TObject*, WORD& key, TShiftState s) { log.push_back("down " + std::to_string(key) + " " + ShiftText(s)); };
  c.OnKeyPress = [&](TObject*, TKeyChar& k) { log.push_back(std::string("press ") + static_cast<char>(k)); };
  Key(&c, Qt::Key_A, Qt::ShiftModifier, "A");
  Key(&c, Qt::Key_Left, Qt::ControlModifier, "");
  EXPECT_EQ(log, (std::vector<std::string>{"down 65 Shift", "press A", "down 37 Ctrl"}));
  EXPECT_EQ(c.Typed, U"A");
}

struct PressCase {
  const char* name;
  void (*handler)(TObject*, TKeyChar&);
  std::u32string typed;  // after typing "7x" and backspace
};

void PrintTo(const PressCase& c, std::ostream* os) { *os << c.name; }

class KeyPressChanges : public ::testing::TestWithParam<PressCase> {};

TEST_P(KeyPressChanges, TheHandlerCanChangeOrSwallowTheCharacter) {
  TProbe c(nullptr);
  c.OnKeyPress = GetParam().handler;
  Key(&c, Qt::Key_7, Qt::NoModifier, "7");
  Key(&c, Qt::Key_X, Qt::NoModifier, "x");
  Key(&c, Qt::Key_Backspace, Qt::NoModifier, "\b");
  EXPECT_EQ(c.Typed, GetParam().typed);
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, KeyPressChanges,
    ::testing::Values(PressCase{"none", nullptr, U"7x\b"},
                      PressCase{"digits_and_backspace_only",
                                [](TObject*, TKeyChar& k) {
                                  if (!(k >= '0' && k <= '9') && k != '\b') k = 0;
                                },
                                U"7\b"},
                      PressCase{"upper_case",
                                [](TObject*, TKeyChar& k) {
                                  if (k >= 'a' && k <= 'z') k -= 32;
                                },
                                U"7X\b"},
                      PressCase{"swallow_all", [](TObject*, TKeyChar& k) { k = 0; }, U""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Keys, ClearingTheKeyInKeyDownStillLetsTheCharacterThrough) {
  // As in the class library: KeyDown's 0 ends the key's own handling, not the typed character.
  TProbe c(nullptr);
  c.OnKeyDown = [](TObject*, WORD& key, TShiftState) { key = 0; };
  Key(&c, Qt::Key_Q, Qt::NoModifier, "q");
  EXPECT_EQ(c.Typed, U"q");
}

// ---------------------------------------------------------------- focus

class Focus : public ::testing::Test {
protected:
  static void Activate(TForm& f) {
    f.activateWindow();
    QApplication::setActiveWindow(&f);
    ASSERT_TRUE(ProcessEventsUntil([&] { return f.isActiveWindow(); }));
  }
};

TEST_F(Focus, ExitFiresOnlyWhenTheFocusMovesWithinTheWindow) {
  std::vector<std::string> log;
  auto track = [&](TWinControl* c, const std::string& name) {
    c->SetTabStop(true);
    c->OnEnter = [&log, name](TObject*) { log.push_back("enter " + name); };
    c->OnExit = [&log, name](TObject*) { log.push_back("exit " + name); };
  };
  TForm a(nullptr), b(nullptr);
  auto* c1 = new TProbe(&a);
  auto* c2 = new TProbe(&a);
  auto* d1 = new TProbe(&b);
  for (auto [c, f, x] : {std::tuple{c1, &a, 0}, std::tuple{c2, &a, 60}, std::tuple{d1, &b, 0}}) {
    c->SetParent(f);
    c->SetBounds(x, 0, 50, 30);
  }
  track(c1, "c1");
  track(c2, "c2");
  track(d1, "d1");
  a.Show();
  b.Show();
  b.SetLeft(400);

  Activate(a);
  c1->SetFocus();
  c2->SetFocus();
  EXPECT_EQ(a.ActiveControl(), c2);
  Activate(b);
  d1->SetFocus();
  Activate(a);  // the focus comes back to c2: nothing fires
  EXPECT_TRUE(c2->Focused());
  c1->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"enter c1", "exit c1", "enter c2", "enter d1", "exit c2", "enter c1"}));

  // Hidden or disabled controls cannot take the focus.
  c2->SetVisible(false);
  EXPECT_FALSE(c2->CanFocus());
  EXPECT_THROW(c2->SetFocus(), EInvalidOperation);
  // The active control going away leaves the form without one.
  delete c1;
  EXPECT_EQ(a.ActiveControl(), nullptr);
}

// ---------------------------------------------------------------- properties

TEST(Properties, ColourFollowsTheParentUntilSetDirectly) {
  TForm form(nullptr);
  form.SetColor(clRed);
  auto* panel = new TCustomControl(&form);
  EXPECT_EQ(panel->Color(), clWindow);  // no parent yet
  panel->SetParent(&form);
  auto* inner = new TLabel(&form);
  inner->SetParent(panel);
  EXPECT_EQ(panel->Color(), clRed);
  EXPECT_EQ(inner->Color(), clRed);
  EXPECT_TRUE(panel->ParentColor());

  panel->SetColor(clBlue);
  EXPECT_FALSE(panel->ParentColor());
  EXPECT_EQ(inner->Color(), clBlue);
  form.SetColor(clLime);
  EXPECT_EQ(panel->Color(), clBlue);

  inner->SetColor(clYellow);
  panel->SetColor(clAqua);
  EXPECT_EQ(inner->Color(), clYellow);
  inner->SetParentColor(true);
  EXPECT_EQ(inner->Color(), clAqua);
  panel->SetParentColor(true);
  EXPECT_EQ(panel->Color(), clLime);
  EXPECT_EQ(inner->Color(), clLime);
}

TEST(Properties, FontFollowsTheParentUntilChanged) {
  TForm form(nullptr);
  EXPECT_FALSE(form.ParentFont());
  auto* child = new TLabel(&form);
  child->SetParent(&form);
  form.Font().SetHeight(-20);
  EXPECT_EQ(child->Font().Height(), -20);
  EXPECT_TRUE(child->ParentFont());
  child->Font().SetStyle(fsBold);
  EXPECT_FALSE(child->ParentFont());
  form.Font().SetHeight(-9);
  EXPECT_EQ(child->Font().Height(), -20);
  child->SetParentFont(true);
  EXPECT_EQ(child->Font().Height(), -9);
  EXPECT_EQ(child->Font().Style(), 0u);
}

TEST(Properties, AlignedChildrenShareTheClientArea) {
  TCustomControl box(nullptr);
  box.SetBounds(0, 0, 200, 100);
  auto make = [&](TAlign a, int w, int h) {
    auto* c = new TCustomControl(&box);
    c->SetBounds(0, 0, w, h);
    c->SetParent(&box);
    c->SetAlign(a);
    return c;
  };
  TControl* top = make(alTop, 10, 20);
  TControl* bottom = make(alBottom, 10, 10);
  TControl* left = make(alLeft, 30, 5);
  TControl* right = make(alRight, 15, 5);
  TControl* client = make(alClient, 1, 1);
  TControl* hidden = make(alTop, 10, 50);
  hidden->SetVisible(false);
  TControl* free = make(alNone, 7, 8);
  free->SetLeft(3);
  box.Realign();
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 200, 20}));
  EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 90, 200, 100}));
  EXPECT_EQ(left->BoundsRect(), (TRect{0, 20, 30, 90}));
  EXPECT_EQ(right->BoundsRect(), (TRect{185, 20, 200, 90}));
  EXPECT_EQ(client->BoundsRect(), (TRect{30, 20, 185, 90}));
  EXPECT_EQ(free->BoundsRect(), (TRect{3, 0, 10, 8}));

  box.SetBounds(0, 0, 300, 150);  // the parent's resize lays them out again
  EXPECT_EQ(client->BoundsRect(), (TRect{30, 20, 285, 140}));
  top->SetHeight(25);  // so does an aligned child's new size
  EXPECT_EQ(client->BoundsRect(), (TRect{30, 25, 285, 140}));
  hidden->SetVisible(true);
  EXPECT_EQ(hidden->Top(), 25);
  EXPECT_EQ(client->Top(), 75);
}

TEST(Properties, ResizeFiresOncePerNewSize) {
  TCustomControl c(nullptr);
  int resizes = 0;
  c.OnResize = [&](TObject*) { ++resizes; };
  c.SetBounds(0, 0, 40, 30);
  c.SetBounds(5, 5, 40, 30);  // a move only
  c.SetWidth(41);
  c.SetWidth(-5);  // negative sizes become 0
  EXPECT_EQ(resizes, 3);
  EXPECT_EQ(c.Width(), 0);
}

TEST(Properties, CaptionHintCursorTag) {
  TProbe c(nullptr);
  c.SetCaption("Grid");
  c.SetTag(999);
  EXPECT_EQ(c.Caption(), "Grid");
  EXPECT_EQ(c.Tag(), 999);
  c.SetHint("Tables");
  EXPECT_TRUE(c.toolTip().isEmpty());  // only with ShowHint
  c.SetShowHint(true);
  EXPECT_EQ(c.toolTip(), QString("Tables"));
  c.SetCursor(crHSplit);
  EXPECT_EQ(c.cursor().shape(), Qt::SplitHCursor);
  EXPECT_EQ(c.Cursor(), crHSplit);
}

TEST(Properties, AControlOutsideAnyWindowIsNeverShownAsOne) {
  TProbe c(nullptr);
  EXPECT_TRUE(c.Visible());
  EXPECT_FALSE(c.isVisible());
  TForm form(nullptr);
  c.SetParent(&form);
  form.Show();
  EXPECT_TRUE(c.isVisible());
  c.SetParent(nullptr);
  EXPECT_FALSE(c.isVisible());
  EXPECT_EQ(c.Parent(), nullptr);
}

// ---------------------------------------------------------------- ownership

class TCounted : public TGraphicControl {
public:
  TCounted(TComponent* owner, int& gone) : TGraphicControl(owner), FGone(gone) {}
  ~TCounted() override { ++FGone; }

private:
  int& FGone;
};

TEST(Ownership, TheOwnerFreesWhatItOwnsOnce) {
  int gone = 0;
  {
    TForm form(nullptr);
    // The child is created before its parent panel, so the panel, freed first,
    // takes the child with it; the owner must not free it again.
    auto* child = new TCounted(&form, gone);
    auto* panel = new TCustomControl(&form);
    panel->SetParent(&form);
    child->SetParent(panel);
    auto* early = new TCounted(&form, gone);
    EXPECT_EQ(form.ComponentCount(), 3);
    delete early;
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(form.ComponentCount(), 2);
    EXPECT_EQ(form.Components(5), nullptr);
    EXPECT_EQ(panel->ControlCount(), 1);
    EXPECT_EQ(panel->Controls(0), child);
    EXPECT_EQ(panel->Controls(1), nullptr);
  }
  EXPECT_EQ(gone, 2);
}

// ---------------------------------------------------------------- painting

class TSquare : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  TColor Fill = clRed;

protected:
  void Paint() override {
    Canvas()->Brush.Color = Fill;
    Canvas()->FillRect({2, 2, 6, 6});
  }
};

TEST(Painting, CustomControlsPaintOnTheirColourAndRepaintAtOnce) {
  TForm form(nullptr);
  auto* sq = new TSquare(&form);
  sq->SetParent(&form);
  sq->SetBounds(0, 0, 10, 10);
  sq->SetColor(clYellow);
  form.Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return !sq->PaintedImage().isNull(); }));
  EXPECT_TRUE(AllPixels(sq->PaintedImage(), {2, 2, 6, 6}, clRed));
  EXPECT_EQ(CountPixels(sq->PaintedImage(), {0, 0, 10, 10}, clYellow), 100 - 16);

  sq->Fill = clBlue;
  sq->Repaint();  // no event loop in between
  EXPECT_TRUE(AllPixels(sq->PaintedImage(), {2, 2, 6, 6}, clBlue));

  QImage img = qftest::FilledImage(10, 10, clWhite);
  sq->PaintTo(img);
  EXPECT_EQ(CountPixels(img, {0, 0, 10, 10}, clBlue), 16);
}

}  // namespace
