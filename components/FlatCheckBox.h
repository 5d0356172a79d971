#pragma once
/** TFlatCheckBox: a flat owner-painted check box. */

#include "components/FlatOptionButton.h"

/** A check box with an 11-pixel square and a word-wrapped caption. Setting
 *  Checked to a new value, from code too, fires OnClick. A left release
 *  toggles it while it is hovered (hover is kept while the button is held,
 *  so a release outside still toggles); space toggles the focused box and
 *  the caption's accelerator focuses and toggles it. While it has the
 *  keyboard focus a dotted frame stands round its caption (round its mark
 *  when it has none). */
class TFlatCheckBox : public TFlatOptionButton {
public:
  explicit TFlatCheckBox(TComponent* AOwner);

  void SetChecked(bool value);
  TCheckBoxLayout Layout() const { return MarkRight() ? checkboxRight : checkboxLeft; }
  void SetLayout(TCheckBoxLayout value) { SetMarkRight(value == checkboxRight); }
  TColor ColorCheck() const { return MarkColor(); }
  void SetColorCheck(TColor value) { SetMarkColor(value); }
  /** The hover state the check boxes share. */
  static const THoverClass& HoverState();

protected:
  int MarkSize() const override { return 11; }
  void PaintMark(TCanvas* canvas, const TRect& mark) override;
  /** The focus frame is drawn with the rest: a change of focus repaints the whole control. */
  void Paint() override;
  void Released(int X, int Y) override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;
};
