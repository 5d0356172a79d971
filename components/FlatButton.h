#pragma once
/** TFlatButton: a flat push button with a window, that takes the focus. */

#include "components/FlatPushButton.h"

/** A flat push button with a glyph and a one-line caption, 25 x 25 by
 *  default, painted through an off-screen bitmap. A press takes the focus;
 *  while it has the focus it looks hovered, and the space key presses and
 *  clicks it. Default only draws a double border at rest; the button does
 *  not answer Enter. With TransparentMode tmAlways the parent shows through
 *  the face, with tmNotFocused except while hovered. */
class TFlatButton : public TFlatPushButton<TCustomControl> {
public:
  explicit TFlatButton(TComponent* AOwner);
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  void SetBounds(int left, int top, int width, int height) override;
  /** The hover state the flat buttons share. */
  static const THoverClass& HoverState();

protected:
  void Paint() override;
  void PaintBackground(TCanvas* canvas, TColor face) override;
  int RestingBorderWidth() const override { return FDefault ? 2 : 1; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void FocusGained() override;
  void FocusLost() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;

private:
  bool FDefault = false;
};
