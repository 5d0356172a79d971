// The XP-style painter: colours, which menus, forms and controls it takes up,
// the control states it follows, menu measuring and pixel probes.

#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatMemo.h"
#include "components/FlatPanel.h"
#include "GuiTestApp.h"
#include "components/MenuPainter.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "ui/ToolWin.h"

#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using qftest::At;
using qftest::FilledImage;
using qftest::Missing;
using qftest::PixelAt;
using qftest::ProcessEventsUntil;
using qftest::SendMouse;

namespace {

constexpr TColor kSkyBlue = 0xF0CAA6;

// Descendants of standard controls under names of their own.
class TNotesMemo : public TMemo {
public:
  using TMemo::TMemo;
};
class TOkButton : public TButton {
public:
  using TButton::TButton;
};

/** A control owned by the form (as stored forms own them) on parent. */
template <class T>
T* On(TForm* form, TWinControl* parent, int x, int y, int w, int h) {
  auto* c = new T(form);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

/** The main window's colours. */
void MainColours(TMenuPainter* p) {
  p->SetColor(clWhite);
  p->SetIconBackColor(16576226);
  p->SetSelectColor(16776176);
  p->SetSelectBorderColor(clNavy);
  p->SetCheckedColor(kSkyBlue);
  p->SetUseSystemColors(false);
}

/** The painter as the main window keeps it. */
TMenuPainter* MainPainter(TForm* form) {
  auto* p = new TMenuPainter(form);
  MainColours(p);
  p->SetFlatMenu(true);
  p->SetAutoDetect(true);
  TXPControls controls = AllXPControls;
  p->SetXPControls(controls >> xcPanel);
  p->SetActive(true);
  p->Loaded();
  return p;
}

void Enter(TControl* c) { qftest::Hover(c->Handle(), true); }
void Leave(TControl* c) { qftest::Hover(c->Handle(), false); }

/** What the painter draws over control, on a picture of the control's size. */
QImage PaintedOver(TControl* c, TColor under = clFuchsia) {
  QImage img = FilledImage(c->Width(), c->Height(), under);
  TCanvas canvas(&img);
  TMenuPainter::SubClassOf(c)->PaintOver(c, &canvas);
  return img;
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption, TShortCut key = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->SetShortCut(key);
  parent->Add(item);
  return item;
}

// ---------------------------------------------------------------- colours

TEST(PainterColours, TheColourRoutines) {
  const struct {
    const char* name;
    TColor got, want;
  } cases[] = {
      {"shade_black_by_0_keeps_the_green_two", ShadeColor(clBlack, 0), RGB(0, 2, 0)},
      {"shade_clamps_at_0", ShadeColor(RGB(10, 250, 100), 20), RGB(0, 232, 80)},
      {"shade_clamps_at_255", ShadeColor(RGB(255, 255, 255), 0), RGB(255, 255, 255)},
      {"shade_resolves_system_colours", ShadeColor(clBtnFace, 90), RGB(122, 120, 110)},
      {"lighten_half_way_rounds", LightenColor(clBlack, 50), RGB(128, 128, 128)},
      {"lighten_150_is_lighten_100", LightenColor(RGB(1, 2, 3), 150), clWhite},
      {"lighten_100_is_white", LightenColor(clNavy, 100), clWhite},
      {"lighten_system_colour", LightenColor(clBtnFace, 16), RGB(219, 216, 209)},
      {"gray_is_the_mean_plus_v", GrayColor(RGB(30, 60, 90), 10), RGB(70, 70, 70)},
      {"gray_never_above_240", GrayColor(clWhite, 0), RGB(240, 240, 240)},
      {"gray_cap_with_level", GrayColor(RGB(235, 235, 235), 10), RGB(240, 240, 240)},
      {"mix_of_two", MixColors({clWhite, clBlack}), RGB(127, 127, 127)},
      {"mix_divides_each_before_adding", MixColors({RGB(3, 3, 3), RGB(3, 3, 3)}), RGB(2, 2, 2)},
      {"mix_system_colours", MixColors({clBtnFace, clWindow}), RGB(233, 231, 227)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(PainterColours, WorkingColoursFollowThePropertiesOrTheSystem) {
  TForm form(nullptr);
  const struct {
    const char* name;
    std::function<void(TMenuPainter*)> setup;
    TXPColors want;
  } cases[] = {
      {"system_colours_by_default",
       [](TMenuPainter*) {},
       {LightenColor(clBtnFace, 86), LightenColor(clBtnFace, 16), LightenColor(clHighlight, 68), clHighlight,
        clMenuText, LightenColor(clHighlight, 80), LightenColor(clHighlight, 50), clHighlight, clBtnFace,
        LightenColor(clBtnShadow, 10), LightenColor(clBtnShadow, 25), ShadeColor(clBtnFace, 90),
        ShadeColor(clBtnFace, 76)}},
      {"the_main_window_s_own", MainColours,
       {clWhite, 16576226, 16776176, clNavy, clMenuText, 16776176, 16776176, kSkyBlue, clBtnFace,
        clInactiveCaption, clBtnFace, ShadeColor(clBtnFace, 90), ShadeColor(clBtnFace, 76)}},
      {"dimmed_selection",
       [](TMenuPainter* p) {
         p->SetSelectColor(clNavy);
         p->SetUseDimColor(true);
         p->SetUseSystemColors(false);
         p->SetMenuBarColor(clRed);
         p->SetSelectFontColor(clYellow);
       },
       {clBtnFace, clBtnFace, LightenColor(clNavy, 68), clHighlight, clYellow, LightenColor(clNavy, 80),
        LightenColor(clNavy, 50), clHighlight, clRed, clInactiveCaption, clBtnFace, ShadeColor(clBtnFace, 90),
        ShadeColor(clBtnFace, 76)}},
  };
  auto list = [](const TXPColors& x) {
    std::vector<TColor> out;
    for (TColor v : {x.MenuBack, x.IconBack, x.SelectFill, x.SelectBorder, x.SelectFont, x.LightSelect,
                     x.MediumSelect, x.Checked, x.MenuBar, x.Disabled, x.Separator, x.DarkShadow, x.LightShadow})
      out.push_back(ColorToRGB(v));
    return out;
  };
  for (const auto& c : cases) {
    TMenuPainter painter(&form);
    c.setup(&painter);
    EXPECT_EQ(list(painter.Colors()), list(c.want)) << c.name;
  }
}

// ---------------------------------------------------------------- membership

TEST(PainterMembership, WhichControlsAreTakenUp) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 600, 500);
  auto* panel = On<TPanel>(&form, &form, 0, 0, 300, 200);
  auto* group = On<TGroupBox>(&form, &form, 300, 0, 200, 200);
  auto* bar = On<TToolBar>(&form, &form, 0, 210, 300, 29);
  auto* frame = On<TFrame>(&form, &form, 0, 250, 300, 200);
  auto* closed = On<TPanel>(&form, &form, 300, 250, 200, 200);
  closed->SetTag(999);
  auto* tagged = On<TEdit>(&form, panel, 10, 40, 80, 21);
  tagged->SetTag(999);
  const struct {
    const char* name;
    TControl* control;
    bool taken;
  } cases[] = {
      {"edit_on_the_form", On<TEdit>(&form, &form, 10, 460, 80, 21), true},
      {"edit_on_a_panel", On<TEdit>(&form, panel, 10, 10, 80, 21), true},
      {"edit_in_a_group_box", On<TEdit>(&form, group, 10, 20, 80, 21), false},
      {"edit_on_a_tool_bar", On<TEdit>(&form, bar, 0, 0, 80, 21), true},
      {"edit_on_a_frame", On<TEdit>(&form, frame, 10, 10, 80, 21), true},
      {"edit_under_a_parent_with_tag_999", On<TEdit>(&form, closed, 10, 10, 80, 21), false},
      {"edit_with_tag_999", tagged, false},
      {"memo", On<TMemo>(&form, panel, 10, 70, 80, 50), true},
      {"memo_of_our_own_class", On<TNotesMemo>(&form, panel, 100, 70, 80, 50), true},
      {"flat_memo", On<TFlatMemo>(&form, panel, 100, 10, 80, 50), false},
      {"flat_combo_box", On<TFlatComboBox>(&form, panel, 190, 10, 80, 21), false},
      {"flat_edit", On<TFlatEdit>(&form, panel, 190, 40, 80, 21), false},
      {"flat_panel", On<TFlatPanel>(&form, &form, 510, 0, 50, 50), false},
      {"combo_box", On<TComboBox>(&form, panel, 190, 70, 80, 21), true},
      {"check_box", On<TCheckBox>(&form, panel, 10, 130, 97, 17), true},
      {"radio_button_has_no_painter", On<TRadioButton>(&form, panel, 10, 150, 97, 17), false},
      {"button", On<TButton>(&form, panel, 110, 130, 75, 25), true},
      {"a_button_class_of_its_own", On<TOkButton>(&form, panel, 190, 130, 75, 25), false},
      {"tree_view", On<TTreeView>(&form, &form, 510, 60, 80, 80), true},
      {"list_box", On<TListBox>(&form, panel, 10, 160, 80, 30), true},
      {"panel_left_out_of_the_kinds", panel, false},
      {"label", On<TLabel>(&form, panel, 200, 160, 50, 17), false},
  };
  TMenuPainter* painter = MainPainter(&form);
  for (const auto& c : cases) {
    EXPECT_EQ(painter->TakesUp(c.control), c.taken) << c.name;
    EXPECT_EQ(TMenuPainter::SubClassOf(c.control) != nullptr, c.taken) << c.name;
  }
  // Panels join when the kinds take them again; without the form as a
  // container the edit on it goes.
  TXPControls controls = painter->XPControls();
  painter->SetXPControls(controls << xcPanel);
  EXPECT_NE(TMenuPainter::SubClassOf(panel), nullptr);
  TXPContainers containers = AllXPContainers;
  painter->SetXPContainers(containers >> xccForm);
  EXPECT_EQ(TMenuPainter::SubClassOf(cases[0].control), nullptr);
  EXPECT_NE(TMenuPainter::SubClassOf(cases[1].control), nullptr) << "the panel is still a container";
  EXPECT_EQ(TMenuPainter::SubClassOf(panel), nullptr) << "the panel stands on the form";
}

TEST(PainterMembership, TakingUpTwiceReleasingTwiceAndControlsThatGo) {
  TForm form(nullptr);
  auto* edit = On<TEdit>(&form, &form, 10, 10, 80, 21);
  On<TButton>(&form, &form, 10, 40, 75, 25);
  auto* doomed = On<TEdit>(&form, &form, 10, 70, 80, 21);
  TMenuPainter* painter = MainPainter(&form);
  EXPECT_EQ(painter->ComponentCount(), 3);
  delete doomed;
  EXPECT_EQ(painter->ComponentCount(), 2) << "a control that goes takes its record with it";
  TControlSubClass* record = TMenuPainter::SubClassOf(edit);
  ASSERT_NE(record, nullptr);
  painter->ActivateComponent(edit, true, true);
  painter->ActivateComponents(&form, true, true);
  EXPECT_EQ(painter->ComponentCount(), 2) << "taken up once";
  EXPECT_EQ(TMenuPainter::SubClassOf(edit), record);
  EXPECT_FALSE(edit->Ctl3D()) << "the flat frame replaces the sunken one";
  painter->SetActive(false);
  EXPECT_EQ(edit->Hook(), nullptr);
  EXPECT_TRUE(edit->Ctl3D()) << "switching off gives the edit its look back";
  painter->ActivateComponent(edit, false, true);
  painter->SetActive(false);
  EXPECT_EQ(edit->Hook(), nullptr);
  EXPECT_EQ(painter->ComponentCount(), 0);
}

TEST(PainterMembership, MenusTheirItemsAndTag999) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  TMenuItem* file = AddItem(&form, menu->Items(), "&File");
  TMenuItem* open = AddItem(&form, file, "&Open");
  TMenuItem* kept = AddItem(&form, file, "Own drawing");
  TMenuItem* skipped = AddItem(&form, file, "Skipped");
  skipped->SetTag(999);
  int ownDraws = 0;
  kept->OnAdvancedDrawItem = [&](TObject*, TCanvas*, const TRect&, TOwnerDrawState) { ++ownDraws; };
  auto* popup = new TPopupMenu(&form);
  TMenuItem* cut = AddItem(&form, popup->Items(), "Cut");
  auto* untouched = new TPopupMenu(&form);
  untouched->SetTag(999);
  TMenuItem* paste = AddItem(&form, untouched->Items(), "Paste");

  TMenuPainter* painter = MainPainter(&form);
  EXPECT_TRUE(menu->OwnerDraw());
  EXPECT_TRUE(popup->OwnerDraw());
  EXPECT_FALSE(untouched->OwnerDraw());
  for (TMenuItem* item : {file, open, cut}) {
    EXPECT_TRUE(item->OnAdvancedDrawItem) << item->Caption();
    EXPECT_TRUE(item->OnMeasureItem) << item->Caption();
  }
  EXPECT_FALSE(skipped->OnAdvancedDrawItem);
  EXPECT_FALSE(paste->OnAdvancedDrawItem);
  EXPECT_TRUE(menu->OnDrawFrame) << "the pop-up frames are the painter's";
  TCanvas canvas;
  kept->OnAdvancedDrawItem(kept, &canvas, {}, {});
  EXPECT_EQ(ownDraws, 1) << "the program's own handler stays";
  EXPECT_TRUE(kept->OnMeasureItem) << "the measure handler was free";

  painter->SetActive(false);
  EXPECT_FALSE(menu->OwnerDraw());
  EXPECT_FALSE(open->OnAdvancedDrawItem);
  EXPECT_FALSE(kept->OnMeasureItem);
  EXPECT_FALSE(menu->OnDrawFrame);
  ASSERT_TRUE(kept->OnAdvancedDrawItem) << "switching off leaves the program's handler";
  kept->OnAdvancedDrawItem(kept, &canvas, {}, {});
  EXPECT_EQ(ownDraws, 2);

  painter->SetOverrideOwnerDraw(true);
  painter->SetActive(true);
  kept->OnAdvancedDrawItem(kept, &canvas, {0, 0, 10, 10}, {});
  EXPECT_EQ(ownDraws, 2) << "overriding replaces it";
}

TEST(PainterMembership, ToolBarsAndControlBarsGetThePaintersHandlersAndBands) {
  TForm form(nullptr);
  auto* bands = On<TControlBar>(&form, &form, 0, 0, 300, 60);
  auto* bar = On<TToolBar>(&form, bands, 0, 0, 100, 29);
  auto* own = On<TToolBar>(&form, &form, 0, 100, 100, 29);
  int ownDraws = 0;
  own->OnCustomDrawButton = [&](TToolBar*, TToolButton*, TCustomDrawState, bool&) { ++ownDraws; };
  TMenuPainter* painter = MainPainter(&form);
  EXPECT_TRUE(bar->Flat());
  EXPECT_TRUE(own->Flat());
  EXPECT_TRUE(bar->OnCustomDrawButton);
  EXPECT_TRUE(bands->OnBandPaint);
  bool def = true;
  own->OnCustomDrawButton(own, nullptr, {}, def);
  EXPECT_EQ(ownDraws, 1);
  // The band: no frame; grip lines on every other row.
  QImage img = FilledImage(bands->Width(), bands->Height(), clFuchsia);
  bands->PaintTo(img);
  const int x = TControlBar::BandRect(bar).Left, y = TControlBar::BandRect(bar).Top;
  EXPECT_EQ(Missing(img, {At(x + 1, y + 1, LightenColor(clBtnFace, 6)), At(x + 3, y + 5, ShadeColor(clBtnFace, 30)),
                          At(x + 3, y + 7, ShadeColor(clBtnFace, 37)), At(x + 3, y + 6, LightenColor(clBtnFace, 6))}),
            "");
  EXPECT_TRUE(On<TControlBar>(&form, &form, 0, 200, 300, 60)->OnBandPaint) << "placed later, with AutoDetect";
  painter->SetAutoDetect(false);
  EXPECT_FALSE(On<TControlBar>(&form, &form, 0, 300, 300, 60)->OnBandPaint);
  painter->SetActive(false);
  EXPECT_FALSE(bar->OnCustomDrawButton);
  EXPECT_FALSE(bands->OnBandPaint);
  EXPECT_TRUE(own->OnCustomDrawButton);
}

// ---------------------------------------------------------------- other forms

TEST(PainterManager, OtherFormsAreStyledThroughTheActivePainter) {
  TForm main(nullptr);
  TMenuPainter* painter = MainPainter(&main);
  ASSERT_EQ(MenuPainterManager->ActivePainter(), painter);

  TForm dialog(nullptr);
  auto* edit = On<TEdit>(&dialog, &dialog, 10, 10, 80, 21);
  auto* menu = new TPopupMenu(&dialog);
  AddItem(&dialog, menu->Items(), "Cut");
  TForm closed(nullptr);
  closed.SetTag(999);
  auto* closedEdit = On<TEdit>(&closed, &closed, 10, 10, 80, 21);
  TForm own(nullptr);
  auto* ownEdit = On<TEdit>(&own, &own, 10, 10, 80, 21);
  new TMenuPainter(&own);  // inactive: the form styles itself or not at all

  for (TForm* f : {&dialog, &closed, &own}) f->Show();
  ASSERT_NE(TMenuPainter::SubClassOf(edit), nullptr) << "a form without a painter is styled when it shows";
  EXPECT_EQ(TMenuPainter::SubClassOf(edit)->Painter(), painter);
  EXPECT_TRUE(menu->OwnerDraw());
  EXPECT_TRUE(MenuPainterManager->Handled(&dialog));
  EXPECT_EQ(TMenuPainter::SubClassOf(closedEdit), nullptr) << "Tag 999";
  EXPECT_EQ(TMenuPainter::SubClassOf(ownEdit), nullptr) << "a form with a painter of its own";

  // The last active painter switched off gives the other forms their own look back...
  painter->SetActive(false);
  EXPECT_EQ(MenuPainterManager->ActivePainter(), nullptr);
  EXPECT_EQ(edit->Hook(), nullptr);
  EXPECT_FALSE(menu->OwnerDraw());
  EXPECT_TRUE(edit->Ctl3D());
  // ...and switched on again, it takes them up again.
  painter->SetActive(true);
  EXPECT_EQ(MenuPainterManager->ActivePainter(), painter);
  EXPECT_NE(TMenuPainter::SubClassOf(edit), nullptr);
  EXPECT_TRUE(menu->OwnerDraw());
  painter->SetDisableSubclassing(true);
  EXPECT_EQ(MenuPainterManager->ActivePainter(), nullptr) << "a painter that may not be the active one";
  EXPECT_EQ(edit->Hook(), nullptr);
}

TEST(PainterManager, FormsMoveToTheNextPainterAndNothingDangles) {
  auto first = std::make_unique<TForm>(nullptr);
  TMenuPainter* p1 = MainPainter(first.get());
  auto second = std::make_unique<TForm>(nullptr);
  TMenuPainter* p2 = MainPainter(second.get());
  p2->SetSelectColor(clRed);
  ASSERT_EQ(MenuPainterManager->ActivePainter(), p1);

  TForm dialog(nullptr);
  auto* edit = On<TEdit>(&dialog, &dialog, 10, 10, 80, 21);
  auto* menu = new TPopupMenu(&dialog);
  TMenuItem* cut = AddItem(&dialog, menu->Items(), "Cut");
  dialog.Show();
  ASSERT_EQ(TMenuPainter::SubClassOf(edit)->Painter(), p1);

  p1->SetDisableSubclassing(true);
  EXPECT_EQ(MenuPainterManager->ActivePainter(), p2);
  EXPECT_EQ(TMenuPainter::SubClassOf(edit)->Painter(), p2);
  first.reset();  // the first painter goes with its form

  // The dialog's item draws with the second painter's selection.
  ASSERT_TRUE(cut->OnAdvancedDrawItem);
  QImage img = FilledImage(100, 22, clFuchsia);
  TCanvas canvas(&img);
  cut->OnAdvancedDrawItem(cut, &canvas, {0, 0, 100, 22}, {odSelected});
  EXPECT_EQ(PixelAt(img, 90, 11), clRed);
  EXPECT_EQ(MenuPainterManager->PainterCount(), 1);
  second.reset();
  EXPECT_EQ(MenuPainterManager, nullptr) << "the manager goes with the last painter";
  EXPECT_EQ(edit->Hook(), nullptr) << "the dialog's edit is given back";
}

// ---------------------------------------------------------------- control states

TEST(PainterStates, HoverFocusPressTheSpaceKeyAndTheOverlayOnScreen) {
  qftest::TShownForm form;
  auto* edit = On<TEdit>(&form, &form, 10, 10, 80, 21);
  auto* check = On<TCheckBox>(&form, &form, 10, 40, 97, 17);
  auto* button = On<TButton>(&form, &form, 10, 70, 75, 25);
  auto* off = On<TButton>(&form, &form, 100, 70, 75, 25);
  off->SetEnabled(false);
  MainPainter(&form);
  TControlSubClass* e = TMenuPainter::SubClassOf(edit);
  TControlSubClass* k = TMenuPainter::SubClassOf(check);
  TControlSubClass* b = TMenuPainter::SubClassOf(button);
  const struct {
    const char* name;
    std::function<void()> act;
    std::function<bool()> holds;
  } steps[] = {
      {"mouse_over_the_edit", [&] { Enter(edit); }, [&] { return e->Hot(); }},
      {"mouse_leaves", [&] { Leave(edit); }, [&] { return !e->Hot(); }},
      {"focus", [&] { edit->SetFocus(); }, [&] { return e->Hot(); }},
      {"focus_goes", [&] { check->SetFocus(); }, [&] { return !e->Hot() && k->Hot(); }},
      {"a_disabled_control_ignores_the_mouse", [&] { Enter(off); },
       [&] { return !TMenuPainter::SubClassOf(off)->Hot(); }},
      {"space_held", [&] {
         for (int i = 0; i < 3; ++i) qftest::Key(check->ClientWidget(), Qt::Key_Space, " ");
       }, [&] { return k->SpaceDown(); }},
      {"space_released", [&] {
         qftest::Key(check->ClientWidget(), Qt::Key_Space, " ", Qt::NoModifier, QEvent::KeyRelease);
       }, [&] { return !k->SpaceDown(); }},
      {"a_new_check_state_ends_the_hover_look", [&] {
         Enter(check);
         check->SetChecked(!check->Checked());
       }, [&] { return !k->Hot(); }},
      {"pressed", [&] {
         SendMouse(button->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
       }, [&] { return b->MouseDown(); }},
      {"released", [&] {
         SendMouse(button->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});
       }, [&] { return !b->MouseDown(); }},
      {"a_double_click_is_a_press", [&] {
         SendMouse(button->ClientWidget(), QEvent::MouseButtonDblClick, Qt::LeftButton, {5, 5});
       }, [&] { return b->MouseDown(); }},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_TRUE(s.holds()) << s.name;
  }
  SendMouse(button->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});

  // The overlay shows on screen. Without the 3D look the edit is two pixels lower, as it follows its font.
  Enter(edit);
  EXPECT_EQ(edit->Height(), 19);
  const TRect all{0, 0, edit->Width(), edit->Height()};
  EXPECT_TRUE(ProcessEventsUntil(
      [&] { return qftest::Ring(edit->Handle()->grab().toImage(), all, LightenColor(clNavy, 60)); }));
}

// ---------------------------------------------------------------- control pictures

TEST(PainterPictures, EditsComboBoxesCheckBoxesAndButtons) {
  TForm form(nullptr);
  form.SetColor(RGB(200, 180, 160));
  auto* panel = On<TPanel>(&form, &form, 0, 150, 300, 100);
  panel->SetColor(RGB(100, 150, 200));
  auto* plain = On<TButton>(&form, panel, 10, 10, 75, 25);
  auto* tagged = On<TButton>(&form, panel, 100, 10, 75, 25);
  tagged->SetTag(1000);  // takes its face from the parent
  auto* edit = On<TEdit>(&form, &form, 10, 10, 80, 21);
  auto* bare = On<TEdit>(&form, &form, 10, 40, 80, 21);
  bare->SetBorderStyle(bsNone);
  bare->SetColor(RGB(250, 250, 240));
  auto* combo = On<TComboBox>(&form, &form, 10, 70, 145, 21);
  auto* check = On<TCheckBox>(&form, &form, 10, 100, 97, 17);
  check->SetChecked(true);
  TMenuPainter* painter = MainPainter(&form);
  const TXPColors colors = painter->Colors();

  EXPECT_EQ(PixelAt(PaintedOver(edit), 0, 5), ShadeColor(RGB(200, 180, 160), 60)) << "a quiet edit";
  EXPECT_EQ(PixelAt(PaintedOver(edit), 40, 10), clFuchsia) << "the text area is left alone";
  Enter(edit);
  EXPECT_EQ(PixelAt(PaintedOver(edit), 0, 5), LightenColor(clNavy, 60)) << "an edit under the mouse";

  EXPECT_EQ(PixelAt(PaintedOver(bare), 0, 5), RGB(250, 250, 240)) << "a borderless edit keeps its colour";
  Enter(bare);
  EXPECT_EQ(PixelAt(PaintedOver(bare), 0, 5), LightenColor(MixColors({RGB(250, 250, 240), RGB(200, 180, 160)}), 40))
      << "lighter than the mean of the two";

  // Outside the parent's colour; the quiet button, its arrow, the strip by the text; the text is the box's own.
  EXPECT_EQ(Missing(PaintedOver(combo), {At(0, 0, RGB(200, 180, 160)), At(140, 10, clBtnFace), At(135, 10, clBlack),
                                         At(127, 10, combo->Color()), At(120, 10, clFuchsia)}),
            "");
  Enter(combo);
  EXPECT_EQ(Missing(PaintedOver(combo), {At(140, 5, colors.SelectFill), At(0, 10, clNavy), At(60, 20, clNavy)}), "")
      << "the hot button and frame";

  // The box sits at the left (caption right of it); its inner box is 11 pixels: frame, fill, mark, caption.
  EXPECT_EQ(Missing(PaintedOver(check), {At(2, 3, clBtnShadow), At(10, 12, clWindow), At(4, 9, clHighlight),
                                         At(20, 8, clFuchsia)}),
            "");
  qftest::Key(check->ClientWidget(), Qt::Key_Space, " ");
  EXPECT_EQ(Missing(PaintedOver(check), {At(10, 12, colors.MediumSelect), At(4, 9, clWindow)}), "") << "held down";
  qftest::Key(check->ClientWidget(), Qt::Key_Space, " ", Qt::NoModifier, QEvent::KeyRelease);

  EXPECT_EQ(PixelAt(PaintedOver(plain), 5, 20), ColorToRGB(colors.IconBack));
  // The face, the corner showing the parent, the border.
  EXPECT_EQ(Missing(PaintedOver(tagged), {At(5, 20, LightenColor(RGB(100, 150, 200), 16)),
                                          At(0, 0, RGB(100, 150, 200)), At(4, 0, LightenColor(clBtnShadow, 30))}),
            "");
  Enter(tagged);
  EXPECT_EQ(PixelAt(PaintedOver(tagged), 5, 20), LightenColor(RGB(100, 150, 200), 40)) << "hot";
}

TEST(PainterPictures, ListBoxBordersAndASimpleComboBoxWithoutButton) {
  TForm form(nullptr);
  form.SetColor(RGB(200, 180, 160));
  auto* single = On<TListBox>(&form, &form, 10, 10, 100, 60);
  auto* bare = On<TListBox>(&form, &form, 120, 10, 100, 60);
  bare->SetBorderStyle(bsNone);
  auto* simple = On<TComboBox>(&form, &form, 10, 80, 145, 90);
  simple->SetStyle(csSimple);
  auto* ordinary = On<TComboBox>(&form, &form, 160, 80, 145, 21);
  TMenuPainter* painter = MainPainter(&form);

  // Taken up, a list box loses its sunken edge: one line that the painter colours.
  EXPECT_EQ(std::tuple(single->Ctl3D(), single->FrameWidth()), std::tuple(false, 1));
  const struct {
    const char* name;
    TListBox* list;
    bool hot;
    TColor border;
  } borders[] = {
      {"single_quiet", single, false, ShadeColor(RGB(200, 180, 160), 60)},
      {"single_hot", single, true, LightenColor(clNavy, 60)},
      {"none_quiet", bare, false, RGB(200, 180, 160)},
      {"none_hot", bare, true, LightenColor(clNavy, 80)},
  };
  for (const auto& b : borders) {
    if (b.hot) Enter(b.list);
    const QImage img = PaintedOver(b.list);
    EXPECT_TRUE(qftest::Ring(img, {0, 0, 100, 60}, b.border)) << b.name;
    EXPECT_EQ(PixelAt(img, 50, 30), clFuchsia) << b.name << ": the rows are left alone";
  }
  // Given back, the list box has its sunken edge again.
  painter->SetXPControls(painter->XPControls() >> xcListBox);
  EXPECT_EQ(TMenuPainter::SubClassOf(single), nullptr);
  EXPECT_EQ(std::tuple(single->Ctl3D(), single->FrameWidth()), std::tuple(true, 2));

  // The simple box gets the frame; where the ordinary one has its button, it has nothing.
  EXPECT_EQ(Missing(PaintedOver(simple), {At(0, 0, RGB(200, 180, 160)), At(140, 10, clFuchsia), At(135, 10, clFuchsia)}),
            "");
  EXPECT_EQ(Missing(PaintedOver(ordinary), {At(140, 10, clBtnFace), At(135, 10, clBlack)}), "");
}

// ---------------------------------------------------------------- menus

TEST(PainterMenus, MeasuringItems) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  TMenuItem* file = AddItem(&form, menu->Items(), "File");
  TMenuItem* plain = AddItem(&form, file, "Open");
  TMenuItem* accel = AddItem(&form, file, "&Open");
  TMenuItem* parent = AddItem(&form, file, "Open");
  AddItem(&form, parent, "Recent");
  TMenuItem* keyed = AddItem(&form, file, "Open", ShortCut('O', {ssCtrl}));
  TMenuItem* line = AddItem(&form, file, "-");
  TMenuItem* pictured = AddItem(&form, file, "Open");
  pictured->Bitmap().SetSize(40, 32);
  TMenuPainter* painter = MainPainter(&form);
  TCanvas measure;
  measure.Font = painter->Font();
  const int text = measure.TextWidth("Open");
  auto size = [&](TMenuItem* item, TFont font = TFont()) {
    int w = 0, h = 0;
    TCanvas canvas;
    if (font.Height() != TFont().Height()) painter->SetFont(font);
    painter->MeasureMenuItem(item, &canvas, w, h);
    return TSize{w, h};
  };
  const int th = measure.TextHeight("W");
  const struct {
    const char* name;
    TSize got, want;
  } cases[] = {
      {"a_pop_up_item", size(plain), {text + 5 + 24, th + (th * 3 + 2) / 4}},
      {"the_ampersand_does_not_count", size(accel), size(plain)},
      {"a_sub_menu_adds_its_arrow", size(parent), {text + 5 + 24 + 6, size(plain).cy}},
      {"the_short_cut_and_three_W",
       size(keyed),
       {measure.TextWidth("OpenCtrl+OWWW") + 5 + 24, size(plain).cy}},
      {"an_image_wider_than_the_column", size(pictured), {text + 5 + 40, 32 + 6}},
      {"a_bar_item_has_no_image_column", size(file), {measure.TextWidth("File") + 5, size(plain).cy}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
  TFont huge;
  huge.SetHeight(-40);
  EXPECT_EQ(size(line, huge).cy, 4) << "a separator whatever the font";
  painter->SetActive(false);
  int w = 7, h = 9;
  TCanvas canvas;
  painter->MeasureMenuItem(plain, &canvas, w, h);
  EXPECT_EQ((TSize{w, h}), (TSize{7, 9})) << "an inactive painter measures nothing";
}

TEST(PainterMenus, ASelectedItemAndTheBar) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  TMenuItem* file = AddItem(&form, menu->Items(), "File");
  TMenuItem* open = AddItem(&form, file, "Open");
  TMenuItem* dead = AddItem(&form, file, "Dead");
  dead->SetEnabled(false);
  TMenuPainter* painter = MainPainter(&form);
  const TXPColors colors = painter->Colors();
  auto draw = [&](TMenuItem* item, TOwnerDrawState state, int w, int h) {
    QImage img = FilledImage(w, h, clFuchsia);
    TCanvas canvas(&img);
    painter->DrawMenuItem(item, &canvas, {0, 0, w, h}, state);
    return img;
  };
  const struct {
    const char* name;
    TMenuItem* item;
    TOwnerDrawState state;
    int w, h;
    std::vector<qftest::TSpot> spots;
  } cases[] = {
      // Above the selection the image column; the frame reaches one short of the right with a flat menu.
      {"selected", open, {odSelected}, 150, 22,
       {At(0, 0, colors.IconBack), At(100, 0, colors.MenuBack), At(0, 1, clNavy), At(148, 12, clNavy),
        At(140, 12, colors.SelectFill)}},
      {"quiet", open, {}, 150, 22, {At(10, 12, colors.IconBack), At(140, 12, colors.MenuBack)}},
      {"disabled_shows_no_selection", dead, {odSelected, odDisabled}, 150, 22, {At(140, 12, colors.MenuBack)}},
      // The bar: hot tracking stops 7 short of the right, the open item keeps a shadow there.
      {"bar_hot", file, {odHotLight}, 80, 20,
       {At(60, 10, colors.SelectFill), At(72, 10, clNavy), At(76, 10, colors.MenuBar)}},
      {"bar_open", file, {odSelected}, 80, 20,
       {At(0, 10, clNavy), At(60, 10, colors.SelectFill), At(72, 10, clNavy),
        At(73, 15, ShadeColor(colors.MenuBar, 100)), At(78, 15, ShadeColor(colors.MenuBar, 10))}},
  };
  for (const auto& c : cases) EXPECT_EQ(Missing(draw(c.item, c.state, c.w, c.h), c.spots), "") << c.name;
}

// On screen the bar is its colour from edge to edge, between the items too,
// and an open item's frame and shadow leave its caption alone.
TEST(PainterMenus, TheBarOnScreenHasNoGaps) {
  qftest::TShownForm form;
  auto* menu = new TMainMenu(&form);
  TMenuItem* file = AddItem(&form, menu->Items(), "File");
  TMenuItem* project = AddItem(&form, menu->Items(), "Project");
  AddItem(&form, file, "Open");
  MainPainter(&form);
  QMenuBar* bar = menu->QtMenuBar();
  const QRect one = bar->actionGeometry(file->QtAction());
  EXPECT_EQ(bar->actionGeometry(project->QtAction()).left(), one.right() + 1) << "side by side";
  QImage img = bar->grab().toImage();
  for (int x = 0; x < img.width(); ++x) ASSERT_EQ(PixelAt(img, x, 1), ColorToRGB(clBtnFace)) << "at " << x;
  // Open, the frame 8 pixels in from the item's right runs down its whole height, over no caption.
  SendMouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, one.center());
  ASSERT_TRUE(ProcessEventsUntil([&] { return file->QtSubMenu()->isVisible(); }));
  img = bar->grab().toImage();
  file->QtSubMenu()->hide();
  for (int y = one.top() + 1; y < one.bottom() - 1; ++y)
    EXPECT_EQ(PixelAt(img, one.right() + 1 - 8, y), ColorToRGB(clNavy)) << "frame at y " << y;
}

