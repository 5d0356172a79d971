#pragma once
/** TFlatSpinEditInteger: a flat edit for an integer with a spin button. */

#include "components/FlatEdit.h"
#include "components/FlatSpinButton.h"

/** An integer entry field with two arrow buttons inside its right edge that
 *  step Value by Increment and repeat while held; Up and Down do the same.
 *  Value reads the text (MinValue when it is no integer) and writes it kept
 *  within MinValue..MaxValue (equal bounds: no range); steps stop at the
 *  32-bit limits. Only digits, signs and the decimal separator can be
 *  typed, pasted or dropped. Leaving the field first puts text that is no
 *  integer back to the last integer it held and clamps an out-of-range one,
 *  so OnExit reads the value that stays. The height is at least the font's
 *  cell height + 7. */
class TFlatSpinEditInteger : public TCustomFlatEdit {
public:
  explicit TFlatSpinEditInteger(TComponent* AOwner);

  int Value() const;
  void SetValue(int value);
  int MinValue() const { return FMinValue; }
  void SetMinValue(int value) { FMinValue = value; }
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int value) { FMaxValue = value; }
  int Increment() const { return FIncrement; }
  void SetIncrement(int value) { FIncrement = value; }
  /** Off: typing, pasting and cutting are refused; the arrows still step. */
  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool value);
  /** value kept within MinValue..MaxValue (unchanged when they are equal). */
  int ClampValue(int value) const;
  TSpinButton* Button() const { return FButton; }
  /** The smallest height the font allows. */
  int MinHeight() const;
  void Loaded() override;

  /** Whether the typed character key is allowed. */
  virtual bool AcceptsKey(TKeyChar key) const;
  /** The arrows: step up or down, or beep when read-only. */
  virtual void UpClick(TObject* Sender);
  virtual void DownClick(TObject* Sender);

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(TKeyChar& Key) override;
  void FilterInput(std::u32string& text) override;
  void DoExit() override;
  void Change() override;
  void SizeChanged() override;

private:
  void Step(int direction);
  void PlaceButton();
  TSpinButton* FButton = nullptr;
  int FMinValue = 0;
  int FMaxValue = 0;
  int FIncrement = 1;
  bool FEditorEnabled = true;
  int FLastValid = 0;
};
