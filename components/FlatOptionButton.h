#pragma once
/** What the flat check box and radio button share: colours, hover, focus
 *  and mouse-held looks of the mark, and the word-wrapped caption. */

#include "components/FlatUtils.h"
#include "ui/Controls.h"

/** An owner-painted option control, 121 x 17 by default: a small mark
 *  beside a word-wrapped caption. The mark is filled in Color at rest, in
 *  ColorFocused while the control is focused or hovered, in ColorDown while
 *  the left button is held on it. Right clicks do nothing at all. */
class TFlatOptionButton : public TFlatAdvColors<TCustomControl> {
public:
  TFlatOptionButton(TComponent* AOwner, THoverClass& hoverClass);

  bool Checked() const { return FChecked; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  void SetBounds(int left, int top, int width, int height) override;

  bool Hovered() const { return FHover.Hovered(); }
  /** Focused as the control sees it (through the form). */
  bool FocusedLook() const { return FFocused; }
  bool MouseHeld() const { return FHeld; }
  /** Where the mark stands in the client area. */
  TRect MarkRect() const;
  /** The room the caption is drawn in, beside the mark. */
  TRect CaptionRect() const;
  /** The colour the mark is filled with now. */
  TColor FillColor() const;

protected:
  virtual int MarkSize() const = 0;
  virtual void PaintMark(TCanvas* canvas, const TRect& mark) = 0;
  /** What a left release on the enabled control does to Checked. */
  virtual void Released(int X, int Y) = 0;
  void SetCheckedField(bool value) { FChecked = value; }
  bool MarkRight() const { return FMarkRight; }
  void SetMarkRight(bool value);
  TColor MarkColor() const { return FColorMark; }
  void SetMarkColor(TColor value);
  /** Shows a change of the mark's look at once. */
  void RedrawMark();

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoEnter() override;
  void DoExit() override;
  void FocusGained() override;
  void FocusLost() override;
  void EnabledChanged() override;

private:
  THoverTracker FHover;
  bool FChecked = false;
  bool FFocused = false;
  bool FHeld = false;
  bool FMarkRight = false;
  TColor FColorMark = clBlack;
  bool FTransparent = false;
};
