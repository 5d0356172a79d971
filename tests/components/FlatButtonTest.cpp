// The flat push buttons: state machine, groups, keys, and their pictures.

#include "FlatTestKit.h"
#include "components/FlatButton.h"
#include "components/FlatSpeedButton.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace flattest;
using qftest::CountPixels;
using qftest::PixelAt;
using qftest::Place;
using qftest::TShownForm;

namespace {

constexpr TColor kFace = RGB(200, 200, 200);

/** n cells of 16 x 16 side by side, each filled with its colour around a
 *  black dot, on an olive bottom-left pixel (the transparent colour). */
std::unique_ptr<TBitmap> Cells(const std::vector<TColor>& colours) {
  auto b = std::make_unique<TBitmap>(16 * static_cast<int>(colours.size()), 16);
  TCanvas* c = b->Canvas();
  for (size_t i = 0; i < colours.size(); ++i) {
    const int x = 16 * static_cast<int>(i);
    c->Brush = TBrush{colours[i], bsSolid};
    c->FillRect(TRect{x, 0, x + 16, 16});
    c->SetPixels(x + 8, 8, clBlack);
    c->SetPixels(x, 15, clOlive);
  }
  return b;
}

/** Both classes through one interface, so that every case runs on both. */
struct TAnyButton {
  TControl* Control;
  std::function<TFlatPushButton<TGraphicControl>*()> Speed;
  std::function<TFlatPushButton<TCustomControl>*()> Flat;
  template <class F>
  auto Do(F f) {
    return Speed() ? f(Speed()) : f(Flat());
  }
};

TAnyButton Make(TWinControl* parent, bool speed, int x, int y, int w = 60, int h = 40) {
  if (speed) {
    auto* b = Place<TFlatSpeedButton>(parent, x, y, w, h);
    return {b, [b] { return b; }, [] { return nullptr; }};
  }
  auto* b = Place<TFlatButton>(parent, x, y, w, h);
  return {b, [] { return nullptr; }, [b] { return b; }};
}

// ---------------------------------------------------------------- state machine

TEST(PushButton, PressMoveAndReleaseByTheRules) {
  enum TAct { Move, MoveHeld, Press, Release, RightPress, RightRelease };
  const struct {
    const char* name;
    std::vector<std::tuple<TAct, int, int>> acts;
    TButtonState state;
    int clicks;
    bool hovered;
  } cases[] = {
      {"hover", {{Move, 5, 5}}, bsUp, 0, true},
      {"pressed", {{Move, 5, 5}, {Press, 5, 5}}, bsDown, 0, true},
      {"click", {{Move, 5, 5}, {Press, 5, 5}, {Release, 5, 5}}, bsUp, 1, true},
      {"dragged_off", {{Move, 5, 5}, {Press, 5, 5}, {MoveHeld, 70, 5}}, bsUp, 0, true},
      {"released_outside", {{Move, 5, 5}, {Press, 5, 5}, {MoveHeld, 70, 5}, {Release, 70, 5}}, bsUp, 0, false},
      {"back_inside_pressed_again", {{Move, 5, 5}, {Press, 5, 5}, {MoveHeld, 70, 5}, {MoveHeld, 59, 39}}, bsDown, 0,
       true},
      {"back_inside_clicks", {{Move, 5, 5}, {Press, 5, 5}, {MoveHeld, 70, 5}, {MoveHeld, 6, 5}, {Release, 6, 5}},
       bsUp, 1, true},
      {"right_button_does_nothing", {{Move, 5, 5}, {RightPress, 5, 5}, {RightRelease, 5, 5}}, bsUp, 0, true},
  };
  for (bool speed : {true, false})
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(speed ? "speed " : "flat ") + c.name);
      TShownForm form;
      TAnyButton b = Make(&form, speed, 10, 10);
      int clicks = 0;
      b.Control->OnClick = [&](TObject*) { ++clicks; };
      for (auto [act, x, y] : c.acts) switch (act) {
          case Move: MoveMouse(b.Control, x, y); break;
          case MoveHeld: MoveMouse(b.Control, x, y, Qt::LeftButton); break;
          case Press: flattest::Press(b.Control, x, y); break;
          case Release: flattest::Release(b.Control, x, y); break;
          case RightPress: flattest::Press(b.Control, x, y, Qt::RightButton); break;
          case RightRelease: flattest::Release(b.Control, x, y, Qt::RightButton); break;
        }
      EXPECT_EQ(b.Do([](auto* p) { return p->State(); }), c.state);
      EXPECT_EQ(clicks, c.clicks);
      EXPECT_EQ(b.Do([](auto* p) { return p->Hovered(); }), c.hovered);
      EXPECT_FALSE(b.Do([](auto* p) { return p->Pressed(); }) && c.clicks > 0);
    }
}

