#pragma once
/** TFlatRadioButton: a flat owner-painted radio button. */

#include "components/FlatOptionButton.h"

/** A radio button with a 10-pixel circle and a word-wrapped caption.
 *  Checking it (from code too) unchecks the other flat radio buttons of its
 *  parent with the same GroupIndex and fires OnClick; unchecking fires
 *  nothing. A left release within its bounds checks it; the space key does
 *  not, and the caption's accelerator only focuses it. Only a checked radio
 *  button is a tab stop. */
class TFlatRadioButton : public TFlatOptionButton {
public:
  explicit TFlatRadioButton(TComponent* AOwner);

  void SetChecked(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value) { FGroupIndex = value; }
  TRadioButtonLayout Layout() const { return MarkRight() ? radioRight : radioLeft; }
  void SetLayout(TRadioButtonLayout value) { SetMarkRight(value == radioRight); }
  TColor ColorDot() const { return MarkColor(); }
  void SetColorDot(TColor value) { SetMarkColor(value); }
  /** The hover state the radio buttons share. */
  static const THoverClass& HoverState();

protected:
  int MarkSize() const override { return 10; }
  void PaintMark(TCanvas* canvas, const TRect& mark) override;
  void Released(int X, int Y) override;
  void DoEnter() override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;

private:
  int FGroupIndex = 0;
};
