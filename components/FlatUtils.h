#pragma once
/** Helpers shared by the flat controls: their enumeration types, derived
 *  colours, the two-colour frame, the disabled glyph, the placement of a
 *  glyph and a caption on a button, text metrics, and the hover tracking
 *  that tells a control when the mouse is over it. */

#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Colors.h"
#include "ui/Controls.h"
#include "ui/Types.h"

#include <functional>
#include <memory>
#include <string>

class TTimer;

enum TCheckBoxLayout { checkboxLeft, checkboxRight };
enum TRadioButtonLayout { radioLeft, radioRight };
/** Cells of a button glyph, 1..4. */
using TNumGlyphs = int;
/** A percentage, 0..100. */
using TGradColors = int;
enum TGroupBoxBorder { brFull, brOnlyTopLine };
/** When a flat button paints its face: never, only while hovered, always. */
enum TTransparentMode { tmAlways, tmNotFocused, tmNone };
/** Where a button's glyph stands relative to its caption. */
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

/** A colour derived from base: its lightness (on the 0..240 scale) plus 10,
 *  then minus percent (darken, not below 0) or plus percent (lighten, capped
 *  at 100), and never beyond the scale. Percent 0 gives own unchanged.
 *  System colours are resolved first. */
TColor CalcAdvancedColor(TColor base, TColor own, TGradColors percent, bool darken);

/** width nested one-pixel frames on rect, topColor at the left and top,
 *  bottomColor at the right and bottom; rect comes back shrunk by width on
 *  every side. */
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

/** The grey look of a one-cell glyph: the pixels of maskColor in source are
 *  drawn in shadow on background, with a highlight copy one pixel down and
 *  right under them when drawHighlight is set; every other pixel becomes
 *  background. */
std::unique_ptr<TBitmap> CreateDisabledBitmap(const TBitmap& source, TColor maskColor, TColor background,
                                              TColor highlight, TColor shadow, bool drawHighlight);

/** Places a glyph (numGlyphs cells side by side; null or empty: none) and a
 *  one-line caption in client, the caption measured in the canvas's font.
 *  Margin -1 centres the pair, Spacing -1 spreads it (see the button's
 *  Layout, Margin and Spacing). Both come back moved by client's origin and
 *  offset. */
void PlaceGlyphAndText(TCanvas* canvas, const TRect& client, TPoint offset, const std::string& caption,
                       TButtonLayout layout, int margin, int spacing, const TBitmap* glyph, TNumGlyphs numGlyphs,
                       TPoint& glyphPos, TRect& textBounds);

/** Draws text in r with flags over a clear brush: in the canvas's font
 *  colour, or when disabled embossed (clBtnHighlight one pixel down and
 *  right, then clBtnShadow in place). */
void DrawFlatCaption(TCanvas* canvas, const std::string& text, const TRect& r, unsigned flags, bool enabled);

/** The metric of a font that the controls size themselves by. */
struct TTextMetric {
  int tmHeight = 0;  // cell height: ascent plus descent
};
TTextMetric GetFontMetrics(const TFont& font);
/** The height of a line of text with an eighth of spacing: round(h + h / 8). */
int FontLineHeight(const TFont& font);
/** Whether the two rectangles share a pixel. */
bool RectsIntersect(const TRect& a, const TRect& b);
WORD SmallerWord(WORD a, WORD b);

/** The system's warning sound for a refused key or click. */
void MessageBeep(unsigned type);
/** How many times MessageBeep sounded since the program started. */
int MessageBeepCount();

/** The colours a flat button or option control derives from its Color
 *  while UseAdvColors is set: ColorFocused lighter by AdvColorFocused
 *  percent, ColorDown and ColorBorder darker by theirs. Setting UseAdvColors
 *  also sets ParentColor, and a change of the parent's colour derives them
 *  again. The colour setters store and repaint. */
template <class TBase>
class TFlatAdvColors : public TBase {
public:
  TFlatAdvColors(TComponent* AOwner, TColor focused, TColor down, TColor border)
      : TBase(AOwner), FColorFocused(focused), FColorDown(down), FColorBorder(border) {}

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

protected:
  void ParentColorChanged() override;

private:
  void SetColors(TColor& field, TColor value);
  void SetAdvColor(TGradColors& field, TGradColors value);
  void DeriveColors();
  TColor FColorFocused;
  TColor FColorDown;
  TColor FColorBorder;
  TGradColors FAdvColorFocused = 10;
  TGradColors FAdvColorDown = 10;
  TGradColors FAdvColorBorder = 50;
  bool FUseAdvColors = false;
};

class THoverTracker;

/** The hover state of one class of flat controls: a single timer for the
 *  whole class (made by its first control, freed by its last), the control
 *  it watches and the number of live controls. Controls of one class never
 *  touch another class's state. */
class THoverClass {
public:
  THoverClass() = default;
  THoverClass(const THoverClass&) = delete;
  THoverClass& operator=(const THoverClass&) = delete;
  ~THoverClass();
  TTimer* HoverTimer() const { return FTimer; }
  /** The control the timer watches, or null. */
  TControl* HoverControl() const;
  int InstanceCount() const { return FInstanceCount; }

private:
  friend class THoverTracker;
  TTimer* FTimer = nullptr;
  THoverTracker* FWatched = nullptr;
  int FInstanceCount = 0;
};

/** A control's part in its class's hover tracking. Hover starts on the
 *  first mouse move over the control while the application is active; the
 *  class's timer (100 ms) ends it once the cursor is elsewhere, and a move
 *  onto another control of the same class ends it at once. While the mouse
 *  is held on the control its hover is kept. */
class THoverTracker {
public:
  /** repaint shows a change of the flag; held tells whether the mouse
   *  button is held on the control. */
  THoverTracker(TControl* control, THoverClass& hoverClass, std::function<void()> repaint,
                std::function<bool()> held);
  ~THoverTracker();
  THoverTracker(const THoverTracker&) = delete;
  THoverTracker& operator=(const THoverTracker&) = delete;

  TControl* Control() const { return FControl; }
  bool Hovered() const { return FHovered; }
  /** Sets the flag without painting. */
  void SetHovered(bool value) { FHovered = value; }
  /** Sets the flag and repaints (when enabled and not hovered yet). */
  void HoverEnter();
  /** Clears the flag, stops watching and repaints (when enabled, hovered
   *  and not held). */
  void HoverLeave();
  /** Stops the class's timer when it watches this control. */
  void ReleaseHoverTimer();
  /** The timer's tick: leaves when the cursor is over another control. */
  void HoverTimerTick();
  /** A mouse move at (X, Y) in client coordinates: starts the hover. */
  void MouseMoved(int X, int Y);
  /** Sets the flag by whether the cursor is over the control now. */
  void SyncHover();

private:
  bool UnderPoint(TPoint screen) const;
  TControl* FControl;
  THoverClass& FClass;
  std::function<void()> FRepaint;
  std::function<bool()> FHeld;
  bool FHovered = false;
};
