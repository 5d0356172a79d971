#pragma once
/** What the flat check box and radio button share: colours, hover, focus
 *  and mouse-held looks of the mark, and the word-wrapped caption. */

#include "components/FlatUtils.h"
#include "ui/Controls.h"

/** An owner-painted option control, 121 x 17 by default: a small mark
 *  beside a word-wrapped caption. The mark is filled in Color at rest, in
 *  ColorFocused while the control is focused or hovered, in ColorDown while
 *  the left button is held on it. Right clicks do nothing at all. */
class TFlatOptionButton : public TCustomControl {
public:
  TFlatOptionButton(TComponent* AOwner, THoverClass& hoverClass);

  bool Checked() const { return FChecked; }
  TColor ColorFocused() const { return FColorFocused; }
  void SetColorFocused(TColor value) { SetColors(FColorFocused, value); }
  TColor ColorDown() const { return FColorDown; }
  void SetColorDown(TColor value) { SetColors(FColorDown, value); }
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor value) { SetColors(FColorBorder, value); }
  TGradColors AdvColorFocused() const { return FAdvColorFocused; }
  void SetAdvColorFocused(TGradColors value) { SetAdvColor(FAdvColorFocused, value); }
  TGradColors AdvColorDown() const { return FAdvColorDown; }
  void SetAdvColorDown(TGradColors value) { SetAdvColor(FAdvColorDown, value); }
  TGradColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TGradColors value) { SetAdvColor(FAdvColorBorder, value); }
  bool UseAdvColors() const { return FUseAdvColors; }
  /** Also sets ParentColor to the same value. */
  void SetUseAdvColors(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  void SetBounds(int left, int top, int width, int height) override;

  bool Hovered() const { return FHover.Hovered(); }
  /** Focused as the control sees it (through the form). */
  bool FocusedLook() const { return FFocused; }
  bool MouseHeld() const { return FHeld; }
  /** Where the mark stands in the client area. */
  TRect MarkRect() const;
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
  void SetMarkColor(TColor value) { SetColors(FColorMark, value); }
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
  void ParentColorChanged() override;

private:
  void SetColors(TColor& field, TColor value);
  void SetAdvColor(TGradColors& field, TGradColors value);
  void DeriveColors();

  THoverTracker FHover;
  bool FChecked = false;
  bool FFocused = false;
  bool FHeld = false;
  bool FMarkRight = false;
  TColor FColorFocused = clWhite;
  TColor FColorDown = 0xC5D6D9;
  TColor FColorMark = clBlack;
  TColor FColorBorder = 0x8396A0;
  TGradColors FAdvColorFocused = 10;
  TGradColors FAdvColorDown = 10;
  TGradColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
  bool FTransparent = false;
};
