#pragma once
/** Helpers that every painter of the grid shares: rectangle arithmetic,
 *  colour mixing, frames, gradients, one-call text drawing and bitmaps with
 *  per-pixel alpha. The helper classes have only class methods. */

#include "core/Exception.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Colors.h"
#include "ui/Resources.h"
#include "ui/Types.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

/** DrawText flag for right-to-left reading; the canvas lays text out left to right. */
constexpr unsigned DT_RTLREADING = 0x20000;

/** A broken internal assumption. The message names the source file and line:
 *  "Assertion failure (SharedCommon.cpp, line 42)". */
class EAssertionFailed : public Exception {
  using Exception::Exception;
};

/** The option sets of columns and grids are the layer's sets. */
template <class E>
using TEnumSet = TSet<E>;

/** Rectangle arithmetic. */
class TCalcProvider {
public:
  TCalcProvider() = delete;
  /** False only when one rectangle lies wholly beside, above or below the
   *  other; rectangles that merely touch intersect. */
  static bool RectsIntersect(const TRect& R1, const TRect& R2);
  /** The top-left corner of a Width x Height box placed in Rect by the two
   *  alignments, Margin pixels from the edge it is aligned to. */
  static void PlaceBox(int Width, int Height, TPoint& Point, TVerticalAlignment VertAlign, TAlignment HorzAlign,
                       const TRect& Rect, int Margin);
  static TRect OffsetEdges(const TRect& Rect, int dLeft, int dTop, int dRight, int dBottom);
};

/** Colour mixing, clipping, frames, gradients and text. System colours are
 *  resolved before any arithmetic. */
class TGraphicsProvider {
public:
  TGraphicsProvider() = delete;
  /** Per channel (Color1 * Weight + Color2 * (255 - Weight)) shr 8; a weight
   *  outside 0..255 raises EAssertionFailed. */
  static TColor Blend(TColor Color1, TColor Color2, int Weight);
  /** Per channel Round(Color2 * Fraction + Color1 * (1 - Fraction)), ties to even. */
  static TColor MixColors(TColor Color1, TColor Color2, double Fraction);
  static void ClipRect(TCanvas* Canvas, const TRect& Rect);
  /** Button face inside a one-pixel 3-D frame, sunk when Down. */
  static void DrawButtonFace(TCanvas* Canvas, const TRect& Rect, bool Down);
  /** A clHighlight frame when Solid, else the dotted focus rectangle. */
  static void DrawFocus(TCanvas* Canvas, const TRect& Rect, bool Solid);
  /** One horizontal line per pixel row from Color1 at the top towards Color2. */
  static void FillVerticalGradient(TCanvas* Canvas, const TRect& Rect, TColor Color1, TColor Color2);
  /** One line, vertically centred, cut with an ellipsis; the brush is solid afterwards. */
  static void DrawTextLine(TCanvas* Canvas, const TRect& Rect, bool RightToLeft, const std::string& Text,
                           TAlignment Alignment);
  /** Text in a block, single line or word-wrapped; the brush is solid afterwards. */
  static void DrawTextBlock(TCanvas* Canvas, const TRect& Rect, const std::string& Text, bool WordWrap,
                            TVerticalAlignment VertAlign, TAlignment Alignment);
};

/** The weighted blend for per-pixel work. */
class TMaskProvider {
public:
  TMaskProvider() = delete;
  /** The same rule and assertion as TGraphicsProvider::Blend. */
  static TColor Blend(TColor Color1, TColor Color2, int Weight);
};

/** A cursor picture drawn in code: Draw paints on a transparent 32 x 32
 *  bitmap, pen black and brush white to begin with. */
TResourceDrawer CursorDrawer(std::function<void(TCanvas*)> Draw, TPoint HotSpot);

/** Bitmaps with per-pixel alpha. */
class TDrawProvider {
public:
  TDrawProvider() = delete;
  /** A pf32bit bitmap is blended into what lies under it by each pixel's
   *  alpha; any other bitmap is drawn as it is. */
  static void DrawBitmap(TCanvas* Canvas, int X, int Y, const TBitmap& Bitmap);
};