// The items' drawing on screen is the menus' own; the painter's border is checked here.
TEST(PainterMenus, AnOpenMenuOnScreenHasTheFlatBorder) {
  qftest::TShownForm form;
  auto* menu = new TMainMenu(&form);
  TMenuItem* file = AddItem(&form, menu->Items(), "File");
  AddItem(&form, file, "Open");
  TMenuPainter* painter = MainPainter(&form);
  QMenu* popup = file->QtSubMenu();
  popup->popup(menu->QtMenuBar()->mapToGlobal(QPoint(0, 20)));
  ASSERT_TRUE(ProcessEventsUntil([&] { return popup->isVisible(); }));
  EXPECT_EQ(PixelAt(popup->grab().toImage(), 0, 0), ColorToRGB(painter->Colors().DarkShadow));
  popup->hide();
}

// ---------------------------------------------------------------- tool bars

TEST(PainterToolBars, AHotButton) {
  qftest::TShownForm form;
  form.SetBounds(200, 200, 300, 100);
  auto* bar = On<TToolBar>(&form, &form, 0, 0, 200, 29);
  auto* one = On<TToolButton>(&form, bar, 0, 0, 23, 22);
  auto* separator = On<TToolButton>(&form, bar, 0, 0, 8, 22);
  separator->SetStyle(tbsSeparator);
  separator->SetTag(1);
  auto* two = On<TToolButton>(&form, bar, 0, 0, 23, 22);
  TMenuPainter* painter = MainPainter(&form);
  Enter(one);
  ASSERT_TRUE(one->Hot());
  QImage img = FilledImage(bar->Width(), bar->Height(), clFuchsia);
  bar->PaintTo(img);
  const TRect r = one->BoundsRect(), s = separator->BoundsRect(), q = two->BoundsRect();
  // The hot frame and fill, a quiet button, the separator's line.
  EXPECT_EQ(Missing(img, {At(r.Left, r.Top, clNavy), At(r.Left + 3, r.Top + 3, LightenColor(16776176, 68)),
                          At(q.Left, q.Top, LightenColor(clBtnFace, 16)),
                          At(s.Left + s.Width() / 2, s.Top + 5, ShadeColor(clBtnFace, 30)),
                          At(s.Left, s.Top + 5, LightenColor(clBtnFace, 16))}),
            "");
  SendMouse(one->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {3, 3});
  img = FilledImage(bar->Width(), bar->Height(), clFuchsia);
  bar->PaintTo(img);
  EXPECT_EQ(PixelAt(img, r.Left + 3, r.Top + 3), ColorToRGB(painter->Colors().MediumSelect)) << "pressed";
  SendMouse(one->Handle(), QEvent::MouseButtonRelease, Qt::LeftButton, {3, 3});
}

