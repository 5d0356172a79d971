#pragma once
/** What the two flat push buttons share: properties, states, the group
 *  behaviour and the painting of face, border, glyph and caption. */

#include "components/FlatUtils.h"
#include "core/Services.h"
#include "ui/Bitmap.h"
#include "ui/Controls.h"

#include <string>

/** The look of a flat push button: up, disabled, pressed by the mouse or the
 *  space key, or latched down in a group. */
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

/** A flat push button over TBase (a windowless or a windowed control).
 *  Buttons of one parent and of one class with the same non-zero GroupIndex
 *  form a group: at most one of them is Down, and with AllowAllUp False the
 *  down one cannot be released. A click (a left release inside) sets the
 *  parent form's modal result to ModalResult and fires OnClick; OnDblClick
 *  fires only while the button is Down. The face is ColorFocused while
 *  hovered, ColorDown while pressed; the border is ColorBorder at rest and
 *  raised or sunken in ColorHighLight and ColorShadow otherwise. */
template <class TBase>
class TFlatPushButton : public TFlatAdvColors<TBase> {
  using TInherited = TFlatAdvColors<TBase>;

public:
  TFlatPushButton(TComponent* AOwner, THoverClass& hoverClass);

  TColor ColorHighLight() const { return FColorHighLight; }
  void SetColorHighLight(TColor value);
  TColor ColorShadow() const { return FColorShadow; }
  void SetColorShadow(TColor value);

  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  bool Down() const { return FDown; }
  /** Always False with GroupIndex 0; releasing needs AllowAllUp. */
  void SetDown(bool value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  const TBitmap& Glyph() const { return FGlyph; }
  /** Copies the picture; one that is an exact row of 1 to 4 squares sets
   *  NumGlyphs to their number. */
  void SetGlyph(const TBitmap& value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  /** Kept within 1..4. */
  void SetNumGlyphs(TNumGlyphs value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return FMargin; }
  /** -1 centres; values below -1 are ignored. */
  void SetMargin(int value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }

  TButtonState State() const { return FState; }
  bool Hovered() const { return FHover.Hovered(); }
  /** The left button was pressed on it and is still held. */
  bool Pressed() const { return FPressed; }
  /** Where the last paint put the glyph and the caption. */
  TPoint GlyphPos() const { return FGlyphPos; }
  TRect TextBounds() const { return FTextBounds; }
  /** The glyph cell drawn in a state (1-based), by the number of cells. */
  static int GlyphCell(TNumGlyphs numGlyphs, TButtonState state);

  void Click() override;

protected:
  void DblClick() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void EnabledChanged() override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;

  /** Face, border, glyph and caption on canvas (the client area's size). */
  void PaintButton(TCanvas* canvas);
  /** The face in colour face, as TransparentMode wants it. */
  virtual void PaintBackground(TCanvas* canvas, TColor face) = 0;
  /** The width of the border of a resting button. */
  virtual int RestingBorderWidth() const { return 1; }
  void SetState(TButtonState value) { FState = value; }
  THoverTracker& Hover() { return FHover; }

private:
  /** Tells the buttons of the group that this one changed. */
  void Announce();
  /** Another button of the group, sender, changed. */
  void ButtonPressed(int groupIndex, TFlatPushButton* sender);
  bool Inside(int X, int Y) const { return X >= 0 && X < this->ClientWidth() && Y >= 0 && Y < this->ClientHeight(); }

  THoverTracker FHover;
  TColor FColorHighLight = clWhite;
  TColor FColorShadow = clBlack;
  TTransparentMode FTransparentMode = tmNone;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  TBitmap FGlyph;
  TNumGlyphs FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphTop;
  int FMargin = -1;
  int FSpacing = 4;
  TModalResult FModalResult = TModalResult::mrNone;
  TButtonState FState = bsUp;
  bool FPressed = false;
  TPoint FGlyphPos;
  TRect FTextBounds;
};
