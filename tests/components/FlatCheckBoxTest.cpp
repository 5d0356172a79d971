// The flat check box and radio button: Checked and OnClick, groups, mouse
// and keys, the looks of the mark.

#include "FlatTestKit.h"
#include "components/FlatCheckBox.h"
#include "components/FlatPanel.h"
#include "components/FlatRadioButton.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace flattest;
using namespace qftest;

namespace {

/** A check box or a radio button, as one. */
TFlatOptionButton* MakeOption(TWinControl* parent, bool check, int y = 10) {
  if (check) return Place<TFlatCheckBox>(parent, 10, y, 121, 17);
  return Place<TFlatRadioButton>(parent, 10, y, 121, 17);
}

void SetChecked(TFlatOptionButton* c, bool value) {
  if (auto* box = dynamic_cast<TFlatCheckBox*>(c))
    box->SetChecked(value);
  else
    static_cast<TFlatRadioButton*>(c)->SetChecked(value);
}

TEST(OptionButton, CheckedFromCodeFiresOnClickOnlyForANewValue) {
  const struct {
    bool check;
    std::vector<bool> sets;
    int clicks;
  } cases[] = {
      {true, {false}, 0},  {true, {true}, 1},  {true, {true, true}, 1},  {true, {true, false}, 2},
      {false, {false}, 0}, {false, {true}, 1}, {false, {true, true}, 1}, {false, {true, false}, 1},  // silent uncheck
  };
  for (const auto& c : cases) {
    TShownForm form;
    TFlatOptionButton* b = MakeOption(&form, c.check);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    for (bool v : c.sets) SetChecked(b, v);
    EXPECT_EQ(clicks, c.clicks) << (c.check ? "check box " : "radio ") << c.sets.size();
    EXPECT_EQ(b->Checked(), c.sets.back());
  }
}

TEST(RadioButton, CheckingOneUnchecksItsGroupOnItsParentOnly) {
  TShownForm form;
  auto* panel = Place<TFlatPanel>(&form, 0, 0, 200, 150);
  auto* other = Place<TFlatPanel>(&form, 200, 0, 200, 150);
  std::vector<TFlatRadioButton*> r;
  for (int i = 0; i < 4; ++i) r.push_back(Place<TFlatRadioButton>(panel, 10, 10 + 20 * i, 121, 17));
  r.push_back(Place<TFlatRadioButton>(other, 10, 10, 121, 17));  // on another parent
  r[3]->SetGroupIndex(1);
  std::string log;
  for (size_t i = 0; i < r.size(); ++i) r[i]->OnClick = [&log, i](TObject*) { log += std::to_string(i); };
  auto checked = [&](bool tabStops = false) {
    std::string s;
    for (auto* b : r) s += (tabStops ? b->TabStop() : b->Checked()) ? '1' : '0';
    return s;
  };
  for (int i : {3, 4, 0, 1}) r[i]->SetChecked(true);
  EXPECT_EQ(checked(), "01011") << "another group index, another parent";
  EXPECT_EQ(checked(true), "01011") << "only the checked one is a tab stop";
  Click(r[1], 20, 8);  // clicking the checked one does nothing
  Click(r[2], 20, 8);
  EXPECT_EQ(checked(), "00111");
  EXPECT_EQ(log, "34012");
}

TEST(OptionButton, ReleasesRightClicksAndTheMouseHeldOutside) {
  enum TWhere { Inside, JustOutside, FarOutside, RightButton };
  const struct {
    bool check;
    TWhere where;
    bool checked;
  } cases[] = {
      // The check box keeps its hover while the button is held, whatever the
      // hover timer says: any release toggles it.
      {true, Inside, true}, {true, FarOutside, true}, {true, RightButton, false},
      // The radio button counts its bounds (one pixel beyond) as inside, no more.
      {false, Inside, true}, {false, JustOutside, true}, {false, FarOutside, false}, {false, RightButton, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.check ? "check box " : "radio ") + std::to_string(c.where));
    TShownForm form;
    TFlatOptionButton* b = MakeOption(&form, c.check);
    int downs = 0;
    b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    const Qt::MouseButton button = c.where == RightButton ? Qt::RightButton : Qt::LeftButton;
    const int x = c.where == JustOutside ? 121 : c.where == FarOutside ? 123 : 60;
    const int y = c.where == JustOutside || c.where == FarOutside ? 17 : 8;
    MoveMouse(b, 60, 8);
    Press(b, 60, 8, button);
    EXPECT_EQ(b->MouseHeld(), button == Qt::LeftButton);
    EXPECT_EQ(b->Focused(), button == Qt::LeftButton) << "a left press takes the focus";
    EXPECT_EQ(downs, button == Qt::LeftButton ? 1 : 0) << "a right click is ignored altogether";
    MoveMouse(b, x, y, button);
    if (c.where == FarOutside) ProcessEventsUntil([] { return false; }, 150);  // the hover timer ticks
    EXPECT_TRUE(b->Hovered());
    Release(b, x, y, button);
    EXPECT_FALSE(b->MouseHeld());
    EXPECT_EQ(b->Checked(), c.checked);
  }
}

