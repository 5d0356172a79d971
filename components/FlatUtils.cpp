#include "components/FlatUtils.h"

#include "components/HSLUtils.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"

#include <QApplication>

#include <algorithm>
#include <cmath>

TColor CalcAdvancedColor(TColor base, TColor own, TGradColors percent, bool darken) {
  if (percent == 0) return own;
  int h, s, l;
  RGBToHSLRange(ColorToRGB(base), h, s, l);
  l += 10;
  if (darken) {
    l -= percent;
    if (l < 0) l = 0;
  } else {
    l += percent;
    if (l > 100) l = 100;  // the cap is 100, not the scale: light colours come out darker
  }
  // Darkening a very light colour by less than 10 lands above the scale.
  l = std::min(l, HSLScale);
  return HSLRangeToRGB(h, s, l);
}

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  canvas->Pen.Width = 1;
  --rect.Bottom;
  --rect.Right;
  for (int i = 0; i < width; ++i) {
    canvas->Pen.Color = topColor;
    canvas->Polyline({{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
    canvas->Pen.Color = bottomColor;
    canvas->Polyline({{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}});
    InflateRect(rect, -1, -1);
  }
  ++rect.Bottom;
  ++rect.Right;
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(const TBitmap& source, TColor maskColor, TColor background,
                                              TColor highlight, TColor shadow, bool drawHighlight) {
  const int w = source.Width(), h = source.Height();
  auto result = std::make_unique<TBitmap>(w, h);
  TCanvas* c = result->Canvas();
  c->Brush = TBrush{background, bsSolid};
  c->FillRect(TRect{0, 0, w, h});
  if (source.Empty()) return result;
  // The mask: where the source has the mask colour.
  const TColor key = ColorToRGB(maskColor);
  std::vector<bool> mask(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* line = source.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* px = line + 4 * x;
      mask[static_cast<size_t>(y) * w + x] = RGB(px[2], px[1], px[0]) == key;
    }
  }
  auto stamp = [&](int dx, int dy, TColor color) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (mask[static_cast<size_t>(y) * w + x]) c->SetPixels(x + dx, y + dy, color);
  };
  if (drawHighlight) stamp(1, 1, highlight);
  stamp(0, 0, shadow);
  return result;
}

void PlaceGlyphAndText(TCanvas* canvas, const TRect& client, TPoint offset, const std::string& caption,
                       TButtonLayout layout, int margin, int spacing, const TBitmap* glyph, TNumGlyphs numGlyphs,
                       TPoint& glyphPos, TRect& textBounds) {
  const TPoint clientSize{client.Width(), client.Height()};
  TPoint glyphSize;
  if (glyph && !glyph->Empty()) glyphSize = {glyph->Width() / std::max(1, numGlyphs), glyph->Height()};
  TPoint textSize;
  if (caption.empty()) {
    textBounds = TRect{};
  } else {
    textBounds = TRect{0, 0, clientSize.X, 0};
    canvas->DrawText(caption, textBounds, DT_CALCRECT | DT_SINGLELINE);
    textSize = {textBounds.Width(), textBounds.Height()};
  }
  const bool across = layout == blGlyphLeft || layout == blGlyphRight;
  // The axis the pair lies along, and the one it is centred on.
  auto along = [across](TPoint& p) -> int& { return across ? p.X : p.Y; };
  auto centred = [across](TPoint& p) -> int& { return across ? p.Y : p.X; };
  TPoint textPos;
  TPoint cs = clientSize, gs = glyphSize, ts = textSize;
  centred(glyphPos) = (centred(cs) - centred(gs) + 1) / 2;
  centred(textPos) = (centred(cs) - centred(ts) + 1) / 2;

  if (ts.X == 0 || gs.X == 0) spacing = 0;
  if (margin == -1) {
    if (spacing == -1) {
      const int total = along(gs) + along(ts);
      margin = (along(cs) - total) / 3;
      spacing = margin;
    } else {
      const int total = along(gs) + spacing + along(ts);
      margin = (along(cs) - total + 1) / 2;
    }
  } else if (spacing == -1) {
    const int total = along(cs) - (margin + along(gs));
    spacing = (total - along(ts)) / 2;
  }

  switch (layout) {
    case blGlyphLeft:
      glyphPos.X = margin;
      textPos.X = glyphPos.X + gs.X + spacing;
      break;
    case blGlyphRight:
      glyphPos.X = cs.X - margin - gs.X;
      textPos.X = glyphPos.X - spacing - ts.X;
      break;
    case blGlyphTop:
      glyphPos.Y = margin;
      textPos.Y = glyphPos.Y + gs.Y + spacing;
      break;
    case blGlyphBottom:
      glyphPos.Y = cs.Y - margin - gs.Y;
      textPos.Y = glyphPos.Y - spacing - ts.Y;
      break;
  }
  glyphPos.X += client.Left + offset.X;
  glyphPos.Y += client.Top + offset.Y;
  OffsetRect(textBounds, textPos.X + client.Left + offset.X, textPos.Y + client.Top + offset.Y);
}

void DrawFlatCaption(TCanvas* canvas, const std::string& text, const TRect& r, unsigned flags, bool enabled) {
  canvas->Brush.Style = bsClear;
  TRect at = r;
  if (enabled) {
    canvas->DrawText(text, at, flags);
    return;
  }
  const TColor saved = canvas->Font.Color();
  OffsetRect(at, 1, 1);
  canvas->Font.SetColor(clBtnHighlight);
  canvas->DrawText(text, at, flags);
  at = r;
  canvas->Font.SetColor(clBtnShadow);
  canvas->DrawText(text, at, flags);
  canvas->Font.SetColor(saved);
}

TTextMetric GetFontMetrics(const TFont& font) {
  TCanvas measure;
  measure.Font = font;
  return TTextMetric{measure.TextHeight("0")};
}

int FontLineHeight(const TFont& font) {
  const int h = GetFontMetrics(font).tmHeight;
  return static_cast<int>(std::nearbyint(h + h / 8.0));
}

bool RectsIntersect(const TRect& a, const TRect& b) {
  TRect common;
  return IntersectRect(common, a, b);
}

WORD SmallerWord(WORD a, WORD b) { return std::min(a, b); }

namespace {
int gBeeps = 0;
}  // namespace

void MessageBeep(unsigned) {
  ++gBeeps;
  QApplication::beep();
}

int MessageBeepCount() { return gBeeps; }

// ---------------------------------------------------------------- derived colours

template <class TBase>
void TFlatAdvColors<TBase>::SetColors(TColor& field, TColor value) {
  field = value;
  this->Invalidate();
}

template <class TBase>
void TFlatAdvColors<TBase>::SetAdvColor(TGradColors& field, TGradColors value) {
  field = std::clamp(value, 0, 100);
  DeriveColors();
  this->Invalidate();
}

template <class TBase>
void TFlatAdvColors<TBase>::SetUseAdvColors(bool value) {
  if (value == FUseAdvColors) return;
  FUseAdvColors = value;
  this->SetParentColor(value);
  DeriveColors();
  this->Invalidate();
}

template <class TBase>
void TFlatAdvColors<TBase>::DeriveColors() {
  if (!FUseAdvColors) return;
  const TColor base = this->Color();
  FColorFocused = CalcAdvancedColor(base, FColorFocused, FAdvColorFocused, false);
  FColorDown = CalcAdvancedColor(base, FColorDown, FAdvColorDown, true);
  FColorBorder = CalcAdvancedColor(base, FColorBorder, FAdvColorBorder, true);
}

template <class TBase>
void TFlatAdvColors<TBase>::ParentColorChanged() {
  TBase::ParentColorChanged();
  if (FUseAdvColors) {
    this->SetParentColor(true);
    DeriveColors();
  }
  this->Invalidate();
}

template class TFlatAdvColors<TGraphicControl>;
template class TFlatAdvColors<TCustomControl>;

// ---------------------------------------------------------------- hover tracking

THoverClass::~THoverClass() { delete FTimer; }

TControl* THoverClass::HoverControl() const { return FWatched ? FWatched->Control() : nullptr; }

THoverTracker::THoverTracker(TControl* control, THoverClass& hoverClass, std::function<void()> repaint,
                             std::function<bool()> held)
    : FControl(control), FClass(hoverClass), FRepaint(std::move(repaint)), FHeld(std::move(held)) {
  if (FClass.FInstanceCount++ == 0 && !FClass.FTimer) {
    FClass.FTimer = new TTimer(nullptr);
    FClass.FTimer->SetEnabled(false);
    FClass.FTimer->SetInterval(100);
  }
}

THoverTracker::~THoverTracker() {
  ReleaseHoverTimer();
  if (--FClass.FInstanceCount == 0) {
    delete FClass.FTimer;
    FClass.FTimer = nullptr;
  }
}

bool THoverTracker::UnderPoint(TPoint screen) const { return FindDragTarget(screen, true) == FControl; }

void THoverTracker::HoverEnter() {
  if (!FControl->Enabled() || FHovered) return;
  FHovered = true;
  FRepaint();
}

void THoverTracker::HoverLeave() {
  if (!FControl->Enabled() || !FHovered || FHeld()) return;
  FHovered = false;
  ReleaseHoverTimer();
  FRepaint();
}

void THoverTracker::ReleaseHoverTimer() {
  if (FClass.FWatched != this) return;
  // The tick stays bound (it may be running now); a disabled timer never calls it.
  FClass.FTimer->SetEnabled(false);
  FClass.FWatched = nullptr;
}

void THoverTracker::HoverTimerTick() {
  if (!Screen || !UnderPoint(Screen->CursorPos())) HoverLeave();
}

void THoverTracker::MouseMoved(int X, int Y) {
  if (FClass.FWatched == this || !UnderPoint(FControl->ClientToScreen({X, Y}))) return;
  if (FClass.FWatched) FClass.FWatched->HoverLeave();
  // An application in the background shows no hover.
  if (!Application || !Application->Active()) return;
  TTimer* timer = FClass.FTimer;
  timer->SetEnabled(false);
  FClass.FWatched = this;
  timer->OnTimer = [this](TObject*) { HoverTimerTick(); };
  timer->SetEnabled(true);
  HoverEnter();
}

void THoverTracker::SyncHover() {
  if (!FControl->Enabled()) return;
  if (Screen && UnderPoint(Screen->CursorPos())) {
    FHovered = false;
    HoverEnter();
  } else {
    FHovered = true;
    HoverLeave();
  }
}