TEST(PushButton, AGroupKeepsOneButtonDownAndAllowAllUpLetsItGo) {
  for (bool speed : {true, false}) {
    SCOPED_TRACE(speed ? "speed" : "flat");
    TShownForm form;
    TAnyButton a = Make(&form, speed, 10, 10), b = Make(&form, speed, 80, 10), c = Make(&form, speed, 150, 10);
    TAnyButton other = Make(&form, !speed, 220, 10);  // the other class, same index
    for (TAnyButton* x : {&a, &b, &other}) x->Do([](auto* p) { p->SetGroupIndex(1); return 0; });
    auto down = [](TAnyButton& x) { return x.Do([](auto* p) { return p->Down(); }); };
    auto state = [](TAnyButton& x) { return x.Do([](auto* p) { return p->State(); }); };
    other.Do([](auto* p) { p->SetDown(true); return 0; });

    Click(a.Control, 5, 5);
    EXPECT_TRUE(down(a));
    EXPECT_EQ(state(a), bsExclusive);
    Click(b.Control, 5, 5);
    EXPECT_TRUE(down(b));
    EXPECT_FALSE(down(a)) << "released by its group";
    EXPECT_EQ(state(a), bsUp);
    EXPECT_TRUE(down(other)) << "a button of another class is not of the group";
    Click(b.Control, 5, 5);
    EXPECT_TRUE(down(b)) << "AllowAllUp False: the down button stays down";
    EXPECT_EQ(state(b), bsExclusive);

    // Pressing the down button and dragging off keeps it latched.
    MoveMouse(b.Control, 5, 5);
    Press(b.Control, 5, 5);
    MoveMouse(b.Control, 70, 5, Qt::LeftButton);
    Release(b.Control, 70, 5);
    EXPECT_TRUE(down(b));
    EXPECT_EQ(state(b), bsExclusive);

    a.Do([](auto* p) { p->SetAllowAllUp(true); return 0; });  // the whole group takes it
    EXPECT_TRUE(b.Do([](auto* p) { return p->AllowAllUp(); }));
    Click(b.Control, 5, 5);
    EXPECT_FALSE(down(b));
    EXPECT_EQ(state(b), bsUp);

    c.Do([](auto* p) { p->SetDown(true); return 0; });  // group index 0 never stays down
    EXPECT_FALSE(down(c));
    b.Do([](auto* p) { p->SetDown(true); return 0; });  // from code: latched, and the group follows
    a.Do([](auto* p) { p->SetDown(true); return 0; });
    EXPECT_FALSE(down(b));
    EXPECT_EQ(state(a), bsExclusive);
  }
}

TEST(PushButton, ClickSetsTheModalResultAndDoubleClicksCountOnlyWhenDown) {
  for (bool speed : {true, false}) {
    SCOPED_TRACE(speed ? "speed" : "flat");
    TShownForm form;
    TAnyButton b = Make(&form, speed, 10, 10);
    int doubles = 0;
    b.Control->OnDblClick = [&](TObject*) { ++doubles; };
    form.SetModalResult(TModalResult::mrCancel);
    Click(b.Control, 5, 5);
    EXPECT_EQ(form.ModalResult(), TModalResult::mrNone) << "even a ModalResult of none is written";
    b.Do([](auto* p) { p->SetModalResult(TModalResult::mrOk); return 0; });
    Click(b.Control, 5, 5);
    EXPECT_EQ(form.ModalResult(), TModalResult::mrOk);

    auto doubleClick = [&] {
      Click(b.Control, 5, 5);
      qftest::SendMouse(b.Control->ClientWidget(), QEvent::MouseButtonDblClick, Qt::LeftButton, {5, 5});
      Release(b.Control, 5, 5);
    };
    doubleClick();
    EXPECT_EQ(doubles, 0);
    b.Do([](auto* p) { p->SetGroupIndex(3); p->SetAllowAllUp(true); p->SetDown(true); return 0; });
    doubleClick();  // the first click lets it up, the second press holds it down again
    EXPECT_EQ(doubles, 0);
    b.Do([](auto* p) { p->SetAllowAllUp(false); p->SetDown(true); return 0; });
    doubleClick();
    EXPECT_EQ(doubles, 1);
  }
}

