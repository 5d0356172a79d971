#include "components/FlatSpinButton.h"

#include "ui/Resources.h"

#include <QPointer>
#include <QWidget>

/** Notices when a control's window is deleted. */
class TWidgetWatch {
public:
  explicit TWidgetWatch(QWidget* w) : FWidget(w) {}
  bool Alive() const { return !FWidget.isNull(); }

private:
  QPointer<QWidget> FWidget;
};

namespace {

/** The default arrows: a black triangle, 5 pixels wide and 3 high, in a 7 x 4
 *  picture whose olive background is transparent. */
void RegisterArrows() {
  if (ResourceExists("FlatUp")) return;
  auto arrow = [](bool up) {
    return [up](TBitmap& b, TPoint&) {
      b.SetSize(7, 4);
      TCanvas* c = b.Canvas();
      c->Brush = TBrush{clOlive, bsSolid};
      c->FillRect(TRect{0, 0, 7, 4});
      c->Brush.Color = clBlack;
      for (int row = 0; row < 3; ++row) {
        const int y = up ? 1 + row : row;
        const int half = up ? row : 2 - row;
        c->FillRect(TRect{3 - half, y, 4 + half, y + 1});
      }
    };
  };
  RegisterResource("FlatUp", arrow(true));
  RegisterResource("FlatDown", arrow(false));
}

}  // namespace

// ---------------------------------------------------------------- TTimerSpeedButton

TTimerSpeedButton::TTimerSpeedButton(TComponent* AOwner) : TFlatSpeedButton(AOwner) {}

void TTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TFlatSpeedButton::MouseDown(Button, Shift, X, Y);
  if (!FRepeatFlags.Contains(tbAllowTimer)) return;
  if (!FRepeatTimer) {
    FRepeatTimer = std::make_unique<TTimer>(nullptr);
    FRepeatTimer->OnTimer = [this](TObject*) { TimerExpired(); };
  }
  FRepeatTimer->SetEnabled(false);
  FRepeatTimer->SetInterval(400);
  FRepeatTimer->SetEnabled(true);
}

void TTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TFlatSpeedButton::MouseUp(Button, Shift, X, Y);
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TTimerSpeedButton::TimerExpired() {
  FRepeatTimer->SetInterval(100);
  if (State() != bsDown || !MouseCapture()) return;
  try {
    Click();
  } catch (...) {
    FRepeatTimer->SetEnabled(false);
    throw;
  }
}

// ---------------------------------------------------------------- TSpinButton

TSpinButton::TSpinButton(TComponent* AOwner) : TWinControl(AOwner) {
  RegisterArrows();
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
  FUpButton = CreateButton();
  FDownButton = CreateButton();
  SetGlyph(FUpButton, nullptr, "FlatUp", blGlyphTop);
  SetGlyph(FDownButton, nullptr, "FlatDown", blGlyphBottom);
  FFocusedButton = FUpButton;
  SetBounds(0, 0, 21, 10);
}

TSpinButton::~TSpinButton() = default;

TTimerSpeedButton* TSpinButton::CreateButton() {
  auto* b = new TTimerSpeedButton(this);
  b->SetParent(this);
  b->SetRepeatFlags(TTimeBtnState{tbAllowTimer});
  b->OnMouseDown = [this](TObject* s, TMouseButton button, TShiftState, int, int) { ButtonMouseDown(s, button); };
  b->OnClick = [this](TObject* s) { ButtonClick(s); };
  return b;
}

void TSpinButton::SetGlyph(TTimerSpeedButton* button, const TBitmap* glyph, const char* resource,
                           TButtonLayout layout) {
  if (glyph) {
    button->SetGlyph(*glyph);
    return;
  }
  TBitmap picture;
  LoadResourceBitmap(resource, picture);
  button->SetGlyph(picture);
  button->SetNumGlyphs(1);
  button->SetMargin(2);
  button->Invalidate();
  button->SetLayout(layout);
}

void TSpinButton::SetUpGlyph(const TBitmap* glyph) { SetGlyph(FUpButton, glyph, "FlatUp", blGlyphTop); }

void TSpinButton::SetDownGlyph(const TBitmap* glyph) { SetGlyph(FDownButton, glyph, "FlatDown", blGlyphBottom); }

TWinControl* TSpinButton::FocusControl() const {
  return FFocusWatch && FFocusWatch->Alive() ? FFocusControl : nullptr;
}

void TSpinButton::SetFocusControl(TWinControl* control) {
  FFocusControl = control;
  FFocusWatch = control ? std::make_unique<TWidgetWatch>(control->Handle()) : nullptr;
}

void TSpinButton::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, width, height);
  PlaceButtons();
}

void TSpinButton::PlaceButtons() {
  if (!FUpButton || !FDownButton) return;
  FUpButton->SetBounds(0, 0, 11, Height());
  FDownButton->SetBounds(10, 0, 11, Height());
}

void TSpinButton::ButtonMouseDown(TObject* Sender, TMouseButton Button) {
  if (Button != mbLeft) return;
  SetFocusedButton(static_cast<TTimerSpeedButton*>(Sender));
  TWinControl* focus = FocusControl();
  if (focus && focus->TabStop() && focus->CanFocus() && !focus->Focused())
    focus->SetFocus();
  else if (TabStop() && !Focused() && CanFocus())
    SetFocus();
}

void TSpinButton::ButtonClick(TObject* Sender) {
  if (Sender == FUpButton) {
    if (OnUpClick) OnUpClick(this);
  } else if (OnDownClick) {
    OnDownClick(this);
  }
}

void TSpinButton::SetFocusedButton(TTimerSpeedButton* button) {
  if (!TabStop() || !CanFocus() || button == FFocusedButton) return;
  FFocusedButton->SetRepeatFlags(FFocusedButton->RepeatFlags() >> tbFocusRect);
  FFocusedButton = button;
  if (Focused()) {
    FFocusedButton->SetRepeatFlags(FFocusedButton->RepeatFlags() << tbFocusRect);
    FFocusedButton->Invalidate();
  }
}

void TSpinButton::KeyDown(WORD& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  switch (Key) {
    case VK_SPACE: FFocusedButton->Click(); break;
    case VK_UP:
      SetFocusedButton(FUpButton);
      FUpButton->Click();
      break;
    case VK_DOWN:
      SetFocusedButton(FDownButton);
      FDownButton->Click();
      break;
    default: break;
  }
}

void TSpinButton::FocusGained() {
  TWinControl::FocusGained();
  FFocusedButton->SetRepeatFlags(FFocusedButton->RepeatFlags() << tbFocusRect);
  FFocusedButton->Invalidate();
}

void TSpinButton::FocusLost() {
  TWinControl::FocusLost();
  FFocusedButton->SetRepeatFlags(FFocusedButton->RepeatFlags() >> tbFocusRect);
  FFocusedButton->Invalidate();
}
