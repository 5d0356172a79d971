#pragma once
/** Helpers shared by the flat controls: derived colours and the two-colour frame. */

#include "ui/Canvas.h"
#include "ui/Colors.h"
#include "ui/Types.h"

/** A percentage, 0..100. */
using TGradColors = int;

/** A colour derived from base: its lightness (on the 0..240 scale) plus 10,
 *  then minus percent (darken, not below 0) or plus percent (lighten, capped
 *  at 100). Percent 0 gives own unchanged. System colours are resolved first. */
TColor CalcAdvancedColor(TColor base, TColor own, TGradColors percent, bool darken);

/** width nested one-pixel frames on rect, topColor at the left and top,
 *  bottomColor at the right and bottom; rect comes back shrunk by width on
 *  every side. */
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);