TEST(PushButton, GlyphCellsMarginAndNumGlyphs) {
  const struct {
    TNumGlyphs n;
    int up, disabled, down, exclusive;
  } table[] = {{1, 1, 1, 1, 1}, {2, 1, 2, 1, 1}, {3, 1, 2, 3, 3}, {4, 1, 2, 3, 4}};
  for (const auto& t : table) {
    using B = TFlatPushButton<TGraphicControl>;
    EXPECT_EQ((std::vector<int>{B::GlyphCell(t.n, bsUp), B::GlyphCell(t.n, bsDisabled), B::GlyphCell(t.n, bsDown),
                                B::GlyphCell(t.n, bsExclusive)}),
              (std::vector<int>{t.up, t.disabled, t.down, t.exclusive}))
        << t.n;
  }
  TFlatSpeedButton b(nullptr);
  const struct {
    int width, height, before, after;
  } glyphs[] = {{64, 16, 1, 4}, {32, 16, 3, 2}, {80, 16, 3, 1}, {30, 16, 3, 3}, {16, 16, 2, 1}};
  for (const auto& g : glyphs) {
    b.SetNumGlyphs(g.before);
    TBitmap pic(g.width, g.height);
    b.SetGlyph(pic);
    EXPECT_EQ(b.NumGlyphs(), g.after) << g.width << "x" << g.height;
  }
  b.SetMargin(5);
  b.SetMargin(-2);
  EXPECT_EQ(b.Margin(), 5);
  b.SetMargin(-1);
  EXPECT_EQ(b.Margin(), -1);
  b.SetNumGlyphs(9);
  EXPECT_EQ(b.NumGlyphs(), 4);
}

// ---------------------------------------------------------------- pictures

TEST(PushButton, FaceAndBorderInEveryState) {
  const TColor focused = RGB(250, 250, 240), pressed = RGB(180, 190, 200), border = RGB(100, 110, 120);
  const TColor light = RGB(255, 255, 0), dark = RGB(0, 0, 128);
  const struct {
    const char* name;
    bool hover, press, latched, disabled;
    TColor face, topLeft, bottomRight;
  } cases[] = {
      {"up", false, false, false, false, kFace, border, border},
      {"hot", true, false, false, false, focused, light, dark},
      {"down", true, true, false, false, pressed, dark, light},
      {"exclusive", false, false, true, false, pressed, dark, light},
      {"exclusive_hot", true, false, true, false, focused, dark, light},
      {"disabled", false, false, false, true, kFace, border, border},
  };
  for (bool speed : {true, false})
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(speed ? "speed " : "flat ") + c.name);
      TShownForm form;
      form.SetColor(kFace);
      TAnyButton b = Make(&form, speed, 10, 10);
      b.Do([&](auto* p) {
        p->SetColorFocused(focused);
        p->SetColorDown(pressed);
        p->SetColorBorder(border);
        p->SetColorHighLight(light);
        p->SetColorShadow(dark);
        p->SetGroupIndex(c.latched ? 1 : 0);
        p->SetDown(c.latched);
        return 0;
      });
      if (c.hover) MoveMouse(b.Control, 30, 20);
      if (c.press) Press(b.Control, 30, 20);
      if (c.disabled) b.Control->SetEnabled(false);
      const QImage img = Painted(b.Control);
      EXPECT_EQ(PixelAt(img, 30, 20), c.face);
      EXPECT_EQ(CountPixels(img, {1, 1, 59, 39}, c.face), 58 * 38);
      EXPECT_EQ(PixelAt(img, 0, 0), c.topLeft);
      EXPECT_EQ(PixelAt(img, 0, 38), c.topLeft);
      EXPECT_EQ(PixelAt(img, 59, 0), c.bottomRight) << "the bottom colour takes the top-right corner";
      EXPECT_EQ(PixelAt(img, 59, 39), c.bottomRight);
    }
}

