#pragma once
/** TTimerSpeedButton, a flat speed button that repeats its click while held,
 *  and TSpinButton, a pair of them. */

#include "components/FlatSpeedButton.h"
#include "ui/ExtCtrls.h"

#include <memory>

class TWidgetWatch;

enum TTimeBtnStateItem { tbFocusRect, tbAllowTimer };
using TTimeBtnState = TSet<TTimeBtnStateItem>;

/** A flat speed button that, with tbAllowTimer, clicks again 400 ms after
 *  a press and then every 100 ms while it stays pressed and holds the
 *  mouse. It shares the speed buttons' hover state. */
class TTimerSpeedButton : public TFlatSpeedButton {
public:
  explicit TTimerSpeedButton(TComponent* AOwner);
  TTimeBtnState RepeatFlags() const { return FRepeatFlags; }
  void SetRepeatFlags(TTimeBtnState value) { FRepeatFlags = value; }
  /** The repeat timer, made by the first press (null before). */
  TTimer* RepeatTimer() const { return FRepeatTimer.get(); }

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void TimerExpired();
  std::unique_ptr<TTimer> FRepeatTimer;
  TTimeBtnState FRepeatFlags;
};

/** Two repeating flat buttons side by side, up at the left and down at the
 *  right, 11 pixels wide each and overlapping by one; 21 x 10 by default.
 *  Their glyphs are the program's "FlatUp" and "FlatDown" bitmaps unless
 *  others are set. A press gives the focus to FocusControl (or to the spin
 *  button itself when it is a tab stop); the arrow keys and space click the
 *  buttons while it has the focus. */
class TSpinButton : public TWinControl {
public:
  explicit TSpinButton(TComponent* AOwner);
  ~TSpinButton() override;

  const TBitmap& UpGlyph() const { return FUpButton->Glyph(); }
  /** Null loads the default glyph again. */
  void SetUpGlyph(const TBitmap* glyph);
  const TBitmap& DownGlyph() const { return FDownButton->Glyph(); }
  void SetDownGlyph(const TBitmap* glyph);
  TNumGlyphs UpNumGlyphs() const { return FUpButton->NumGlyphs(); }
  void SetUpNumGlyphs(TNumGlyphs value) { FUpButton->SetNumGlyphs(value); }
  TNumGlyphs DownNumGlyphs() const { return FDownButton->NumGlyphs(); }
  void SetDownNumGlyphs(TNumGlyphs value) { FDownButton->SetNumGlyphs(value); }
  /** The control the focus goes to on a press; null when it went away. */
  TWinControl* FocusControl() const;
  void SetFocusControl(TWinControl* control);

  TTimerSpeedButton* UpButton() const { return FUpButton; }
  TTimerSpeedButton* DownButton() const { return FDownButton; }
  /** The button space clicks. */
  TTimerSpeedButton* FocusedButton() const { return FFocusedButton; }

  void SetBounds(int left, int top, int width, int height) override;
  unsigned DialogCode() const override { return DLGC_WANTARROWS; }

  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void FocusGained() override;
  void FocusLost() override;

private:
  TTimerSpeedButton* CreateButton();
  void SetGlyph(TTimerSpeedButton* button, const TBitmap* glyph, const char* resource, TButtonLayout layout);
  void ButtonMouseDown(TObject* Sender, TMouseButton Button);
  void ButtonClick(TObject* Sender);
  void SetFocusedButton(TTimerSpeedButton* button);
  void PlaceButtons();
  TTimerSpeedButton* FUpButton = nullptr;
  TTimerSpeedButton* FDownButton = nullptr;
  TTimerSpeedButton* FFocusedButton = nullptr;
  TWinControl* FFocusControl = nullptr;
  // The focus control's window, to notice when it goes away.
  std::unique_ptr<TWidgetWatch> FFocusWatch;
};
