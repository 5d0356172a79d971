#pragma once
/** Colours between RGB and hue, saturation and lightness: as doubles in 0..1,
 *  and on the integer scale of HSLScale (hue 0..239, saturation and lightness
 *  0..240). The RGB side takes plain colours, not system colours. */

#include "ui/Colors.h"

constexpr int HSLScale = 240;

void RGBToHSL(TColor rgb, double& H, double& S, double& L);
void RGBToHSLRange(TColor rgb, int& H, int& S, int& L);
/** Channels are rounded (halves to even) and kept within 0..255. */
TColor HSLToRGB(double H, double S, double L);
TColor HSLRangeToRGB(int H, int S, int L);
