// The flat push buttons: state machine, groups, keys, and their pictures.

#include "FlatTestKit.h"
#include "components/FlatButton.h"
#include "components/FlatSpeedButton.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

using namespace flattest;
using namespace qftest;

namespace {

constexpr TColor kFace = RGB(200, 200, 200);

/** n cells of 16 x 16 side by side, each filled with its colour around two
 *  black pixels on a diagonal, on an olive bottom-left pixel (the
 *  transparent colour). */
std::unique_ptr<TBitmap> Cells(const std::vector<TColor>& colours) {
  auto b = std::make_unique<TBitmap>(16 * static_cast<int>(colours.size()), 16);
  TCanvas* c = b->Canvas();
  for (size_t i = 0; i < colours.size(); ++i) {
    const int x = 16 * static_cast<int>(i);
    c->Brush = TBrush{colours[i], bsSolid};
    c->FillRect(TRect{x, 0, x + 16, 16});
    c->SetPixels(x + 8, 8, clBlack);
    c->SetPixels(x + 9, 9, clBlack);
    c->SetPixels(x, 15, clOlive);
  }
  return b;
}

// The cases that both classes share run on both.
template <class T>
struct PushButton : testing::Test {};
using TPushButtons = testing::Types<TFlatSpeedButton, TFlatButton>;
TYPED_TEST_SUITE(PushButton, TPushButtons);

TYPED_TEST(PushButton, PressMoveAndReleaseByTheRules) {
  // m: move, h: move holding the left button, p / r: left press / release,
  // P / R: right press / release, d: double click; each at x,y.
  const struct {
    const char* name;
    int group;
    const char* acts;
    TButtonState state;
    int clicks, doubles;
    bool hovered;
  } cases[] = {
      {"hover", 0, "m5,5", bsUp, 0, 0, true},
      {"pressed", 0, "m5,5 p5,5", bsDown, 0, 0, true},
      {"click", 0, "m5,5 p5,5 r5,5", bsUp, 1, 0, true},
      {"dragged_off", 0, "m5,5 p5,5 h70,5", bsUp, 0, 0, true},
      {"released_outside", 0, "m5,5 p5,5 h70,5 r70,5", bsUp, 0, 0, false},
      {"back_inside_pressed_again", 0, "m5,5 p5,5 h70,5 h59,39", bsDown, 0, 0, true},
      {"back_inside_clicks", 0, "m5,5 p5,5 h70,5 h6,5 r6,5", bsUp, 1, 0, true},
      {"right_button_does_nothing", 0, "m5,5 P5,5 R5,5", bsUp, 0, 0, true},
      {"double_click_up_is_no_double_click", 0, "m5,5 p5,5 r5,5 d5,5 r5,5", bsUp, 2, 0, true},
      {"double_click_down_is_one", 1, "m5,5 p5,5 r5,5 d5,5 r5,5", bsExclusive, 2, 1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TShownForm form;
    auto* b = Place<TypeParam>(&form, 10, 10, 60, 40);
    b->SetGroupIndex(c.group);
    b->SetModalResult(c.group ? TModalResult::mrOk : TModalResult::mrNone);
    int clicks = 0, doubles = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    b->OnDblClick = [&](TObject*) { ++doubles; };
    form.SetModalResult(TModalResult::mrCancel);
    std::istringstream acts(c.acts);
    char act, comma;
    int x, y;
    while (acts >> act >> x >> comma >> y) switch (act) {
        case 'm': MoveMouse(b, x, y); break;
        case 'h': MoveMouse(b, x, y, Qt::LeftButton); break;
        case 'p': Press(b, x, y); break;
        case 'r': Release(b, x, y); break;
        case 'P': Press(b, x, y, Qt::RightButton); break;
        case 'R': Release(b, x, y, Qt::RightButton); break;
        case 'd': SendMouse(b->ClientWidget(), QEvent::MouseButtonDblClick, Qt::LeftButton, {x, y}); break;
      }
    EXPECT_EQ(b->State(), c.state);
    EXPECT_EQ(clicks, c.clicks);
    EXPECT_EQ(doubles, c.doubles);
    EXPECT_EQ(b->Hovered(), c.hovered);
    EXPECT_FALSE(b->Pressed() && c.clicks > 0);
    // A click writes the button's ModalResult into the form, even mrNone.
    const TModalResult written = c.group ? TModalResult::mrOk : TModalResult::mrNone;
    EXPECT_EQ(form.ModalResult(), c.clicks ? written : TModalResult::mrCancel);
  }
}

TYPED_TEST(PushButton, AGroupKeepsOneButtonDownAndAllowAllUpLetsItGo) {
  using TOther = std::conditional_t<std::is_same_v<TypeParam, TFlatButton>, TFlatSpeedButton, TFlatButton>;
  TShownForm form;
  auto* a = Place<TypeParam>(&form, 10, 10, 60, 40);
  auto* b = Place<TypeParam>(&form, 80, 10, 60, 40);
  auto* c = Place<TypeParam>(&form, 150, 10, 60, 40);       // group index 0 never stays down
  auto* other = Place<TOther>(&form, 220, 10, 60, 40);  // the other class, same index: not of the group
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  other->SetGroupIndex(1);
  other->SetDown(true);
  // Per button its state (up, down, exclusive), upper case while Down.
  auto one = [](auto* x) { return static_cast<char>(x->Down() ? "U?DX"[x->State()] : "u?dx"[x->State()]); };
  auto look = [&] { return std::string{one(a), one(b), one(c), one(other)}; };
  Click(a, 5, 5);
  EXPECT_EQ(look(), "XuuX");
  Click(b, 5, 5);
  EXPECT_EQ(look(), "uXuX") << "a released by its group";
  Click(b, 5, 5);
  EXPECT_EQ(look(), "uXuX") << "AllowAllUp False: the down button stays down";
  MoveMouse(b, 5, 5);  // pressing the down button and dragging off keeps it latched
  Press(b, 5, 5);
  MoveMouse(b, 70, 5, Qt::LeftButton);
  Release(b, 70, 5);
  EXPECT_EQ(look(), "uXuX");
  a->SetAllowAllUp(true);  // the whole group takes it
  Click(b, 5, 5);
  EXPECT_EQ(look(), "uuuX");
  c->SetDown(true);
  b->SetDown(true);  // from code: latched, and the group follows
  a->SetDown(true);
  EXPECT_EQ(look(), "XuuX");
}

TEST(PushButtonGlyph, TheCellOfEachStateAndTheCellCountOfAStrip) {
  const struct {
    TNumGlyphs n;
    std::vector<int> cells;  // up, disabled, down, exclusive
  } table[] = {{1, {1, 1, 1, 1}}, {2, {1, 2, 1, 1}}, {3, {1, 2, 3, 3}}, {4, {1, 2, 3, 4}}};
  for (const auto& t : table) {
    std::vector<int> cells;
    for (TButtonState s : {bsUp, bsDisabled, bsDown, bsExclusive})
      cells.push_back(TFlatPushButton<TGraphicControl>::GlyphCell(t.n, s));
    EXPECT_EQ(cells, t.cells) << t.n;
  }
  // An exact row of 1 to 4 squares sets NumGlyphs; anything else keeps it.
  // NumGlyphs stays in 1..4, a Margin below -1 is ignored.
  const struct {
    int width, before, after;
  } glyphs[] = {{64, 1, 4}, {32, 3, 2}, {80, 3, 1}, {30, 3, 3}, {16, 2, 1}};
  TFlatSpeedButton b(nullptr);
  for (const auto& g : glyphs) {
    b.SetNumGlyphs(g.before);
    b.SetGlyph(TBitmap(g.width, 16));
    EXPECT_EQ(b.NumGlyphs(), g.after) << g.width << "x16";
  }
  b.SetNumGlyphs(9);
  b.SetMargin(-2);
  EXPECT_EQ((std::pair{b.NumGlyphs(), b.Margin()}), (std::pair{4, -1}));
}

// ---------------------------------------------------------------- pictures

TYPED_TEST(PushButton, FaceAndBorderInEveryStateAndTransparentMode) {
  const TColor focused = RGB(250, 250, 240), pressed = RGB(180, 190, 200), border = RGB(100, 110, 120);
  const TColor light = RGB(255, 255, 0), dark = RGB(0, 0, 128);
  // A transparent speed button paints no face; a flat button paints its parent's picture.
  const TColor through = std::is_same_v<TypeParam, TFlatButton> ? clRed : clFuchsia;
  const struct {
    const char* name;
    bool hover, press, latched, disabled;
    TColor face, topLeft, bottomRight;
    TTransparentMode mode = tmNone;
  } cases[] = {
      {"up", false, false, false, false, kFace, border, border},
      {"hot", true, false, false, false, focused, light, dark},
      {"down", true, true, false, false, pressed, dark, light},
      {"exclusive", false, false, true, false, pressed, dark, light},
      {"exclusive_hot", true, false, true, false, focused, dark, light},
      {"disabled", false, false, false, true, kFace, border, border},
      {"always_transparent", false, false, false, false, through, border, border, tmAlways},
      {"always_transparent_hot", true, false, false, false, through, light, dark, tmAlways},
      {"transparent_not_focused", false, false, false, false, through, border, border, tmNotFocused},
      {"not_focused_hot_is_painted", true, false, false, false, focused, light, dark, tmNotFocused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TShownForm form;
    form.SetColor(clRed);
    auto* b = Place<TypeParam>(&form, 10, 10, 60, 40);
    b->SetColor(kFace);
    b->SetTransparentMode(c.mode);
    b->SetColorFocused(focused);
    b->SetColorDown(pressed);
    b->SetColorBorder(border);
    b->SetColorHighLight(light);
    b->SetColorShadow(dark);
    b->SetGroupIndex(c.latched ? 1 : 0);
    b->SetDown(c.latched);
    if (c.hover) MoveMouse(b, 30, 20);
    if (c.press) Press(b, 30, 20);
    if (c.disabled) b->SetEnabled(false);
    const QImage img = Painted(b);
    EXPECT_EQ(CountPixels(img, {1, 1, 59, 39}, c.face), 58 * 38);
    EXPECT_EQ(PixelAt(img, 0, 0), c.topLeft);
    EXPECT_EQ(PixelAt(img, 59, 0), c.bottomRight) << "the bottom colour takes the top-right corner";
    EXPECT_EQ(PixelAt(img, 59, 39), c.bottomRight);
  }
}

TEST(PushButtonLook, TheDefaultButtonHasADoubleBorder) {
  TFlatButton b(nullptr);
  b.SetBounds(0, 0, 40, 30);
  b.SetColor(clBlue);
  b.SetDefault(true);
  const QImage img = Painted(&b);
  EXPECT_TRUE(Ring(img, {1, 1, 39, 29}, b.ColorBorder()));
  EXPECT_EQ(PixelAt(img, 2, 2), clBlue);
}

TEST(PushButtonLook, GlyphCellByStateTransparentColourAndTheEmbossedDisabledLook) {
  const TColor red = RGB(220, 0, 0), green = RGB(0, 200, 0), blue = RGB(0, 0, 220), yellow = RGB(230, 230, 0);
  TShownForm form;
  form.SetColor(kFace);
  auto* b = Place<TFlatSpeedButton>(&form, 10, 10, 40, 40);
  b->SetGlyph(*Cells({red, green, blue, yellow}));
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

  // One cell, disabled: the black pixels embossed, the colours gone, the caption twice.
  b->SetGlyph(*Cells({red}));
  b->SetCaption("Go");
  b->Font().SetColor(clRed);
  const QImage img = Painted(b);
  const TPoint g = b->GlyphPos();
  EXPECT_EQ(PixelAt(img, g.X + 8, g.Y + 8), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(img, g.X + 9, g.Y + 9), ColorToRGB(clBtnShadow)) << "the shadow over the highlight";
  EXPECT_EQ(PixelAt(img, g.X + 10, g.Y + 10), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(CountPixels(img, red), 0);
  const TRect t = b->TextBounds();
  EXPECT_GT(CountPixels(img, {t.Left, t.Top, t.Right + 1, t.Bottom + 1}, clBtnHighlight), 0);
  EXPECT_GT(CountPixels(img, t, clBtnShadow), 0);
}

// ---------------------------------------------------------------- keys

TEST(FlatButton, TakesTheFocusLooksHoveredAndTheSpaceKeyClicksIt) {
  TShownForm form;
  auto* edit = Place<TEdit>(&form, 10, 60, 100, 21);
  auto* b = Place<TFlatButton>(&form, 10, 10, 60, 30);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  edit->SetFocus();
  MoveMouse(b, 5, 5);
  Press(b, 5, 5);
  EXPECT_TRUE(b->Focused()) << "a press takes the focus";
  Release(b, 5, 5);
  EXPECT_EQ(clicks, 1);
  MoveAway(form);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !b->Hovered(); })) << "the timer ends the mouse's hover";
  edit->SetFocus();
  b->SetFocus();
  EXPECT_TRUE(b->Hovered()) << "focused looks hovered";

  // A key pressed or released; then the state, Down and the clicks so far.
  auto key = [&](int k, bool release) {
    const char* text = k == Qt::Key_Space ? " " : "\r";
    Key(b->ClientWidget(), k, text, Qt::NoModifier, release ? QEvent::KeyRelease : QEvent::KeyPress);
    return std::tuple{b->State(), b->Down(), clicks};
  };
  EXPECT_EQ(key(Qt::Key_Space, false), std::tuple(bsDown, false, 1));
  EXPECT_EQ(key(Qt::Key_Space, true), std::tuple(bsUp, false, 2));
  key(Qt::Key_Return, false);
  EXPECT_EQ(key(Qt::Key_Return, true), std::tuple(bsUp, false, 2)) << "Enter is not the button's";
  b->SetGroupIndex(2);  // in a group space latches it, AllowAllUp False keeps it down
  EXPECT_EQ(key(Qt::Key_Space, false), std::tuple(bsExclusive, true, 2));
  EXPECT_EQ(key(Qt::Key_Space, true), std::tuple(bsExclusive, true, 3));
  b->SetAllowAllUp(true);  // the release lets it up
  key(Qt::Key_Space, false);
  EXPECT_EQ(key(Qt::Key_Space, true), std::tuple(bsUp, false, 4));
  edit->SetFocus();  // losing the focus ends the hover
  EXPECT_FALSE(b->Hovered());
}

TEST(FlatButton, TheCaptionsAcceleratorClicksAndLatchesIt) {
  TShownForm form;
  auto* focus = Place<TFlatButton>(&form, 10, 60, 60, 30);  // a focused control that wants no characters
  auto* speed = Place<TFlatSpeedButton>(&form, 10, 10, 60, 30);
  auto* flat = Place<TFlatButton>(&form, 80, 10, 60, 30);
  speed->SetCaption("&Go");
  flat->SetCaption("&Stop");
  flat->SetGroupIndex(1);
  std::vector<std::string> log;
  speed->OnClick = [&](TObject*) { log.push_back("go"); };
  flat->OnClick = [&](TObject*) { log.push_back(flat->Down() ? "stop down" : "stop"); };
  focus->SetFocus();
  for (const char* key : {"g", "s", "x"}) Key(focus->ClientWidget(), Qt::Key_A + (key[0] - 'a'), key);
  EXPECT_EQ(log, (std::vector<std::string>{"go", "stop down"}));
  speed->SetEnabled(false);
  Key(focus->ClientWidget(), Qt::Key_G, "g");
  EXPECT_EQ(log.size(), 2u) << "a disabled button does not answer";
}

}  // namespace