TEST(PushButton, TransparentModesAndTheDefaultBorder) {
  const struct {
    TTransparentMode mode;
    bool hover;
    TColor speedFace, flatFace;  // fuchsia: nothing painted; red: the parent's picture
  } cases[] = {
      {tmNone, false, clBlue, clBlue},           {tmNone, true, 0xE1EAEB, 0xE1EAEB},
      {tmAlways, false, clFuchsia, clRed},       {tmAlways, true, clFuchsia, clRed},
      {tmNotFocused, false, clFuchsia, clRed},   {tmNotFocused, true, 0xE1EAEB, 0xE1EAEB},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + (c.hover ? " hovered" : ""));
    TShownForm form;
    form.SetColor(clRed);
    auto* speed = Place<TFlatSpeedButton>(&form, 10, 10, 40, 30);
    auto* flat = Place<TFlatButton>(&form, 60, 10, 40, 30);
    for (TControl* b : {static_cast<TControl*>(speed), static_cast<TControl*>(flat)}) {
      b->SetColor(clBlue);  // its own colour: a painted face shows it
      if (c.hover) MoveMouse(b, 20, 15);
    }
    speed->SetTransparentMode(c.mode);
    flat->SetTransparentMode(c.mode);
    EXPECT_EQ(PixelAt(Painted(speed), 20, 15), c.speedFace);
    EXPECT_EQ(PixelAt(Painted(flat), 20, 15), c.flatFace);
  }
  TFlatButton b(nullptr);
  b.SetBounds(0, 0, 40, 30);
  b.SetColor(clBlue);
  EXPECT_EQ(PixelAt(Painted(&b), 1, 1), clBlue);
  b.SetDefault(true);  // a double border at rest
  QImage img = Painted(&b);
  EXPECT_TRUE(qftest::Ring(img, {1, 1, 39, 29}, b.ColorBorder()));
  EXPECT_EQ(PixelAt(img, 2, 2), clBlue);
}

