#include "components/MenuPainter.h"

#include "components/FlatButton.h"
#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "components/FlatMemo.h"
#include "components/FlatOptionButton.h"
#include "components/FlatPanel.h"
#include "components/FlatSpinButton.h"

#include "ui/Bitmap.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <typeinfo>

TMenuPainterManager* MenuPainterManager = nullptr;

namespace {

// The operating-system facts the look depends on are fixed: an NT system of
// version 5.1 on a high-colour display. The metrics are the classic ones.
constexpr int kScrollThumb = 16;  // SM_CXHTHUMB
constexpr TColor kImageKey = RGB(255, 0, 255);

// The menu, tool-bar and band handlers are these callables, so that the
// painter knows its own handler from one the program set.
struct TMeasureThunk {
  TMenuPainter* Painter;
  void operator()(TObject* sender, TCanvas* canvas, int& width, int& height) const {
    Painter->MeasureMenuItem(static_cast<TMenuItem*>(sender), canvas, width, height);
  }
};
struct TDrawThunk {
  TMenuPainter* Painter;
  void operator()(TObject* sender, TCanvas* canvas, const TRect& rect, TOwnerDrawState state) const {
    Painter->DrawMenuItem(static_cast<TMenuItem*>(sender), canvas, rect, state);
  }
};
struct TFrameThunk {
  TMenuPainter* Painter;
  void operator()(TObject*, TCanvas* canvas, const TRect& rect) const { Painter->DrawWindowBorder(canvas, rect); }
};
struct TToolThunk {
  TMenuPainter* Painter;
  void operator()(TToolBar* bar, TToolButton* button, TCustomDrawState state, bool& defaultDraw) const {
    Painter->DrawToolButton(bar, button, state, defaultDraw);
  }
};
struct TBandThunk {
  TMenuPainter* Painter;
  void operator()(TObject* sender, TControl* control, TCanvas* canvas, TRect& rect, TBandPaintOptions& o) const {
    Painter->PaintControlBar(sender, control, canvas, rect, o);
  }
};

/** Whether fn is this painter's own handler of kind T. */
template <class T, class F>
bool Ours(const F& fn, const TMenuPainter* painter) {
  const T* t = fn.template target<T>();
  return t && t->Painter == painter;
}

/** Sets fn to the painter's handler (when free, or when overriding) or clears it (when it is ours). */
template <class T, class F>
void Hook(F& fn, TMenuPainter* painter, bool enable, bool override) {
  if (enable) {
    if (!fn || override) fn = T{painter};
  } else if (Ours<T>(fn, painter)) {
    fn = nullptr;
  }
}

void Line(TCanvas* c, int x1, int y1, int x2, int y2, TColor color) {
  c->Pen = TPen{color};
  c->MoveTo(x1, y1);
  c->LineTo(x2, y2);
}

void Fill(TCanvas* c, const TRect& r, TColor color) {
  c->Brush = TBrush{color, bsSolid};
  c->FillRect(r);
}

void Outline(TCanvas* c, const TRect& r, TColor color) {
  c->Brush = TBrush{color, bsSolid};
  c->FrameRect(r);
}

/** A rectangle in the pen with the brush inside and its corners cut by corner / 2 pixels. */
void RoundRectangle(TCanvas* c, const TRect& r, int corner) {
  const int k = std::min({corner / 2, r.Width() / 2, r.Height() / 2});
  const int right = r.Right - 1, bottom = r.Bottom - 1;
  c->Polygon({{r.Left + k, r.Top},
              {right - k, r.Top},
              {right, r.Top + k},
              {right, bottom - k},
              {right - k, bottom},
              {r.Left + k, bottom},
              {r.Left, bottom - k},
              {r.Left, r.Top + k}});
}

/** Applies fn to every pixel of bitmap that is not its transparent colour;
 *  the last source colour and its result are kept, as runs of one colour are common. */
template <class F>
void MapPixels(TBitmap& bitmap, TColor key, const F& fn) {
  TColor lastIn = -1, lastOut = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      std::uint8_t* p = row + 4 * x;
      const TColor in = RGB(p[2], p[1], p[0]);
      if (in == key) continue;
      if (in != lastIn) {
        lastIn = in;
        lastOut = fn(in);
      }
      p[0] = static_cast<std::uint8_t>(GetBValue(lastOut));
      p[1] = static_cast<std::uint8_t>(GetGValue(lastOut));
      p[2] = static_cast<std::uint8_t>(GetRValue(lastOut));
    }
  }
}

TForm* FormOf(TComponent* c) {
  if (auto* form = dynamic_cast<TForm*>(c)) return form;
  if (auto* control = dynamic_cast<TControl*>(c)) return GetParentForm(control);
  return nullptr;
}

bool HasPainter(const TComponent* owner) {
  for (int i = 0; i < owner->ComponentCount(); ++i)
    if (dynamic_cast<TMenuPainter*>(owner->Components(i))) return true;
  return false;
}

