#pragma once
/** TFlatPanel: a container with a flat one-pixel frame and a caption. */

#include "ui/ExtCtrls.h"

/** A panel, 185 x 41 by default, painted through an off-screen bitmap: its
 *  Color (or the parent's picture when Transparent), a frame in
 *  ColorHighLight at the top and left and ColorShadow at the bottom and
 *  right, and the caption centred vertically and placed by Alignment,
 *  embossed when disabled. Color follows the parent's by default. */
class TFlatPanel : public TCustomPanel {
public:
  explicit TFlatPanel(TComponent* AOwner);

  TColor ColorHighLight() const { return FColorHighLight; }
  void SetColorHighLight(TColor value);
  TColor ColorShadow() const { return FColorShadow; }
  void SetColorShadow(TColor value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);

protected:
  void Paint() override;

private:
  TColor FColorHighLight = 0x8396A0;
  TColor FColorShadow = 0x8396A0;
  bool FTransparent = false;
};
