#pragma once
/** The canvas of the class library, drawn on a 32-bit image. Rectangles keep
 *  their right and bottom edges outside; LineTo leaves its end pixel undrawn;
 *  Rectangle, FrameRect, FillRect, lines, pixels, focus rectangles, edges and
 *  bitmaps are set pixel by pixel so they cover exactly the classic pixels.
 *  Text, ellipses, polygons and thick lines go through QPainter. */

#include "ui/Colors.h"
#include "ui/Types.h"

#include <functional>
#include <string>
#include <vector>

class QImage;
class QPainter;
class TBitmap;

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

/** A font by name, height and style. Height in pixels: negative for the
 *  character height, positive for the cell height (with internal leading).
 *  The classic UI font names are drawn in DejaVu Sans. */
class TFont {
public:
  TFont() = default;
  /** Copies the values, not the change handler. */
  TFont(const TFont& other);
  /** Assign: takes the values, keeps its own change handler. */
  TFont& operator=(const TFont& other);

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  /** Size in points at 96 pixels per inch. */
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);

  void Assign(const TFont& source) { *this = source; }
  bool SameAs(const TFont& other) const;

  /** Fired after any value changed. */
  std::function<void()> OnChange;

private:
  void Changed();
  std::string FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
};

enum TPenStyle { psSolid, psClear };
/** pmNot inverts what lies under the pen; pmXor combines it with the pen colour,
 *  so drawing the same thing twice restores the picture. */
enum TPenMode { pmCopy, pmNot, pmXor };

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear };

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

// DrawText flags.
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;  // single line only
constexpr unsigned DT_BOTTOM = 0x0008;   // single line only
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_EXTERNALLEADING = 0x0200;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// DrawEdge borders and sides.
constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_MIDDLE = 0x0800;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

// DrawFrameControl kinds and states.
constexpr unsigned DFC_MENU = 2;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_MENUCHECK = 0x0001;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr unsigned DFCS_BUTTONCHECK = 0x0000;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_CHECKED = 0x0400;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;

/** One line of text as DrawText places it. */
struct TTextLine {
  std::string Text;  // as drawn: prefix characters removed, ellipsis added
  TRect Bounds;      // text width by line height, where it is drawn
};

/** Draws on a QImage it borrows (32-bit formats; others are converted in place).
 *  A canvas without an image measures text and draws nothing. */
class TCanvas {
public:
  explicit TCanvas(QImage* target = nullptr);
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  void SetTarget(QImage* target);
  QImage* Target() const { return FTarget; }

  TPen Pen;
  TBrush Brush;
  TFont Font;

  void FillRect(const TRect& r);
  /** A one-pixel frame in the brush colour on the rectangle's outermost pixels. */
  void FrameRect(const TRect& r);
  /** Outline in the pen, inside in the brush. Without a pen the filled area
   *  ends one pixel earlier at the right and bottom, as the classic call does. */
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void MoveTo(int x, int y) { FPenPos = {x, y}; }
  /** A line from the pen position up to, not including, (x, y). */
  void LineTo(int x, int y);
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint p) { FPenPos = p; }
  /** Connected lines; the last point is not drawn. */
  void Polyline(const std::vector<TPoint>& points);
  /** Filled with the brush (alternate fill) and outlined with the pen. */
  void Polygon(const std::vector<TPoint>& points);
  /** The colour at (x, y); -1 outside the image or the clip rectangle. */
  TColor Pixels(int x, int y) const;
  void SetPixels(int x, int y, TColor color);
  /** The dotted focus frame, drawn by inverting every other pixel; drawing it twice removes it. */
  void DrawFocusRect(const TRect& r);
  /** Classic 3-D borders (BDR_..., EDGE_...) on the sides named by BF_...;
   *  BF_ADJUST leaves r as the area inside the borders. */
  bool DrawEdge(TRect& r, unsigned edge, unsigned flags);
  /** Classic controls: push button, check box, menu check mark, combo box arrow. */
  bool DrawFrameControl(const TRect& r, unsigned kind, unsigned state);

  /** Text with its top-left at (x, y); with a solid brush the text box is
   *  filled first. The pen moves to the end of the text. */
  void TextOut(int x, int y, const std::string& text);
  /** Classic DrawText: alignment, single line, word break, ellipsis, prefix '&'.
   *  With DT_CALCRECT nothing is drawn and r is set to the text's extent.
   *  Returns the height of the text. */
  int DrawText(const std::string& text, TRect& r, unsigned flags);
  /** Where DrawText would put each line. */
  std::vector<TTextLine> TextLayout(const std::string& text, const TRect& r, unsigned flags) const;
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;
  TSize TextExtent(const std::string& text) const;

  /** Drawing is limited to r (within the image and the paint area) until the
   *  clip is reset. */
  void SetClipRect(const TRect& r);
  /** Back to the whole paint area (the whole image outside painting). */
  void ResetClipRect();
  bool HasClipRect() const { return FHasClip; }
  /** The area drawing can reach: the clip rectangle within the paint area. */
  TRect ClipRect() const;
  /** While a window paints, drawing never leaves the area being updated: no
   *  clip rectangle reaches beyond it. */
  void SetPaintArea(const TRect& r);
  void ClearPaintArea();

  /** The bitmap at (x, y); a transparent bitmap leaves its transparent colour out. */
  void Draw(int x, int y, const TBitmap& bitmap);
  /** The bitmap scaled to fill r (nearest pixel). */
  void StretchDraw(const TRect& r, const TBitmap& bitmap);
  /** Copies sourceRect of source into dest, scaled when the sizes differ. */
  void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);

private:
  TRect Reach() const;
  void Plot(int x, int y, TColor rgb, TPenMode mode);
  void Span(int x1, int x2, int y, TColor rgb, TPenMode mode, const TRect& reach);
  void ThinLine(TPoint from, TPoint to, TColor rgb, TPenMode mode);
  void PaintWith(const std::function<void(QPainter&)>& fn, TPenMode mode = pmCopy);
  void Border(TRect& r, TColor topLeft, TColor bottomRight, unsigned sides);
  void CheckMark(const TRect& box, TColor color);
  void PutImage(const QImage& image, int x, int y, bool transparent, TColor transparentColor);

  QImage* FTarget = nullptr;
  TPoint FPenPos;
  bool FHasClip = false;
  TRect FClip;
  bool FHasArea = false;
  TRect FArea;
};