bool Is(const TControl* c, std::initializer_list<const char*> names) {
  const std::string name = ClassName(c);
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------- colour routines

TColor ShadeColor(TColor color, int v) {
  const TColor c = ColorToRGB(color);
  auto clamp = [](int x) { return std::clamp(x, 0, 255); };
  return RGB(clamp(GetRValue(c) - v), clamp(GetGValue(c) - v + 2), clamp(GetBValue(c) - v));
}

TColor LightenColor(TColor color, int p) {
  p = std::min(p, 100);
  const TColor c = ColorToRGB(color);
  auto up = [p](int ch) { return ch + static_cast<int>(std::lround((255 - ch) * p / 100.0)); };
  return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

TColor GrayColor(TColor color, int v) {
  const TColor c = ColorToRGB(color);
  const int g = std::min((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 + v, 240);
  return RGB(g, g, g);
}

TColor MixColors(std::initializer_list<TColor> colors) {
  const int n = static_cast<int>(colors.size());
  if (n == 0) return clBlack;
  int r = 0, g = 0, b = 0;
  for (TColor color : colors) {
    const TColor c = ColorToRGB(color);
    r += GetRValue(c) / n;
    g += GetGValue(c) / n;
    b += GetBValue(c) / n;
  }
  return RGB(r, g, b);
}

std::string ClassName(const TObject* object) {
  if (!object) return "";
  const char* mangled = typeid(*object).name();
  int status = 0;
  char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && plain ? plain : mangled;
  std::free(plain);
  // Only the class's own name counts, not the namespaces around it.
  const auto colons = name.rfind("::");
  return colons == std::string::npos ? name : name.substr(colons + 2);
}

// Our own flat controls paint flat already; these are the ones whose
// class-library bases the painter would otherwise take up.
bool IsFlatControl(const TControl* control) {
  return dynamic_cast<const TFlatComboBox*>(control) || dynamic_cast<const TFlatMemo*>(control) ||
         dynamic_cast<const TCustomFlatEdit*>(control) || dynamic_cast<const TFlatPanel*>(control) ||
         dynamic_cast<const TFlatGroupBox*>(control) || dynamic_cast<const TFlatOptionButton*>(control) ||
         dynamic_cast<const TFlatButton*>(control) || dynamic_cast<const TSpinButton*>(control);
}

// ---------------------------------------------------------------- TMenuPainter

TMenuPainter::TMenuPainter(TComponent* AOwner) : TComponent(AOwner) {
  FFont = MenuFont();
  FSelectFontColor = FFont.Color();
  FForm = dynamic_cast<TWinControl*>(AOwner);
  if (FForm) DeriveColors();
  if (!MenuPainterManager) MenuPainterManager = new TMenuPainterManager();
}

TMenuPainter::~TMenuPainter() {
  if (Owner()) ActivateComponents(Owner(), false, false);
  if (MenuPainterManager) {
    MenuPainterManager->Remove(this);
    if (MenuPainterManager->PainterCount() == 0) {
      delete MenuPainterManager;
      MenuPainterManager = nullptr;
    }
  }
  // Records still owned (controls of other forms) give their controls back.
  for (int i = ComponentCount() - 1; i >= 0; --i)
    if (auto* record = dynamic_cast<TControlSubClass*>(Components(i))) record->Release();
}

void TMenuPainter::Loaded() {
  if (FLoaded) return;
  FLoaded = true;
  if (MenuPainterManager) MenuPainterManager->Add(this);
}

void TMenuPainter::SetColour(TColor& field, TColor value) {
  field = value;
  FColorsChanged = true;
}

void TMenuPainter::SetFont(const TFont& font) {
  FFont.Assign(font);
  RedrawMenuBar();
}

void TMenuPainter::SetMenuBarColor(TColor value) {
  SetColour(FMenuBarColor, value);
  RedrawMenuBar();
}

void TMenuPainter::SetUseSystemColors(bool value) {
  FUseSystemColors = value;
  FColorsChanged = true;  // the working colours come from elsewhere now
  RedrawMenuBar();
}

void TMenuPainter::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  if (Owner()) ActivateComponents(Owner(), value, true);
  RedrawMenuBar();
  // A painter switched off no longer styles the other forms (their menus
  // would draw nothing); one switched on may take them over.
  if (!FLoaded || !MenuPainterManager) return;
  if (!value && MenuPainterManager->ActivePainter() == this)
    MenuPainterManager->ChangeActivePainter(this);
  else if (value && !MenuPainterManager->ActivePainter() && !FDisableSubclassing)
    MenuPainterManager->ChangeActivePainter(nullptr);
}

void TMenuPainter::SetXPContainers(TXPContainers value) { SetSets(value, FXPControls); }
void TMenuPainter::SetXPControls(TXPControls value) { SetSets(FXPContainers, value); }

void TMenuPainter::SetSets(TXPContainers containers, TXPControls controls) {
  if (containers == FXPContainers && controls == FXPControls) return;
  if (FActive && Owner()) ActivateComponents(Owner(), false, true);
  FXPContainers = containers;
  FXPControls = controls;
  if (FActive && Owner()) ActivateComponents(Owner(), true, true);
}

void TMenuPainter::SetDisableSubclassing(bool value) {
  if (value == FDisableSubclassing) return;
  FDisableSubclassing = value;
  if (!MenuPainterManager) return;
  if (MenuPainterManager->ActivePainter() == this)
    MenuPainterManager->ChangeActivePainter(this);
  else if (!MenuPainterManager->ActivePainter() && !value)
    MenuPainterManager->ChangeActivePainter(nullptr);
}

void TMenuPainter::RedrawMenuBar() {
  // A main menu measures and paints again when a top-level caption changes.
  if (!Owner()) return;
  for (int i = 0; i < Owner()->ComponentCount(); ++i)
    if (auto* menu = dynamic_cast<TMainMenu*>(Owner()->Components(i)); menu && menu->Items()->Count() > 0) {
      TMenuItem* first = menu->Items()->Items(0);
      const std::string caption = first->Caption();
      first->SetCaption("");
      first->SetCaption(caption);
    }
}

const TXPColors& TMenuPainter::Colors() {
  if (FColorsChanged) DeriveColors();
  return FColors;
}

void TMenuPainter::DeriveColors() {
  FColorsChanged = false;
  TXPColors& c = FColors;
  c.MenuBack = FColor;
  c.IconBack = FIconBackColor;
  if (FUseDimColor) {
    c.SelectFill = LightenColor(FSelectColor, 68);
    c.LightSelect = LightenColor(FSelectColor, 80);
    c.MediumSelect = LightenColor(FSelectColor, 50);
  } else {
    c.SelectFill = c.LightSelect = c.MediumSelect = FSelectColor;
  }
  c.DarkShadow = ShadeColor(clBtnFace, 90);
  c.LightShadow = ShadeColor(clBtnFace, 76);
  c.SelectBorder = FSelectBorderColor;
  c.SelectFont = FSelectFontColor;
  c.MenuBar = FMenuBarColor;
  c.Disabled = FDisabledColor;
  c.Checked = FCheckedColor;
  c.Separator = FSeparatorColor;
  if (FUseSystemColors) {
    c.SelectFont = FFont.Color();
    c.MenuBack = LightenColor(clBtnFace, 86);
    c.IconBack = LightenColor(clBtnFace, 16);
    c.SelectFill = LightenColor(clHighlight, 68);
    c.SelectBorder = clHighlight;
    c.MenuBar = clBtnFace;
    c.Disabled = LightenColor(clBtnShadow, 10);
    c.Separator = LightenColor(clBtnShadow, 25);
    c.Checked = clHighlight;
    c.LightSelect = LightenColor(clHighlight, 80);
    c.MediumSelect = LightenColor(clHighlight, 50);
  }
}

// Taking up and giving back ----------------------------------------------------

void TMenuPainter::ActivateComponents(TComponent* container, bool enable, bool update) {
  // Taking a component up may add records to this painter, never to the
  // container; still, walk a copy of the list.
  std::vector<TComponent*> list;
  for (int i = 0; i < container->ComponentCount(); ++i) list.push_back(container->Components(i));
  for (TComponent* c : list) ActivateComponent(c, enable, update);
}

void TMenuPainter::ActivateComponent(TComponent* component, bool enable, bool update) {
  if (!component || component == this) return;
  if (auto* menu = dynamic_cast<TMainMenu*>(component)) {
    if (FXPControls.Contains(xcMainMenu) && menu->Tag() != 999) {
      HookMenu(menu, enable, update);
      // The bar measures its items again.
      if (update && menu->Items()->Count() > 0) {
        TMenuItem* first = menu->Items()->Items(0);
        const std::string caption = first->Caption();
        first->SetCaption("");
        first->SetCaption(caption);
      }
    }
  } else if (auto* popup = dynamic_cast<TPopupMenu*>(component)) {
    if (FXPControls.Contains(xcPopupMenu) && popup->Tag() != 999) HookMenu(popup, enable, update);
  }
  if (auto* bar = dynamic_cast<TToolBar*>(component); bar && FXPControls.Contains(xcToolbar) && bar->Tag() != 999) {
    if (!bar->Flat()) bar->SetFlat(true);
    Hook<TToolThunk>(bar->OnCustomDrawButton, this, enable, FOverrideOwnerDraw);
    if (update) bar->Invalidate();
  }
  if (auto* bands = dynamic_cast<TControlBar*>(component);
      bands && FXPControls.Contains(xcControlbar) && bands->Tag() != 999) {
    Hook<TBandThunk>(bands->OnBandPaint, this, enable, FOverrideOwnerDraw);
    if (update) bands->Invalidate();
  }
  if (auto* control = dynamic_cast<TControl*>(component)) {
    HookControl(control, enable && TakesUp(control));
    if (update) control->Invalidate();
  }
  const bool frame = dynamic_cast<TFrame*>(component) && FXPContainers.Contains(xccFrame);
  if (frame || ClassName(component) == "TDBNavigator" || dynamic_cast<TForm*>(component))
    ActivateComponents(component, enable, update);
}

void TMenuPainter::ComponentInserted(TComponent* component) {
  if (FActive && FAutoDetect && dynamic_cast<TControlBar*>(component)) ActivateComponent(component, true, true);
}

bool TMenuPainter::TakesUp(const TControl* c) const {
  if (!c || c->Tag() == 999 || IsFlatControl(c)) return false;
  const TWinControl* parent = c->Parent();
  if (!parent || parent->Tag() == 999) return false;
  const TXPControls k = FXPControls;
  // The kinds; "is" takes derived classes too, a class name only that class.
  const bool kind = (k.Contains(xcCombo) && dynamic_cast<const TCustomComboBox*>(c)) ||
                    (k.Contains(xcEdit) && dynamic_cast<const TEdit*>(c)) ||
                    (k.Contains(xcMaskEdit) && Is(c, {"TMaskEdit", "TDBEdit"})) ||
                    (k.Contains(xcMemo) && dynamic_cast<const TCustomMemo*>(c)) ||
                    (k.Contains(xcCheckBox) && dynamic_cast<const TCustomCheckBox*>(c)) ||
                    (k.Contains(xcBitBtn) && Is(c, {"TBitBtn"})) ||
                    (k.Contains(xcButton) && Is(c, {"TButton", "TDBNavigator", "TDBLookupComboBox"})) ||
                    (k.Contains(xcUpDown) && Is(c, {"TUpDown"})) ||
                    (k.Contains(xcPanel) && dynamic_cast<const TCustomPanel*>(c)) ||
                    (k.Contains(xcListBox) && dynamic_cast<const TCustomListBox*>(c)) ||
                    (k.Contains(xcTreeView) && dynamic_cast<const TTreeView*>(c));
  if (!kind) return false;
  const TXPContainers w = FXPContainers;
  return (w.Contains(xccToolbar) && dynamic_cast<const TToolBar*>(parent)) ||
         (w.Contains(xccPanel) && dynamic_cast<const TCustomPanel*>(parent)) ||
         (w.Contains(xccControlbar) && dynamic_cast<const TControlBar*>(parent)) ||
         (w.Contains(xccFrame) && (dynamic_cast<const TFrame*>(parent) || Is(parent, {"TDBCtrlPanel"}))) ||
         (w.Contains(xccTabSheet) && Is(parent, {"TdxTabSheet"})) ||
         (w.Contains(xccForm) && dynamic_cast<const TForm*>(parent));
}

TControlSubClass* TMenuPainter::SubClassOf(const TControl* control) {
  return control ? dynamic_cast<TControlSubClass*>(control->Hook()) : nullptr;
}

void TMenuPainter::HookControl(TControl* control, bool enable) {
  TControlSubClass* record = SubClassOf(control);
  if (enable) {
    // A control taken up already (or painted by someone else) stays as it is.
    if (!control->Hook()) new TControlSubClass(this, control);
  } else if (record && record->Painter() == this) {
    record->Release();
  }
}

void TMenuPainter::HookMenu(TMenu* menu, bool enable, bool update) {
  // Without an update (the painter goes with its form) only the handlers
  // leave: nothing is measured or laid out again.
  if (update || enable) menu->SetOwnerDraw(enable);
  Hook<TFrameThunk>(menu->OnDrawFrame, this, enable, FOverrideOwnerDraw);
  for (int i = 0; i < menu->Items()->Count(); ++i) HookMenuItems(menu->Items()->Items(i), enable);
}

void TMenuPainter::HookMenuItems(TMenuItem* item, bool enable) {
  const bool take = enable && item->Tag() != 999;
  if (take || !enable) {
    Hook<TDrawThunk>(item->OnAdvancedDrawItem, this, enable, FOverrideOwnerDraw);
    Hook<TMeasureThunk>(item->OnMeasureItem, this, enable, FOverrideOwnerDraw);
  }
  for (int i = 0; i < item->Count(); ++i) HookMenuItems(item->Items(i), enable);
}

// Menu items -----------------------------------------------------------------

bool TMenuPainter::IsTopLevel(const TMenuItem* item) const {
  const TMenuItem* parent = item->Parent();
  const TMenu* menu = item->GetParentMenu();
  return parent && menu && parent == menu->Items() && dynamic_cast<const TMainMenu*>(menu);
}

TSize TMenuPainter::GetItemImageSize(const TMenuItem* item) const {
  if (const TImageList* list = item->ImageList(); list && item->ImageIndex() != -1)
    return {list->Width(), list->Height()};
  if (item->HasBitmap()) {
    const TBitmap& own = const_cast<TMenuItem*>(item)->Bitmap();
    return {own.Width(), own.Height()};
  }
  return {0, 0};
}

bool TMenuPainter::LoadItemImage(const TMenuItem* item, TBitmap& image) const {
  const TImageList* list = item->ImageList();
  const int index = item->ImageIndex();
  if (list && index >= 0 && index < list->Count()) {
    image.SetSize(list->Width(), list->Height());
    Fill(image.Canvas(), {0, 0, image.Width(), image.Height()}, kImageKey);
    list->Draw(image.Canvas(), 0, 0, index);
    image.SetTransparentColor(kImageKey);
  } else if (item->HasBitmap()) {
    // The colour of the bitmap's bottom-left pixel is its transparent colour.
    const TBitmap& own = const_cast<TMenuItem*>(item)->Bitmap();
    image.Assign(own);
    image.SetTransparentColor(image.Canvas()->Pixels(0, image.Height() - 1));
  } else {
    return false;
  }
  image.SetTransparent(true);
  return true;
}

void TMenuPainter::MeasureMenuItem(TMenuItem* item, TCanvas* canvas, int& width, int& height) {
  if (!FActive) return;
  const bool separator = item->IsLine();
  std::string text = separator ? "" : item->Caption();
  const std::string shortcut = ShortCutToText(item->ShortCut());
  if (!shortcut.empty()) text = item->Caption() + shortcut + "WWW";
  canvas->Font = FFont;
  int w = canvas->TextWidth(text) + 5;
  if (text.find('&') != std::string::npos) w -= canvas->TextWidth("&");
  const bool topLevel = IsTopLevel(item);
  if (!topLevel && item->Count() > 0) w += 6;
  TSize image = GetItemImageSize(item);
  if (!topLevel) image.cx = std::max(image.cx, FIconWidth);
  width = std::max(width, w + image.cx);
  if (separator) {
    height = 4;
    return;
  }
  const int th = canvas->TextHeight(text);
  int h = th + static_cast<int>(std::lround(th * 0.75));
  h = std::max(h, image.cy + 6);
  height = std::max(height, h);
}

void TMenuPainter::DrawMenuItem(TMenuItem* item, TCanvas* canvas, const TRect& rect, TOwnerDrawState state) {
  if (!FActive) return;
  const bool topLevel = IsTopLevel(item);
  const bool separator = item->IsLine();
  const bool selected = state.Contains(odSelected);
  const bool disabled = state.Contains(odDisabled) || !item->Enabled();
  // Drawn off screen and copied in one piece, so no half-drawn item is seen.
  int width = rect.Width() + 4, landX = rect.Left - 4;
  TRect R{4, 0, width, rect.Height()};
  if (topLevel) {
    width = rect.Width();
    landX = rect.Left;
    R = {0, 0, width, rect.Height() - 1};
  }
  if (width <= 0 || rect.Height() <= 0) return;
  TBitmap bmp(width, rect.Height());
  TCanvas* c = bmp.Canvas();
  const TXPColors& colors = Colors();
  c->Font = FFont;
  R.Bottom += 1;

  TBitmap image;
  const bool hasImage = LoadItemImage(item, image);
  const int imageWidth = hasImage ? image.Width() : 0;

  TRect IR{R.Left, R.Top, R.Left + FIconWidth, R.Bottom};
  TRect CR;
  if (hasImage) {
    CR = {IR.Left + 1, IR.Top + 2, IR.Right - 3, IR.Bottom - 2};
  } else {
    const int x = IR.Left + (IR.Width() - 10) / 2, y = IR.Top + (IR.Height() - 10) / 2;
    CR = {x, y, x + 10, y + 10};
  }
  if (imageWidth > FIconWidth) CR.Right = CR.Left + imageWidth;
  if (topLevel) OffsetRect(CR, 0, -1);

  TRect TR{R.Left + (topLevel ? 4 : FIconWidth), R.Top, R.Right, R.Bottom};
  if (TR.Left < R.Left + imageWidth) TR.Left = R.Left + imageWidth + 4;
  if (topLevel) {
    if (hasImage)
      TR.Left -= 5;
    else
      TR = R;
  }

  // Background.
  if (topLevel) {
    const TColor bar = FDrawMenuBar ? FMenuBarColor : colors.MenuBar;
    Fill(c, R, bar);
    const TMenuItem* parent = item->Parent();
    if (FDrawMenuBar && parent->IndexOf(item) == parent->Count() - 1) {
      // The last item paints the rest of the bar.
      Fill(canvas, {rect.Left, rect.Top, canvas->ClipRect().Right + 5, rect.Bottom}, bar);
    }
  } else if (FGradient) {
    FillGradient(c, {R.Left, R.Top, R.Right + 2, R.Bottom});
  } else {
    Fill(c, {R.Left - 4, R.Top, R.Right, R.Bottom}, colors.MenuBack);
    Fill(c, IR, colors.IconBack);
  }

  const TColor captionColor = disabled ? colors.Disabled : FFont.Color();
  if (FDrawSelect && selected) {
    if (topLevel) {
      DrawTopMenuItem(c, R, FDrawMenuBar ? FMenuBarColor : colors.MenuBar, true);
    } else if (!disabled) {
      TRect S{R.Left, R.Top + 1, R.Right - (FFlatMenu ? 1 : 0), R.Bottom - 1};
      c->Pen = TPen{colors.SelectBorder};
      c->Brush = TBrush{colors.SelectFill, bsSolid};
      c->Rectangle(S);
    }
  } else if (topLevel && !disabled && state.Contains(odHotLight)) {
    // Hot tracking of the bar.
    c->Pen = TPen{colors.SelectBorder};
    c->Brush = TBrush{colors.SelectFill, bsSolid};
    c->Rectangle(R.Left, R.Top, R.Right - 7, R.Bottom);
  }

  if (item->Checked()) DrawCheckMark(c, CR, item->RadioItem(), hasImage, selected, disabled);
  if (hasImage) DrawItemImage(c, image, IR, selected, !disabled, item->Checked(), topLevel, false);

  if (separator) {
    const int y = TR.Top + static_cast<int>(std::lround(TR.Height() / 2.0));
    Line(c, TR.Left + 7, y, TR.Right, y, colors.Separator);
  } else {
    TR.Left += 3;
    const int th = c->TextHeight("W");
    TR.Top += (TR.Height() - th) / 2;
    TR.Bottom = TR.Top + th;
    DrawItemText(c, item->Caption(), topLevel ? "" : ShortCutToText(item->ShortCut()), TR, selected, disabled,
                 topLevel, item->Default(), captionColor);
  }
  canvas->Draw(landX, rect.Top, bmp);
}

void TMenuPainter::DrawTopMenuItem(TCanvas* c, const TRect& r, TColor bar, bool menuItem) {
  const TXPColors& colors = Colors();
  Fill(c, r, colors.SelectFill);
  if (menuItem) {
    const int right = r.Right - 8;
    Line(c, r.Left, r.Bottom - 1, r.Left, r.Top, colors.SelectBorder);
    c->LineTo(right, r.Top);
    c->LineTo(right, r.Bottom);
    // The shadow at the right, darker towards the item.
    const int x = right + 1;
    Fill(c, {x, r.Top, r.Right, r.Bottom}, ShadeColor(bar, 10));
    Fill(c, {x, r.Top + 3, x + 5, r.Bottom}, ShadeColor(bar, 30));
    Fill(c, {x, r.Top + 5, x + 4, r.Bottom}, ShadeColor(bar, 60));
    Fill(c, {x, r.Top + 6, x + 2, r.Bottom}, ShadeColor(bar, 100));
    // Rounded at the top: the corner keeps the bar, fading into the shadow.
    Line(c, x, r.Top, r.Right, r.Top, bar);
    Line(c, x + 3, r.Top + 1, r.Right, r.Top + 1, bar);
    c->SetPixels(x, r.Top + 1, ShadeColor(bar, 40));
    c->SetPixels(x + 1, r.Top + 1, ShadeColor(bar, 30));
    c->SetPixels(x + 2, r.Top + 1, ShadeColor(bar, 10));
    Line(c, x, r.Top + 2, x + 5, r.Top + 2, ShadeColor(bar, 10));
  } else {
    const int right = r.Right - 3;
    Line(c, r.Left, r.Bottom - 1, r.Left, r.Top, colors.SelectBorder);
    c->LineTo(right, r.Top);
    c->LineTo(right, r.Bottom);
    Fill(c, {right + 1, r.Top, r.Right, r.Bottom}, ShadeColor(bar, 70));
    Fill(c, {right + 1, r.Top, r.Right, r.Top + 2}, bar);
  }
}

void TMenuPainter::DrawCheckMark(TCanvas* c, const TRect& r, bool radio, bool hasImage, bool selected,
                                 bool disabled) {
  const TXPColors& colors = Colors();
  const TColor pen = disabled ? colors.Disabled : colors.SelectBorder;
  c->Brush = TBrush{selected ? colors.MediumSelect : colors.LightSelect, bsSolid};
  if (radio) {
    c->Pen = TPen{pen};
    if (hasImage) {
      RoundRectangle(c, r, 6);
    } else {
      c->Ellipse(r);
      c->Brush.Color = pen;
      c->Ellipse(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
    }
    return;
  }
  if (hasImage) {
    c->Pen = TPen{pen};
    c->Rectangle(r);
    return;
  }
  c->Pen = TPen{colors.Checked};
  c->Rectangle(r);
  const TColor tick = disabled ? colors.Disabled : clBlack;
  Line(c, r.Left + 1, r.Top + 5, r.Left + 4, r.Bottom - 2, tick);
  Line(c, r.Left + 2, r.Top + 5, r.Left + 4, r.Bottom - 3, tick);
  Line(c, r.Left + 2, r.Top + 4, r.Left + 5, r.Bottom - 3, tick);
  Line(c, r.Left + 4, r.Bottom - 3, r.Right + 2, r.Top - 1, tick);
  Line(c, r.Left + 4, r.Bottom - 2, r.Right - 2, r.Top + 3, tick);
}

void TMenuPainter::DrawItemImage(TCanvas* c, TBitmap& image, const TRect& r, bool selected, bool enabled,
                                 bool checked, bool topLevel, bool toolButton) {
  const TXPColors& colors = Colors();
  const TColor key = image.EffectiveTransparentColor();
  int x = r.Left, y = r.Top + 1;
  if (!toolButton) {
    y += 2;
    if (image.Width() < FIconWidth) x += (FIconWidth - image.Width()) / 2 - 1;
  } else {
    x = r.Left + (r.Width() - image.Width()) / 2;
    y = r.Top + (r.Height() - image.Height()) / 2;
  }
  if (selected && enabled && !checked) {
    const TColor base = toolButton && !FUseSystemColors ? LightenColor(FSelectColor, 68) : colors.SelectFill;
    const TColor shadow = ShadeColor(base, 50);
    for (int py = 0; py < image.Height(); ++py)
      for (int px = 0; px < image.Width(); ++px)
        if (image.Canvas()->Pixels(px, py) != key) c->SetPixels(x + px + 2, y + py + 2, shadow);
    x -= topLevel ? 0 : 1;
    y -= topLevel ? 2 : 1;
  } else if (enabled && !selected && !checked) {
    MapPixels(image, key, [this](TColor p) { return LightenColor(p, FDimLevel); });
  } else if (!enabled) {
    MapPixels(image, key, [this](TColor p) { return LightenColor(GrayColor(p, FGrayLevel), 40); });
  }
  c->Draw(x, y, image);
}

void TMenuPainter::DrawItemText(TCanvas* c, const std::string& caption, const std::string& shortcut, TRect r,
                                bool selected, bool disabled, bool topLevel, bool isDefault, TColor captionColor) {
  const TXPColors& colors = Colors();
  c->Font = FFont;
  TColor color = captionColor;
  if (selected) color = colors.SelectFont;
  if (disabled) color = colors.Disabled;
  if (selected && topLevel && FUseSystemColors) {
    const TColor back = ColorToRGB(colors.IconBack);
    const bool light = (GetRValue(back) + GetBValue(back)) / 2 > 150 || GetGValue(back) > 200;
    color = light ? FFont.Color() : LightenColor(colors.IconBack, 90);
  }
  c->Brush.Style = bsClear;
  const unsigned flags = DT_LEFT | DT_SINGLELINE;
  if (isDefault && !disabled) {
    // Embossed: passes in the shaded colour of what lies under the text.
    const TColor under = c->Pixels(r.Left, r.Top);
    const struct {
      int dx, dy, shade;
    } passes[] = {{2, 2, 30}, {2, 1, 30}, {1, 2, 40}, {1, 1, 60}};
    for (const auto& p : passes) {
      TRect shifted = r;
      OffsetRect(shifted, p.dx, p.dy);
      c->Font.SetColor(ShadeColor(under < 0 ? colors.MenuBack : under, p.shade));
      c->DrawText(caption, shifted, flags);
    }
  }
  c->Font.SetColor(color);
  c->DrawText(caption, r, flags);
  if (!shortcut.empty()) {
    TRect s = r;
    s.Right -= 10;
    c->DrawText(shortcut + " ", s, DT_RIGHT | DT_SINGLELINE);
  }
  c->Brush.Style = bsSolid;
}

void TMenuPainter::FillGradient(TCanvas* c, const TRect& r) {
  const TColor base = Colors().IconBack;
  int step = 1;
  for (int x = r.Left; x < r.Right; ++x) {
    Fill(c, {x, r.Top, x + 1, r.Bottom}, LightenColor(base, step));
    step = std::min(96, step + (x < r.Left + FIconWidth + 5 ? 3 : 1));
  }
}

void TMenuPainter::DrawWindowBorder(TCanvas* c, const TRect& rect) {
  if (!FFlatMenu) {
    // The classic raised border.
    TRect r = rect;
    c->DrawEdge(r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    Outline(c, r, clMenu);
    return;
  }
  const TXPColors& colors = Colors();
  // A one-pixel frame; inside it the image column and the menu background
  // run on to the frame, as the items paint them.
  Outline(c, rect, colors.DarkShadow);
  const int column = rect.Left + 3 + FIconWidth;
  Fill(c, {rect.Left + 1, rect.Top + 1, rect.Left + 3, rect.Bottom - 1}, colors.IconBack);
  Fill(c, {rect.Right - 3, rect.Top + 1, rect.Right - 1, rect.Bottom - 1}, colors.MenuBack);
  for (int y : {rect.Top + 1, rect.Bottom - 3}) {
    Fill(c, {rect.Left + 1, y, column, y + 2}, colors.IconBack);
    Fill(c, {column, y, rect.Right - 1, y + 2}, colors.MenuBack);
  }
}

// Tool bars and control bars -------------------------------------------------

void TMenuPainter::DrawToolButton(TToolBar* bar, TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
  const TXPColors& colors = Colors();
  const TColor hotFill = !FUseSystemColors ? LightenColor(FSelectColor, 68) : colors.SelectFill;
  const TColor back = LightenColor(bar->Color(), 16);
  TCanvas* c = bar->Canvas();
  const TRect r = button->BoundsRect();
  // A transparent bar shows what lies beneath it.
  if (!bar->Transparent()) Fill(c, r, back);
  const bool hot = state.Contains(cdsHot), checked = state.Contains(cdsChecked);
  const bool pressed = state.Contains(cdsSelected), disabled = state.Contains(cdsDisabled);
  const bool dropDown = button->Style() == tbsDropDown;
  // The main part of a drop-down button, left of its arrow part.
  const TRect main{r.Left, r.Top, dropDown ? r.Right - button->DropDownWidth : r.Right, r.Bottom};
  TColor face = clNone;
  if (hot)
    face = checked || pressed ? colors.MediumSelect : hotFill;
  else if (checked)
    face = colors.LightSelect;
  else if (state.Contains(cdsIndeterminate))
    face = hotFill;
  if (face != clNone) {
    c->Pen = TPen{colors.SelectBorder};
    c->Brush = TBrush{face, bsSolid};
    c->Rectangle(main);
    if (dropDown) c->Rectangle(main.Right, r.Top, r.Right, r.Bottom);
  }
  if (pressed && button->DropdownMenu()) DrawTopMenuItem(c, r, bar->Color(), false);
  defaultDraw = false;
  if (dropDown) DrawDropDownArrow(c, r, clBlack);

  TImageList* list = bar->Images();
  if (disabled && bar->DisabledImages()) list = bar->DisabledImages();
  if (!disabled && hot && bar->HotImages()) list = bar->HotImages();
  const int index = button->ImageIndex();
  const bool caption = bar->ShowCaptions() && !button->Caption().empty();
  c->Font = FFont;
  const int textHeight = caption ? c->TextHeight("W") : 0;
  if (list && index >= 0 && index < list->Count()) {
    TBitmap image(list->Width(), list->Height());
    Fill(image.Canvas(), {0, 0, image.Width(), image.Height()}, kImageKey);
    list->Draw(image.Canvas(), 0, 0, index, !disabled || list == bar->DisabledImages());
    image.SetTransparentColor(kImageKey);
    image.SetTransparent(true);
    const TRect place{main.Left, main.Top, main.Right, main.Bottom - (caption ? textHeight + 2 : 0)};
    DrawItemImage(c, image, place, hot && !pressed, !disabled, checked, false, true);
  }
  if (caption) {
    TRect t{main.Left, main.Bottom - textHeight - 3, main.Right, main.Bottom - 3};
    c->Font = FFont;
    c->Font.SetColor(disabled ? colors.Disabled : FFont.Color());
    c->Brush.Style = bsClear;
    c->DrawText(button->Caption(), t, DT_CENTER | DT_SINGLELINE);
    c->Brush.Style = bsSolid;
  }

  // The separator before the button takes the background, and a line when its Tag asks.
  TToolButton* before = nullptr;
  for (int i = 0; i < bar->ControlCount() && bar->Controls(i) != button; ++i)
    if (bar->Controls(i)->Visible()) before = dynamic_cast<TToolButton*>(bar->Controls(i));
  if (before && before->IsSeparator()) {
    const TRect s = before->BoundsRect();
    if (!bar->Transparent()) Fill(c, s, back);
    if (before->Tag() > 0) {
      const int x = s.Left + s.Width() / 2;
      Line(c, x, s.Top + 2, x, s.Bottom - 1, ShadeColor(bar->Color(), 30));
    }
  }
}

void TMenuPainter::PaintControlBar(TObject* sender, TControl*, TCanvas* c, TRect& r, TBandPaintOptions& options) {
  options = {};
  const auto* bands = dynamic_cast<const TControl*>(sender);
  const TColor color = bands ? bands->Color() : clBtnFace;
  Fill(c, r, LightenColor(color, 6));
  // The grip: short lines on every other row, darker towards the bottom.
  int shade = 30;
  for (int y = r.Top + 5; y <= r.Bottom - 5; y += 2, shade += 7) Line(c, r.Left + 3, y, r.Left + 6, y, ShadeColor(color, shade));
}

// ---------------------------------------------------------------- control painting

TControlSubClass::TControlSubClass(TMenuPainter* painter, TControl* control)
    : TComponent(painter), FControl(control), FPainter(painter) {
  if (auto* edit = dynamic_cast<TCustomEdit*>(control)) {
    FSavedCtl3D = edit->Ctl3D();
    FSavedBorderNone = edit->BorderStyle() == bsNone;
    // The flat frame replaces the sunken one.
    edit->SetCtl3D(false);
  }
  if (auto* list = dynamic_cast<TCustomListBox*>(control)) {
    FSavedCtl3D = list->Ctl3D();
    FSavedBorderNone = list->BorderStyle() == bsNone;
    list->SetCtl3D(false);
  }
  if (auto* check = dynamic_cast<TCustomCheckBox*>(control)) FLastCheck = check->State();
  control->SetHook(this);
}

TControlSubClass::~TControlSubClass() {
  if (FControl && FControl->Hook() == this) FControl->SetHook(nullptr);
}

void TControlSubClass::Release() {
  if (FControl) {
    if (FControl->Hook() == this) FControl->SetHook(nullptr);
    if (auto* edit = dynamic_cast<TCustomEdit*>(FControl)) edit->SetCtl3D(FSavedCtl3D);
    if (auto* list = dynamic_cast<TCustomListBox*>(FControl)) list->SetCtl3D(FSavedCtl3D);
    FControl = nullptr;
  }
  delete this;
}

void TControlSubClass::Changed() {
  if (FControl) FControl->InvalidateHook();
}

void TControlSubClass::ControlMessage(TControl* control, TControlMessage message, int param) {
  if (control != FControl) return;
  const bool enabled = control->Enabled();
  switch (message) {
    case TControlMessage::Destroying:
      // The control goes; so does the record, without touching it again.
      FControl = nullptr;
      delete this;
      return;
    case TControlMessage::FocusIn: FHot = true; break;
    case TControlMessage::FocusOut:
    case TControlMessage::Exit: FHot = false; break;
    case TControlMessage::MouseEnter:
      if (!enabled) return;
      FHot = true;
      break;
    case TControlMessage::MouseLeave:
      if (!enabled) return;
      FHot = false;
      break;
    case TControlMessage::LButtonDblClk:
      // A double click on a button or check box is another press.
      if (!dynamic_cast<TButton*>(control) && !dynamic_cast<TCheckBox*>(control)) return;
      [[fallthrough]];
    case TControlMessage::LButtonDown: FMouseDown = true; break;
    case TControlMessage::LButtonUp: FMouseDown = false; break;
    case TControlMessage::KeyDown:
      if (param != VK_SPACE) return;
      FSpaceDown = true;
      // A held key repeats; the pressed look is painted once.
      if (FSpaceSeen) return;
      FSpaceSeen = true;
      break;
    case TControlMessage::KeyUp:
      if (param != VK_SPACE) return;
      FSpaceDown = FSpaceSeen = false;
      break;
    case TControlMessage::EnabledChanged:
      if (!enabled) FHot = false;
      break;
    case TControlMessage::StateChanged:
      // A new check state ends the hover look; a press only repaints.
      if (auto* check = dynamic_cast<TCustomCheckBox*>(control); check && check->State() != FLastCheck) {
        FLastCheck = check->State();
        FHot = false;
      }
      break;
    case TControlMessage::TextChanged:
    case TControlMessage::ParentColorChanged:
    case TControlMessage::Paint: break;
  }
  Changed();
}

TColor TControlSubClass::ParentColor() const {
  const TWinControl* parent = FControl->Parent();
  return parent ? parent->Color() : clBtnFace;
}

void TControlSubClass::PaintOver(TControl* control, TCanvas* c) {
  if (control != FControl || !FPainter->Active()) return;
  auto* win = dynamic_cast<TWinControl*>(control);
  FFocused = win && win->Focused();
  const TRect r{0, 0, control->Width(), control->Height()};
  if (dynamic_cast<TCustomComboBox*>(control)) PaintCombo(c, r);
  if (dynamic_cast<TCustomEdit*>(control)) PaintEdit(c, r);
  if (dynamic_cast<TCustomCheckBox*>(control)) PaintCheckBox(c, r);
  if (dynamic_cast<TButton*>(control)) PaintButton(c, r);
  if (dynamic_cast<TCustomPanel*>(control)) PaintPanel(c, r);
  if (dynamic_cast<TCustomListBox*>(control) || dynamic_cast<TTreeView*>(control)) PaintBorder(c, r);
}

void TControlSubClass::PaintCombo(TCanvas* c, const TRect& client) {
  const TXPColors& colors = FPainter->Colors();
  auto* combo = static_cast<TCustomComboBox*>(FControl);
  const TColor own = FControl->Color(), parent = ParentColor();
  TColor arrow = FControl->Enabled() ? clBlack : clWhite;
  TColor frame, button;
  if (FHot) {
    frame = colors.SelectBorder;
    button = colors.SelectFill;
  } else if (FFocused) {
    frame = LightenColor(colors.SelectBorder, 60);
    button = colors.LightSelect;
  } else {
    frame = own;
    button = FControl->Tag() == 1000 ? LightenColor(parent, FPainter->FLightenFace) : clBtnFace;
  }
  TRect r = client;
  Outline(c, r, parent);
  InflateRect(r, -1, -1);
  Line(c, r.Left, r.Top, r.Right, r.Top, parent);
  InflateRect(r, 0, -1);
  if (FHot || FFocused) InflateRect(r, 1, 1);
  Outline(c, r, own);
  r.Bottom += 1;
  Outline(c, r, frame);
  if (combo->Style() == csSimple) return;  // the frame, no button, no arrow
  if (combo->DroppedDown()) {
    frame = colors.SelectBorder;
    arrow = clWhite;
    button = colors.MediumSelect;
  }
  InflateRect(r, -1, -1);
  TRect b{r.Right - (kScrollThumb + 1), r.Top, r.Right, r.Bottom};
  if (FHot || FFocused) b.Left -= 1;
  Fill(c, b, button);
  // A strip of the field's colour between the text and the button, and the button's edge.
  Fill(c, {b.Left, b.Top, b.Left + 5, b.Bottom}, own);
  Line(c, b.Left + 4, b.Top, b.Left + 4, b.Bottom, frame);
  const int x = client.Right - 10, y = client.Top + 10;
  Line(c, x, y, x + 5, y, arrow);
  Line(c, x + 1, y + 1, x + 4, y + 1, arrow);
  Line(c, x + 2, y + 2, x + 3, y + 2, arrow);
}

void TControlSubClass::PaintEdit(TCanvas* c, const TRect& r) {
  const TXPColors& colors = FPainter->Colors();
  TColor border = FHot || FFocused ? LightenColor(colors.SelectBorder, 60) : ShadeColor(ParentColor(), 60);
  if (FSavedBorderNone)
    border = FHot && !FFocused ? LightenColor(MixColors({FControl->Color(), ParentColor()}), 40) : FControl->Color();
  Outline(c, r, border);
}

void TControlSubClass::PaintCheckBox(TCanvas* c, const TRect& client) {
  const TXPColors& colors = FPainter->Colors();
  auto* check = static_cast<TCustomCheckBox*>(FControl);
  TColor fill = clWindow, frame = clBtnShadow;
  if (FHot || FFocused) {
    fill = colors.SelectFill;
    frame = colors.SelectBorder;
  }
  if (FSpaceDown || FMouseDown) fill = colors.MediumSelect;
  if (check->State() == cbGrayed) fill = clSilver;
  TRect r = client;
  InflateRect(r, 0, -3);
  const int s = kScrollThumb;
  const int top = r.Top + (r.Height() - s) / 2;
  // The caption left of the box puts the box at the right edge.
  TRect box = check->Alignment() == taLeftJustify ? TRect{r.Right - s + 1, top, r.Right, top + s - 1}
                                                   : TRect{r.Left, top, r.Left + s - 1, top + s - 1};
  Fill(c, box, FControl->Color());
  InflateRect(box, -2, -2);
  c->Pen = TPen{frame};
  c->Brush = TBrush{fill, bsSolid};
  c->Rectangle(box);
  if (check->State() == cbUnchecked) return;
  TColor mark = FSpaceDown || FMouseDown ? clWindow : check->State() == cbGrayed ? clGray : clHighlight;
  if (!FControl->Enabled()) mark = colors.Disabled;
  const int x = box.Left + 2, y = box.Bottom - 3;
  c->Pen = TPen{mark};
  for (int k = 2; k <= 4; ++k) c->Polyline({{x, y - k}, {x + 2, y - k + 2}, {x + 7, y - k - 3}});
}

void TControlSubClass::PaintButton(TCanvas* c, const TRect& r) {
  const TXPColors& colors = FPainter->Colors();
  const TColor parent = ParentColor();
  const bool tag = FControl->Tag() == 1000;
  TColor face, border;
  if (FHot) {
    face = LightenColor(tag ? parent : clBtnFace, FPainter->FLightenHot);
    border = LightenColor(colors.SelectBorder, 60);
  } else {
    face = tag ? LightenColor(parent, FPainter->FLightenFace) : colors.IconBack;
    border = FFocused ? LightenColor(colors.SelectBorder, 60) : clBtnShadow;
  }
  Fill(c, r, parent);
  c->Pen = TPen{LightenColor(border, 30)};
  c->Brush = TBrush{face, bsSolid};
  RoundRectangle(c, r, 4);
  if (FControl->Enabled()) {
    const TColor edge = ShadeColor(border, 50);
    if ((FMouseDown && FHot) || FSpaceDown) {
      Line(c, r.Left + 1, r.Bottom - 2, r.Left + 1, r.Top + 1, edge);
      c->LineTo(r.Right - 1, r.Top + 1);
    } else {
      Line(c, r.Right - 2, r.Top + 1, r.Right - 2, r.Bottom - 2, edge);
      c->LineTo(r.Left, r.Bottom - 2);
    }
  }
  c->Font = FControl->Font();
  if (!FControl->Enabled()) c->Font.SetColor(colors.Disabled);
  c->Brush.Style = bsClear;
  TRect t = r;
  c->DrawText(FControl->Caption(), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  c->Brush.Style = bsSolid;
}

void TControlSubClass::PaintPanel(TCanvas* c, const TRect& client) {
  auto* panel = static_cast<TCustomPanel*>(FControl);
  const TColor dark = ShadeColor(FControl->Color(), 60), light = LightenColor(FControl->Color(), 60);
  TRect r = client;
  auto bevel = [&](TPanelBevel kind) {
    const TColor topLeft = kind == bvLowered ? dark : light, bottomRight = kind == bvLowered ? light : dark;
    for (int i = 0; i < panel->BevelWidth(); ++i) {
      Line(c, r.Left, r.Bottom - 1, r.Left, r.Top, topLeft);
      c->LineTo(r.Right - 1, r.Top);
      Line(c, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, bottomRight);
      c->LineTo(r.Left - 1, r.Bottom - 1);
      InflateRect(r, -1, -1);
    }
  };
  if (panel->BevelOuter() != bvNone) bevel(panel->BevelOuter());
  if (panel->BevelInner() != bvNone) {
    InflateRect(r, -panel->BorderWidth(), -panel->BorderWidth());
    bevel(panel->BevelInner());
  }
}

void TControlSubClass::PaintBorder(TCanvas* c, const TRect& r) {
  const TXPColors& colors = FPainter->Colors();
  auto* tree = dynamic_cast<TTreeView*>(FControl);
  const bool single = (tree ? tree->BorderStyle() : static_cast<TCustomListBox*>(FControl)->BorderStyle()) == bsSingle;
  TColor border;
  if (FHot || FFocused)
    border = LightenColor(colors.SelectBorder, single ? 60 : 80);
  else
    border = single ? ShadeColor(ParentColor(), 60) : ParentColor();
  Outline(c, r, border);
  // A tree keeps its sunken edge: without the 3D look it is a single line,
  // so its inner ring takes the field's colour. A list box lost its 3D look.
  if (single && tree) {
    TRect inner = r;
    InflateRect(inner, -1, -1);
    Outline(c, inner, FControl->Color());
  }
}

// ---------------------------------------------------------------- manager

/** The manager's hook on the application: forms that come on screen, and
 *  control bars placed on a form later. */
struct TMenuPainterManager::TWatch : QObject {
  explicit TWatch(TMenuPainterManager* manager) : Manager(manager) { qApp->installEventFilter(this); }
  ~TWatch() override {
    if (qApp) qApp->removeEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::Show && e->type() != QEvent::ParentChange) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    TControl* c = w ? TControl::FromWidget(w) : nullptr;
    if (!c || c->Handle() != w) return false;
    if (e->type() == QEvent::Show) {
      if (auto* form = dynamic_cast<TForm*>(c); form && w->isWindow()) Manager->FormShown(form);
    } else if (auto* bands = dynamic_cast<TControlBar*>(c)) {
      if (TForm* form = GetParentForm(bands))
        for (int i = 0; i < form->ComponentCount(); ++i)
          if (auto* painter = dynamic_cast<TMenuPainter*>(form->Components(i))) painter->ComponentInserted(bands);
    }
    return false;
  }
  /** A form in the lists leaves them when its window goes. */
  void Track(TForm* form) {
    QWidget* w = form->Handle();
    if (!Watched.insert(w).second) return;
    QObject::connect(w, &QObject::destroyed, this, [this, form, w] {
      Watched.erase(w);
      Manager->FormGone(form);
    });
  }
  TMenuPainterManager* Manager;
  std::set<QWidget*> Watched;
};

TMenuPainterManager::TMenuPainterManager() {
  if (qApp) FWatch = std::make_unique<TWatch>(this);
}

TMenuPainterManager::~TMenuPainterManager() = default;

void TMenuPainterManager::Add(TMenuPainter* painter) {
  if (std::find(FPainters.begin(), FPainters.end(), painter) != FPainters.end()) return;
  FPainters.push_back(painter);
  // The painter's own form; it leaves the list with the painter.
  painter->FManagedForm = FormOf(painter->Owner());
  if (painter->FManagedForm) FHandled.push_back(painter->FManagedForm);
  if (!FActivePainter && painter->Active() && !painter->DisableSubclassing()) {
    FActivePainter = painter;
    CollectForms();
  }
}

void TMenuPainterManager::Remove(TMenuPainter* painter) {
  if (painter == FActivePainter) ChangeActivePainter(painter);
  const auto it = std::find(FPainters.begin(), FPainters.end(), painter);
  if (it == FPainters.end()) return;
  FPainters.erase(it);
  if (TForm* form = painter->FManagedForm) FHandled.erase(std::remove(FHandled.begin(), FHandled.end(), form), FHandled.end());
}

TMenuPainter* TMenuPainterManager::FindActivePainter(const TMenuPainter* excluded) const {
  for (TMenuPainter* p : FPainters)
    if (p->Active() && !p->DisableSubclassing() && p != excluded) return p;
  return nullptr;
}

bool TMenuPainterManager::Handled(const TForm* form) const {
  return std::find(FHandled.begin(), FHandled.end(), form) != FHandled.end();
}

bool TMenuPainterManager::Wants(const TForm* form) const {
  return form && !Handled(form) && form->Tag() != 999 && !HasPainter(form) &&
         std::find(FWaiting.begin(), FWaiting.end(), form) == FWaiting.end();
}

void TMenuPainterManager::CollectForms() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* form = dynamic_cast<TForm*>(TControl::FromWidget(w)); form && form->Handle() == w && Wants(form))
      FWaiting.push_back(form);
  StyleWaiting();
}

void TMenuPainterManager::FormShown(TForm* form) {
  if (!FActivePainter || !Wants(form)) return;
  FWaiting.push_back(form);
  StyleWaiting();
}

void TMenuPainterManager::FormGone(const TForm* form) {
  FWaiting.erase(std::remove(FWaiting.begin(), FWaiting.end(), form), FWaiting.end());
  FHandled.erase(std::remove(FHandled.begin(), FHandled.end(), form), FHandled.end());
}

void TMenuPainterManager::StyleWaiting() {
  const std::vector<TForm*> waiting = std::move(FWaiting);
  FWaiting.clear();
  for (TForm* form : waiting) {
    if (Handled(form) || !FActivePainter) continue;
    FHandled.push_back(form);
    if (FWatch) FWatch->Track(form);
    FActivePainter->ActivateComponents(form, true, true);
  }
}

void TMenuPainterManager::ChangeActivePainter(const TMenuPainter* excluded) {
  TMenuPainter* next = FindActivePainter(excluded);
  TMenuPainter* old = FActivePainter;
  // The forms the old painter styled (not the painters' own forms).
  std::vector<TForm*> styled;
  for (TForm* form : FHandled)
    if (!HasPainter(form)) styled.push_back(form);
  if (next) {
    if (!old) {
      FActivePainter = next;
      CollectForms();
      return;
    }
    // The other forms move over: their menus, bars and controls take the new painter.
    for (TForm* form : styled) {
      old->ActivateComponents(form, false, true);
      next->ActivateComponents(form, true, true);
    }
    FActivePainter = next;
    return;
  }
  FWaiting.clear();
  for (TForm* form : styled) RestoreForm(form);
  FHandled.erase(std::remove_if(FHandled.begin(), FHandled.end(),
                                [&](TForm* f) { return std::find(styled.begin(), styled.end(), f) != styled.end(); }),
                 FHandled.end());
  FActivePainter = nullptr;
}

void TMenuPainterManager::RestoreForm(TForm* form) {
  if (!FActivePainter || !form) return;
  // The handlers go with the controls: a painter that goes must leave nothing behind.
  FActivePainter->ActivateComponents(form, false, true);
  for (int i = FActivePainter->ComponentCount() - 1; i >= 0; --i)
    if (auto* record = dynamic_cast<TControlSubClass*>(FActivePainter->Components(i));
        record && record->Control() && GetParentForm(record->Control()) == form)
      record->Release();
}