TEST(PushButton, GlyphCellByStateTransparentColourAndTheEmbossedDisabledLook) {
  const TColor red = RGB(220, 0, 0), green = RGB(0, 200, 0), blue = RGB(0, 0, 220), yellow = RGB(230, 230, 0);
  TShownForm form;
  form.SetColor(kFace);
  auto* b = Place<TFlatSpeedButton>(&form, 10, 10, 40, 40);
  b->SetGlyph(*Cells({red, green, blue, yellow}));
  ASSERT_EQ(b->NumGlyphs(), 4);
  auto cell = [&] {
    const QImage img = Painted(b);
    const TPoint g = b->GlyphPos();
    EXPECT_EQ(PixelAt(img, g.X, g.Y + 15), PixelAt(img, 2, 2)) << "the olive corner shows the face";
    EXPECT_EQ(PixelAt(img, g.X + 8, g.Y + 8), clBlack);
    return PixelAt(img, g.X + 3, g.Y + 3);
  };
  EXPECT_EQ(cell(), red);
  MoveMouse(b, 5, 5);
  Press(b, 5, 5);
  EXPECT_EQ(cell(), blue);
  EXPECT_EQ(b->GlyphPos(), (TPoint{12 + 1, 12 + 1})) << "pressed: moved by one pixel";
  Release(b, 5, 5);
  b->SetGroupIndex(1);
  b->SetDown(true);
  EXPECT_EQ(cell(), yellow);
  b->SetEnabled(false);
  EXPECT_EQ(cell(), green);

  // One cell, disabled: the black dot embossed, the colours gone, the caption twice.
  b->SetGlyph(*Cells({red}));
  b->SetCaption("Go");
  b->Font().SetColor(clRed);
  const QImage img = Painted(b);
  const TPoint g = b->GlyphPos();
  EXPECT_EQ(PixelAt(img, g.X + 8, g.Y + 8), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(img, g.X + 9, g.Y + 9), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(CountPixels(img, red), 0);
  const TRect t = b->TextBounds();
  EXPECT_GT(CountPixels(img, {t.Left, t.Top, t.Right + 1, t.Bottom + 1}, clBtnHighlight), 0);
  EXPECT_GT(CountPixels(img, t, clBtnShadow), 0);

  b->SetGlyph(TBitmap());  // no glyph draws nothing
  b->SetCaption("");
  b->SetEnabled(true);
  b->SetGroupIndex(0);
  const QImage plain = Painted(b);
  EXPECT_EQ(CountPixels(plain, {1, 1, 39, 39}, PixelAt(plain, 2, 2)), 38 * 38);
}

TEST(FlatButton, TakesTheFocusLooksHoveredAndTheSpaceKeyClicksIt) {
  TShownForm form;
  auto* edit = Place<TEdit>(&form, 10, 60, 100, 21);
  auto* b = Place<TFlatButton>(&form, 10, 10, 60, 30);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_FALSE(b->TabStop());
  edit->SetFocus();
  MoveMouse(b, 5, 5);
  Press(b, 5, 5);
  EXPECT_TRUE(b->Focused()) << "a press takes the focus";
  Release(b, 5, 5);
  EXPECT_EQ(clicks, 1);
  MoveAway(form);
  ASSERT_TRUE(qftest::ProcessEventsUntil([&] { return !b->Hovered(); }, 500)) << "the timer ends the mouse's hover";
  edit->SetFocus();
  b->SetFocus();
  EXPECT_TRUE(b->Hovered()) << "focused looks hovered";
  EXPECT_EQ(PixelAt(Painted(b), 20, 15), b->ColorFocused());

  QWidget* w = b->ClientWidget();
  qftest::Key(w, Qt::Key_Space, " ");
  EXPECT_EQ(b->State(), bsDown);
  EXPECT_EQ(clicks, 1);
  qftest::Key(w, Qt::Key_Space, " ", Qt::NoModifier, QEvent::KeyRelease);
  EXPECT_EQ(b->State(), bsUp);
  EXPECT_EQ(clicks, 2);
  qftest::Key(w, Qt::Key_Return, "\r");
  EXPECT_EQ(clicks, 2) << "Enter is not the button's";

  b->SetGroupIndex(2);  // in a group space latches it
  qftest::Key(w, Qt::Key_Space, " ");
  EXPECT_TRUE(b->Down());
  qftest::Key(w, Qt::Key_Space, " ", Qt::NoModifier, QEvent::KeyRelease);
  EXPECT_TRUE(b->Down()) << "AllowAllUp False keeps it down";
  EXPECT_EQ(clicks, 3);

  edit->SetFocus();  // losing the focus ends the hover
  EXPECT_FALSE(b->Hovered());
}

TEST(PushButton, TheCaptionsAcceleratorClicksAndLatchesAFlatButton) {
  TShownForm form;
  auto* edit = Place<TFlatButton>(&form, 10, 60, 60, 30);  // a focused control that wants no characters
  auto* speed = Place<TFlatSpeedButton>(&form, 10, 10, 60, 30);
  auto* flat = Place<TFlatButton>(&form, 80, 10, 60, 30);
  speed->SetCaption("&Go");
  flat->SetCaption("&Stop");
  flat->SetGroupIndex(1);
  std::vector<std::string> log;
  speed->OnClick = [&](TObject*) { log.push_back("go"); };
  flat->OnClick = [&](TObject*) { log.push_back(flat->Down() ? "stop down" : "stop"); };
  edit->SetFocus();
  for (const char* key : {"g", "s", "x"}) qftest::Key(edit->ClientWidget(), Qt::Key_A + (key[0] - 'a'), key);
  EXPECT_EQ(log, (std::vector<std::string>{"go", "stop down"}));
  speed->SetEnabled(false);
  qftest::Key(edit->ClientWidget(), Qt::Key_G, "g");
  EXPECT_EQ(log.size(), 2u) << "a disabled button does not answer";
}

}  // namespace
