#include "components/HSLUtils.h"

#include <algorithm>
#include <cmath>

namespace {

// Round to nearest, halves to even (the default rounding mode).
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

int ToByte(double v) { return std::clamp(RoundEven(255.0 * v), 0, 255); }

}  // namespace

void RGBToHSL(TColor rgb, double& H, double& S, double& L) {
  const double r = GetRValue(rgb) / 255.0, g = GetGValue(rgb) / 255.0, b = GetBValue(rgb) / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  L = (mx + mn) / 2;
  if (mx == mn) {
    H = 0;
    S = 0;
    return;
  }
  const double d = mx - mn;
  S = L < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
  if (r == mx)
    H = (g - b) / d;
  else if (g == mx)
    H = 2 + (b - r) / d;
  else
    H = 4 + (r - g) / d;
  H /= 6;
  if (H < 0) H += 1;
}

void RGBToHSLRange(TColor rgb, int& H, int& S, int& L) {
  double h, s, l;
  RGBToHSL(rgb, h, s, l);
  H = RoundEven(h * (HSLScale - 1));
  S = RoundEven(s * HSLScale);
  L = RoundEven(l * HSLScale);
}

TColor HSLToRGB(double H, double S, double L) {
  if (S == 0) {
    const int v = ToByte(L);
    return RGB(v, v, v);
  }
  const double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
  const double m1 = 2 * L - m2;
  auto hueToByte = [&](double h) {
    if (h < 0)
      h += 1;
    else if (h > 1)
      h -= 1;
    double v;
    if (6 * h < 1)
      v = m1 + (m2 - m1) * h * 6;
    else if (2 * h < 1)
      v = m2;
    else if (3 * h < 2)
      v = m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
    else
      v = m1;
    return ToByte(v);
  };
  return RGB(hueToByte(H + 1.0 / 3), hueToByte(H), hueToByte(H - 1.0 / 3));
}

TColor HSLRangeToRGB(int H, int S, int L) {
  return HSLToRGB(H / static_cast<double>(HSLScale - 1), S / static_cast<double>(HSLScale),
                  L / static_cast<double>(HSLScale));
}