// A drop-down button: its frame in two parts, the arrow, the bar item's
// pressed look while its menu is open; a transparent bar keeps what lies beneath.
TEST(PainterToolBars, ADropDownButtonAndATransparentBar) {
  qftest::TShownForm form;
  form.SetColor(RGB(10, 100, 10));
  auto* bar = On<TToolBar>(&form, &form, 0, 0, 200, 29);
  bar->SetColor(clBtnFace);  // its own colour, not the form's
  auto* drop = On<TToolButton>(&form, bar, 0, 0, 23, 22);
  drop->SetStyle(tbsDropDown);
  auto* quiet = On<TToolButton>(&form, bar, 0, 0, 23, 22);
  auto* menu = new TPopupMenu(&form);
  AddItem(&form, menu->Items(), "Item");
  drop->SetDropdownMenu(menu);
  MainPainter(&form);
  auto paint = [&] {
    QImage img = FilledImage(bar->Width(), bar->Height(), clFuchsia);
    bar->PaintTo(img);
    return img;
  };
  const TRect r = drop->BoundsRect(), q = quiet->BoundsRect();
  const int split = r.Right - TToolButton::DropDownWidth, mid = r.Top + r.Height() / 2;
  const int ax = r.Right - 10, ay = r.Top + (r.Height() - 3) / 2;  // rows of 5, 3 and 1 pixels
  Enter(drop);
  EXPECT_EQ(Missing(paint(), {At(split - 1, mid, clNavy), At(split, mid, clNavy), At(ax, ay, clBlack),
                              At(ax + 4, ay, clBlack), At(ax + 2, ay + 2, clBlack),
                              At(ax + 1, ay + 2, LightenColor(16776176, 68))}),
            "")
      << "hot: two frames, the arrow";
  SendMouse(drop->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {r.Width() - 4, 5});
  ASSERT_TRUE(ProcessEventsUntil([&] { return menu->QtPopup()->isVisible(); }));
  const QImage open = paint();
  menu->QtPopup()->hide();
  EXPECT_EQ(Missing(open, {At(r.Right - 3, mid, clNavy), At(r.Right - 2, mid, ShadeColor(clBtnFace, 70)),
                           At(r.Left, r.Bottom, clBtnFace)}),
            "")
      << "pressed with its menu open: the frame 3 short of the right, a shadow, nothing below";
  Leave(drop);
  EXPECT_EQ(PixelAt(paint(), q.Left + 3, q.Top + 3), LightenColor(clBtnFace, 16));
  bar->SetTransparent(true);
  EXPECT_EQ(PixelAt(paint(), q.Left + 3, q.Top + 3), RGB(10, 100, 10)) << "the form beneath";
}

}  // namespace