TEST(OptionButton, SpaceTogglesOnlyTheCheckBoxTheAcceleratorFocusesAndLosingTheFocusEndsTheHover) {
  TShownForm form;
  auto* box = Place<TFlatCheckBox>(&form, 10, 10, 121, 17);
  auto* radio = Place<TFlatRadioButton>(&form, 10, 40, 121, 17);
  auto* edit = Place<TEdit>(&form, 10, 70, 100, 21);
  box->SetCaption("&Keep");
  radio->SetCaption("&Use");
  box->SetFocus();
  Key(box->ClientWidget(), Qt::Key_Space, " ");
  EXPECT_TRUE(box->Checked());
  radio->SetFocus();
  Key(radio->ClientWidget(), Qt::Key_Space, " ");
  EXPECT_FALSE(radio->Checked()) << "space does not check a radio button";
  EXPECT_TRUE(box->Checked()) << "nor the unfocused check box";
  edit->SetFocus();
  Key(edit->ClientWidget(), Qt::Key_K, "k", Qt::AltModifier);
  EXPECT_TRUE(box->Focused());
  EXPECT_FALSE(box->Checked()) << "the accelerator toggles the check box";
  Key(box->ClientWidget(), Qt::Key_U, "u");
  EXPECT_TRUE(radio->Focused());
  EXPECT_FALSE(radio->Checked()) << "and only focuses the radio button";

  // Hovered and focused, then the focus goes: the hover ends and the class's timer is released.
  for (TFlatOptionButton* b : {static_cast<TFlatOptionButton*>(box), static_cast<TFlatOptionButton*>(radio)}) {
    const THoverClass& state = b == box ? TFlatCheckBox::HoverState() : TFlatRadioButton::HoverState();
    b->SetFocus();
    MoveMouse(b, 60, 8);
    ASSERT_EQ(state.HoverControl(), b);
    edit->SetFocus();
    EXPECT_FALSE(b->Hovered());
    EXPECT_FALSE(b->FocusedLook());
    EXPECT_EQ(state.HoverControl(), nullptr);
    EXPECT_FALSE(state.HoverTimer()->Enabled());
    MoveMouse(b, 61, 8);  // a later move hovers it again
    EXPECT_TRUE(b->Hovered());
  }
}

// ---------------------------------------------------------------- pictures

TEST(OptionButton, TheMarkFillFollowsHoverFocusAndTheHeldButton) {
  const TColor rest = RGB(210, 210, 200), focused = RGB(255, 255, 240), down = RGB(190, 200, 210);
  const struct {
    const char* name;
    bool hover, focus, hold;
    TColor fill;
  } cases[] = {{"rest", false, false, false, rest},
               {"hovered", true, false, false, focused},
               {"focused", false, true, false, focused},
               {"held", true, false, true, down}};
  for (bool check : {true, false})
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(check ? "check box " : "radio ") + c.name);
      TShownForm form;
      form.SetColor(rest);
      TFlatOptionButton* b = MakeOption(&form, check);
      b->SetColorFocused(focused);
      b->SetColorDown(down);
      if (c.hover) MoveMouse(b, 60, 8);
      if (c.focus) b->SetFocus();
      if (c.hold) Press(b, 60, 8);
      const QImage img = Painted(b);
      const TRect m = b->MarkRect();
      EXPECT_EQ(m, check ? (TRect{1, 3, 12, 14}) : (TRect{1, 3, 11, 13}));
      EXPECT_EQ(PixelAt(img, m.Left + 3, m.Top + 3), c.fill);
      EXPECT_EQ(PixelAt(img, m.Left + 5, m.Top), b->ColorBorder()) << "the frame or the circle";
      EXPECT_EQ(PixelAt(img, 14, 1), rest) << "the background is the control's colour";
    }
}

