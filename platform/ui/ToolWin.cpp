#include "ui/ToolWin.h"

#include "ui/Bitmap.h"
#include "ui/Menus.h"

#include <QEvent>
#include <QMenu>
#include <QObject>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int kSeparatorWidth = 8;
constexpr int kGrabberWidth = 11;  // a band's grabber, left of its control
constexpr int kBandFrame = 2;      // a band's frame on the other sides

/** Lays a container out again when one of its children is moved, resized,
 *  shown or hidden from outside, as the class library's tool and control
 *  bars do. Events of widgets not shown yet arrive when they are shown. */
class TChildWatcher : public QObject {
public:
  explicit TChildWatcher(TWinControl* container) : QObject(container->Handle()), FContainer(container) {}
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::ShowToParent:
      case QEvent::HideToParent: FContainer->Realign(); break;
      default: break;
    }
    return false;
  }

private:
  TWinControl* FContainer;
};

/** Watches every child of container (installing a filter again is harmless). */
void WatchChildren(TWinControl* container, QObject*& watcher) {
  if (!watcher) watcher = new TChildWatcher(container);
  for (int i = 0; i < container->ControlCount(); ++i) container->Controls(i)->Handle()->installEventFilter(watcher);
}

}  // namespace

// ---------------------------------------------------------------- TToolBar

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 150, 29);
}

void TToolBar::SetButtonWidth(int value) {
  if (value == FButtonWidth) return;
  FButtonWidth = value;
  Changed();
}

void TToolBar::SetButtonHeight(int value) {
  if (value == FButtonHeight) return;
  FButtonHeight = value;
  Changed();
}

void TToolBar::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  Invalidate();
}

void TToolBar::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TToolBar::EraseBackground(const TRect& r) {
  if (FTransparent)
    DrawParentImage(Canvas());
  else
    TCustomControl::EraseBackground(r);
}

void TToolBar::SetShowCaptions(bool value) {
  if (value == FShowCaptions) return;
  FShowCaptions = value;
  Changed();
}

void TToolBar::SetImages(TImageList* images) {
  if (images == FImages) return;
  FImages = images;
  Changed();
}

void TToolBar::SetHotImages(TImageList* images) {
  FHotImages = images;
  Invalidate();
}

void TToolBar::SetDisabledImages(TImageList* images) {
  FDisabledImages = images;
  Invalidate();
}

void TToolBar::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, width, height);
  if (auto* bands = dynamic_cast<TControlBar*>(Parent())) bands->Realign();
}

void TToolBar::Changed() {
  Realign();
  Invalidate();
}

int TToolBar::ButtonCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i) n += dynamic_cast<TToolButton*>(Controls(i)) != nullptr;
  return n;
}

TToolButton* TToolBar::Buttons(int index) const {
  for (int i = 0, n = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b && n++ == index) return b;
  return nullptr;
}

TSize TToolBar::ButtonSize() {
  TSize size{FButtonWidth, FButtonHeight};
  if (!FShowCaptions) return size;
  TCanvas* c = Canvas();
  c->Font = Font();
  const int imageHeight = FImages ? FImages->Height() : 0;
  for (int i = 0; i < ControlCount(); ++i) {
    auto* b = dynamic_cast<TToolButton*>(Controls(i));
    if (!b || b->IsSeparator() || b->Caption().empty()) continue;
    TRect r{0, 0, 0, 0};
    c->DrawText(b->Caption(), r, DT_CALCRECT | DT_SINGLELINE);
    size.cx = std::max(size.cx, r.Width() + 8);
    size.cy = std::max(size.cy, imageHeight + r.Height() + 8);
  }
  return size;
}

void TToolBar::AlignControls(TRect& rect) {
  WatchChildren(this, FWatcher);
  const TSize button = ButtonSize();
  int x = rect.Left;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    if (auto* b = dynamic_cast<TToolButton*>(c))
      b->SetBounds(x, rect.Top,
                   b->IsSeparator() ? b->Width() : button.cx + (b->Style() == tbsDropDown ? b->DropDownWidth : 0),
                   button.cy);
    else
      c->SetBounds(x, rect.Top, c->Width(), c->Height());
    x += c->Width();
  }
}

TCustomDrawState TToolBar::ButtonState(const TToolButton* button) const {
  TCustomDrawState state;
  if (!button->Enabled()) {
    state << cdsDisabled;
    return button->Down() ? state << cdsChecked : state;
  }
  if (button->Hot()) state << cdsHot;
  if (button->Pressed()) state << cdsSelected;
  if (button->Down()) state << cdsChecked;
  return state;
}

void TToolBar::Paint() {
  for (int i = 0; i < ControlCount(); ++i) {
    auto* b = dynamic_cast<TToolButton*>(Controls(i));
    if (!b || !b->Visible()) continue;
    const TCustomDrawState state = ButtonState(b);
    bool defaultDraw = true;
    // Separators are the tool bar's own; only buttons are custom drawn.
    if (OnCustomDrawButton && !b->IsSeparator()) OnCustomDrawButton(this, b, state, defaultDraw);
    if (defaultDraw) DrawButton(b, state);
  }
}

