#pragma once
/** TFlatSpeedButton: a flat push button without a window of its own. */

#include "components/FlatPushButton.h"

/** A flat push button with a glyph and a one-line caption, 25 x 25 by
 *  default. It never takes the focus; the caption's accelerator clicks it.
 *  With TransparentMode tmAlways it paints no face, with tmNotFocused only
 *  while hovered. */
class TFlatSpeedButton : public TFlatPushButton<TGraphicControl> {
public:
  explicit TFlatSpeedButton(TComponent* AOwner);
  /** The hover state the speed buttons share. */
  static const THoverClass& HoverState();

protected:
  void Paint() override;
  void PaintBackground(TCanvas* canvas, TColor face) override;
};