TEST(OptionButton, TheTickTheDotTheDisabledLookTheRightLayoutAndTransparent) {
  TShownForm form;
  auto* box = Place<TFlatCheckBox>(&form, 10, 10, 121, 17);
  auto* radio = Place<TFlatRadioButton>(&form, 10, 40, 121, 17);
  box->SetColorCheck(clNavy);
  radio->SetColorDot(clMaroon);
  box->SetChecked(true);
  radio->SetChecked(true);
  box->SetCaption("Text");
  box->Font().SetColor(clGreen);
  // The tick: three strokes down to (X+5, Y+8), three up to (X+8, Y+2); end pixels left out.
  const TPoint tick[] = {{2, 4}, {3, 5}, {5, 7}, {2, 6}, {4, 8}, {8, 2}, {5, 5}, {7, 4}};
  const TPoint clear[] = {{6, 8}, {5, 8}, {8, 5}, {6, 7}, {1, 1}, {9, 9}};
  auto checkTick = [&](TColor colour) {
    const QImage img = Painted(box);
    for (TPoint p : tick) EXPECT_EQ(PixelAt(img, 1 + p.X, 3 + p.Y), ColorToRGB(colour)) << p.X << "," << p.Y;
    for (TPoint p : clear) EXPECT_EQ(PixelAt(img, 1 + p.X, 3 + p.Y), ColorToRGB(box->FillColor())) << p.X << "," << p.Y;
    return img;
  };
  QImage img = checkTick(clNavy);
  EXPECT_GT(CountPixels(img, {17, 0, 121, 17}, clGreen), 0);
  img = Painted(radio);
  for (TPoint p : {TPoint{4, 4}, TPoint{5, 5}, TPoint{4, 5}}) EXPECT_EQ(PixelAt(img, 1 + p.X, 3 + p.Y), clMaroon);
  EXPECT_EQ(PixelAt(img, 1 + 2, 3 + 5), ColorToRGB(radio->FillColor()));

  box->SetEnabled(false);
  radio->SetEnabled(false);
  img = checkTick(clBtnShadow);
  EXPECT_EQ(CountPixels(img, clGreen), 0) << "the caption embossed";
  EXPECT_GT(CountPixels(img, {17, 0, 121, 17}, clBtnHighlight), 0);
  EXPECT_GT(CountPixels(img, {16, 0, 121, 17}, clBtnShadow), 0);
  EXPECT_EQ(PixelAt(Painted(radio), 1 + 5, 3 + 5), ColorToRGB(clBtnShadow));

  // At the right: the mark at the right edge, the caption right-aligned.
  box->SetEnabled(true);
  box->SetCaption("Short");
  box->SetLayout(checkboxRight);
  EXPECT_EQ(box->MarkRect(), (TRect{109, 3, 120, 14}));
  img = Painted(box);
  EXPECT_EQ(PixelAt(img, 109, 3), box->ColorBorder());
  EXPECT_EQ(CountPixels(img, {0, 0, 40, 17}, clGreen), 0) << "nothing at the left";
  EXPECT_GT(CountPixels(img, {80, 0, 105, 17}, clGreen), 0) << "the text ends at the right";
  box->SetFocus();
  img = Painted(box);
  EXPECT_GT(CountPixels(img, {60, 0, 108, 17}, kInvertedFace), 20) << "focused: a dotted frame round the text";
  EXPECT_EQ(CountPixels(img, {0, 0, 60, 17}, kInvertedFace), 0);
  box->SetColor(clRed);  // transparent: the parent's picture instead of its own colour
  box->SetTransparent(true);
  EXPECT_EQ(PixelAt(Painted(box), 60, 1), ColorToRGB(form.Color()));
}

}  // namespace