void DrawDropDownArrow(TCanvas* canvas, const TRect& part, TColor color) {
  // Rows of 5, 3 and 1 pixels, 10 pixels in from the part's right, in its middle.
  const int x = part.Right - 10, y = part.Top + (part.Height() - 3) / 2;
  canvas->Brush = TBrush{color, bsSolid};
  for (int row = 0; row < 3; ++row) canvas->FillRect({x + row, y + row, x + 5 - row, y + row + 1});
}

void TToolBar::DrawButton(TToolButton* button, TCustomDrawState state) {
  TCanvas* c = Canvas();
  TRect r = button->BoundsRect();
  if (button->IsSeparator()) {
    // An etched line in the middle; a plain tool bar leaves a separator blank.
    if (!FFlat && button->Style() == tbsSeparator) return;
    const int x = r.Left + r.Width() / 2 - 1;
    c->Pen = TPen{clBtnShadow};
    c->MoveTo(x, r.Top + 1);
    c->LineTo(x, r.Bottom - 1);
    c->Pen.Color = clBtnHighlight;
    c->MoveTo(x + 1, r.Top + 1);
    c->LineTo(x + 1, r.Bottom - 1);
    return;
  }
  const bool sunken = state.Contains(cdsSelected) || state.Contains(cdsChecked);
  // A drop-down button has an edge of its own round the arrow part.
  const bool dropDown = button->Style() == tbsDropDown;
  TRect arrow{r.Right - TToolButton::DropDownWidth, r.Top, r.Right, r.Bottom};
  if (dropDown) r.Right = arrow.Left;
  TRect inner = r;
  auto edge = [&](TRect& part) {
    if (!FFlat)
      c->DrawEdge(part, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    else if (sunken)
      c->DrawEdge(part, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    else if (state.Contains(cdsHot))
      c->DrawEdge(part, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  };
  edge(inner);
  if (dropDown) {
    TRect part = arrow;
    edge(part);
    DrawDropDownArrow(c, arrow, state.Contains(cdsDisabled) ? clGrayText : clBtnText);
  }
  if (state.Contains(cdsChecked) && !state.Contains(cdsSelected)) {
    // A button that stays down shows the classic dither.
    for (int y = inner.Top; y < inner.Bottom; ++y)
      for (int x = inner.Left + ((inner.Left + y) & 1); x < inner.Right; x += 2) c->SetPixels(x, y, clBtnHighlight);
  }
  const int shift = sunken ? 1 : 0;
  const bool enabled = !state.Contains(cdsDisabled);
  const bool caption = FShowCaptions && !button->Caption().empty();
  c->Font = Font();
  int textTop = r.Top + (r.Height() - c->TextHeight("W")) / 2;
  TImageList* list = FImages;
  if (!enabled && FDisabledImages) list = FDisabledImages;
  if (enabled && state.Contains(cdsHot) && FHotImages) list = FHotImages;
  const int index = button->ImageIndex();
  if (list && index >= 0 && index < list->Count()) {
    const int x = r.Left + (r.Width() - list->Width()) / 2 + shift;
    const int y = (caption ? r.Top + 3 : r.Top + (r.Height() - list->Height()) / 2) + shift;
    list->Draw(c, x, y, index, enabled || list == FDisabledImages);
    textTop = y - shift + list->Height() + 1;
  }
  if (!caption) return;
  c->Brush.Style = bsClear;
  TRect text{r.Left + shift, textTop + shift, r.Right + shift, r.Bottom + shift};
  const unsigned flags = DT_CENTER | DT_SINGLELINE;
  if (!enabled) {
    // Embossed: a light copy one pixel down and right, the shadow over it.
    TRect light = text;
    OffsetRect(light, 1, 1);
    c->Font.SetColor(clBtnHighlight);
    c->DrawText(button->Caption(), light, flags);
    c->Font.SetColor(clBtnShadow);
  }
  c->DrawText(button->Caption(), text, flags);
  c->Brush.Style = bsSolid;
}

// ---------------------------------------------------------------- TToolButton

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  // Two quick clicks are two clicks.
  SetControlStyle({csCaptureMouse, csClickEvents, csSetCaption});
  SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetParent(TWinControl* parent) {
  TToolBar* old = ToolBar();
  TGraphicControl::SetParent(parent);
  if (old) old->Invalidate();
  Redraw();
}

void TToolButton::SetBounds(int left, int top, int width, int height) {
  TGraphicControl::SetBounds(left, top, width, height);
  if (TToolBar* bar = ToolBar()) bar->Realign();
}

void TToolButton::SetStyle(TToolButtonStyle style) {
  if (style == FStyle) return;
  const bool wasSeparator = IsSeparator();
  FStyle = style;
  if (IsSeparator() && !wasSeparator) SetWidth(kSeparatorWidth);
  Relayout();
}

void TToolButton::SetDown(bool value) {
  if (value == FDown) return;
  FDown = value;
  Notify(TControlMessage::StateChanged);
  Redraw();
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
  FDropdownMenu = menu;
  FMenuWindow = menu ? menu->QtPopup() : nullptr;
  FMenuOpen = false;
}

void TToolButton::SetImageIndex(int index) {
  if (index == FImageIndex) return;
  FImageIndex = index;
  Redraw();
}

void TToolButton::Redraw() {
  if (TToolBar* bar = ToolBar()) bar->InvalidateRect(BoundsRect());
}

void TToolButton::Relayout() {
  if (TToolBar* bar = ToolBar()) {
    bar->Realign();
    bar->Invalidate();
  }
}

void TToolButton::Click() {
  if (FStyle == tbsCheck) SetDown(!FDown);
  TGraphicControl::Click();
}

void TToolButton::MouseEnter() {
  FHot = true;
  Redraw();
  TGraphicControl::MouseEnter();
}

void TToolButton::MouseLeave() {
  FHot = false;
  Redraw();
  TGraphicControl::MouseLeave();
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FStyle == tbsDropDown && X >= Width() - DropDownWidth && DropdownMenu()) {
    // The arrow part opens the menu under the button; nothing clicks.
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    SetMouseCapture(false);
    if (FMenuOpen || !DropdownMenu()) return;
    FMenuOpen = true;
    QObject::connect(FDropdownMenu->QtPopup(), &QMenu::aboutToHide, Handle(), [this] {
      FMenuOpen = false;
      Redraw();
    }, Qt::SingleShotConnection);
    Redraw();
    const TPoint at = ClientToScreen({0, Height()});
    FDropdownMenu->Popup(at.X, at.Y);
    return;
  }
  if (Button == mbLeft && !IsSeparator()) {
    FPressed = true;
    FHot = true;
    Redraw();
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TToolButton::MouseMove(TShiftState Shift, int X, int Y) {
  // While the button holds the mouse it is pressed only with the mouse over it.
  if (FPressed) {
    const bool inside = ClientRect().Contains({X, Y});
    if (inside != FHot) {
      FHot = inside;
      Redraw();
    }
  }
  TGraphicControl::MouseMove(Shift, X, Y);
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPressed) {
    FPressed = false;
    FHot = ClientRect().Contains({X, Y});
    Redraw();
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::MouseCaptureLost() {
  FPressed = false;
  Redraw();
}

void TToolButton::EnabledChanged() {
  if (!Enabled()) FHot = FPressed = false;
  Redraw();
  TGraphicControl::EnabledChanged();
}

void TToolButton::TextChanged() {
  TToolBar* bar = ToolBar();
  if (bar && bar->ShowCaptions())
    Relayout();
  else
    Redraw();
  TGraphicControl::TextChanged();
}

void TToolButton::VisibleChanged() { Relayout(); }

// ---------------------------------------------------------------- TControlBar

TControlBar::TControlBar(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 100, 50); }

void TControlBar::SetRowSize(int value) {
  if (value == FRowSize) return;
  FRowSize = value;
  Realign();
  Invalidate();
}

TRect TControlBar::BandRect(const TControl* control) {
  TRect r = control->BoundsRect();
  return {r.Left - kGrabberWidth, r.Top - kBandFrame, r.Right + kBandFrame, r.Bottom + kBandFrame};
}

void TControlBar::AlignControls(TRect& rect) {
  WatchChildren(this, FWatcher);
  int x = rect.Left, row = rect.Top;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    const int band = kGrabberWidth + c->Width() + kBandFrame;
    if (x > rect.Left && x + band > rect.Right) {
      x = rect.Left;
      row += FRowSize;
    }
    c->SetBounds(x + kGrabberWidth, row + kBandFrame, c->Width(), c->Height());
    x += band;
  }
}

void TControlBar::Paint() {
  TCanvas* c = Canvas();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* control = Controls(i);
    if (!control->Visible()) continue;
    TRect r = BandRect(control);
    TBandPaintOptions options{bpoGrabber, bpoFrame};
    if (OnBandPaint) OnBandPaint(this, control, c, r, options);
    if (options.Contains(bpoFrame)) {
      TRect frame = r;
      c->DrawEdge(frame, BDR_RAISEDINNER, BF_RECT);
    }
    if (options.Contains(bpoGrabber))
      for (int bar = 0; bar < 2; ++bar) {
        TRect grip{r.Left + 3 + 3 * bar, r.Top + 3, r.Left + 6 + 3 * bar, r.Bottom - 3};
        c->DrawEdge(grip, BDR_RAISEDINNER, BF_RECT);
      }
  }
}
