#pragma once
/** TFlatGroupBox: a container with a flat line frame and a caption. */

#include "components/FlatUtils.h"
#include "ui/Controls.h"

/** A group box, 185 x 105 by default, painted through an off-screen bitmap:
 *  its Color (or the parent's picture when Transparent) and a one-pixel
 *  ColorBorder line through the middle of the caption, round the whole box
 *  (brFull) or along the top only (brOnlyTopLine), with a gap for the
 *  caption. The caption's accelerator focuses the box. Color follows the
 *  parent's by default. */
class TFlatGroupBox : public TCustomControl {
public:
  explicit TFlatGroupBox(TComponent* AOwner);

  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor value);
  TGroupBoxBorder Border() const { return FBorder; }
  void SetBorder(TGroupBoxBorder value);
  TGradColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TGradColors value);
  bool UseAdvColors() const { return FUseAdvColors; }
  /** Also sets ParentColor to the same value. */
  void SetUseAdvColors(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  void SetBounds(int left, int top, int width, int height) override;

protected:
  void Paint() override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;
  void ParentColorChanged() override;

private:
  void DeriveColors();
  TColor FColorBorder = 0x8396A0;
  TGroupBoxBorder FBorder = brFull;
  TGradColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
  bool FTransparent = false;
};
