#include "ui/Canvas.h"

#include "ui/Bitmap.h"
#include "ui/QtConvert.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

// ---------------------------------------------------------------- fonts

namespace {

QString FamilyFor(const std::string& name) {
  QString n = ToQString(name).toLower();
  if (n.contains("courier") || n.contains("fixedsys") || n.contains("console") || n.contains("terminal") ||
      n.contains("mono"))
    return QStringLiteral("DejaVu Sans Mono");
  if (n.contains("times") || n.contains("georgia") || n == "serif") return QStringLiteral("DejaVu Serif");
  return QStringLiteral("DejaVu Sans");
}

// Cell height of a family per 100 pixels of character height, to turn a
// positive (cell) height into a pixel size.
double CellPerHundred(const QString& family) {
  static std::map<QString, double> cache;
  auto it = cache.find(family);
  if (it != cache.end()) return it->second;
  QFont f(family);
  f.setPixelSize(100);
  const double cell = QFontMetrics(f).height();
  return cache[family] = cell > 0 ? cell : 100.0;
}

}  // namespace

QFont ToQFont(const TFont& font) {
  const QString family = FamilyFor(font.Name());
  QFont f(family);
  int px = 13;
  if (font.Height() < 0)
    px = -font.Height();
  else if (font.Height() > 0)
    px = std::max(1, static_cast<int>(std::lround(font.Height() * 100.0 / CellPerHundred(family))));
  f.setPixelSize(px);
  f.setBold((font.Style() & fsBold) != 0);
  f.setItalic((font.Style() & fsItalic) != 0);
  f.setUnderline((font.Style() & fsUnderline) != 0);
  f.setStrikeOut((font.Style() & fsStrikeOut) != 0);
  f.setStyleStrategy(QFont::NoAntialias);
  f.setKerning(false);
  return f;
}

TFont::TFont(const TFont& other)
    : FName(other.FName), FHeight(other.FHeight), FColor(other.FColor), FStyle(other.FStyle) {}

TFont& TFont::operator=(const TFont& other) {
  if (this == &other || SameAs(other)) return *this;
  FName = other.FName;
  FHeight = other.FHeight;
  FColor = other.FColor;
  FStyle = other.FStyle;
  Changed();
  return *this;
}

bool TFont::SameAs(const TFont& o) const {
  return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle;
}

void TFont::Changed() {
  if (OnChange) OnChange();
}

void TFont::SetName(const std::string& name) {
  if (name == FName) return;
  FName = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == FHeight) return;
  FHeight = height;
  Changed();
}

// Points and pixels at 96 pixels per inch, rounded like MulDiv.
int TFont::Size() const { return -static_cast<int>(std::lround(FHeight * 72.0 / 96.0)); }
void TFont::SetSize(int points) { SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0))); }

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

// ---------------------------------------------------------------- canvas

TCanvas::TCanvas(QImage* target) { SetTarget(target); }

void TCanvas::SetTarget(QImage* target) {
  FTarget = target;
  if (FTarget && !FTarget->isNull() && FTarget->format() != QImage::Format_RGB32 &&
      FTarget->format() != QImage::Format_ARGB32 && FTarget->format() != QImage::Format_ARGB32_Premultiplied)
    *FTarget = FTarget->convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TRect TCanvas::Reach() const {
  if (!FTarget || FTarget->isNull()) return TRect{};
  TRect r{0, 0, FTarget->width(), FTarget->height()};
  if (FHasArea) IntersectRect(r, r, FArea);
  if (FHasClip) IntersectRect(r, r, FClip);
  return r;
}

TRect TCanvas::ClipRect() const {
  if (!FHasClip && !FHasArea) return FTarget ? TRect{0, 0, FTarget->width(), FTarget->height()} : TRect{};
  TRect r = FHasArea ? FArea : FClip;
  if (FHasArea && FHasClip) IntersectRect(r, FArea, FClip);
  return r;
}

void TCanvas::SetPaintArea(const TRect& r) {
  FHasArea = true;
  FArea = r.IsEmpty() ? TRect{} : r;
}

void TCanvas::ClearPaintArea() {
  FHasArea = false;
  FArea = TRect{};
}

void TCanvas::SetClipRect(const TRect& r) {
  FHasClip = true;
  FClip = r.IsEmpty() ? TRect{} : r;
}

void TCanvas::ResetClipRect() {
  FHasClip = false;
  FClip = TRect{};
}

void TCanvas::Plot(int x, int y, TColor rgb, TPenMode mode) {
  if (!Reach().Contains({x, y})) return;
  QRgb* px = reinterpret_cast<QRgb*>(FTarget->scanLine(y)) + x;
  const QRgb c = ToQRgb(rgb) & 0xFFFFFFu;
  switch (mode) {
    case pmCopy: *px = 0xFF000000u | c; break;
    case pmNot: *px = 0xFF000000u | (~*px & 0xFFFFFFu); break;
    case pmXor: *px = 0xFF000000u | ((*px ^ c) & 0xFFFFFFu); break;
  }
}

void TCanvas::Span(int x1, int x2, int y, TColor color, TPenMode mode, const TRect& reach) {
  if (y < reach.Top || y >= reach.Bottom) return;
  x1 = std::max(x1, reach.Left);
  x2 = std::min(x2, reach.Right);
  if (x1 >= x2) return;
  QRgb* line = reinterpret_cast<QRgb*>(FTarget->scanLine(y));
  const QRgb c = ToQRgb(color) & 0xFFFFFFu;
  for (int x = x1; x < x2; ++x) {
    switch (mode) {
      case pmCopy: line[x] = 0xFF000000u | c; break;
      case pmNot: line[x] = 0xFF000000u | (~line[x] & 0xFFFFFFu); break;
      case pmXor: line[x] = 0xFF000000u | ((line[x] ^ c) & 0xFFFFFFu); break;
    }
  }
}

void TCanvas::FillRect(const TRect& r) {
  if (Brush.Style == bsClear || r.IsEmpty()) return;
  const TRect reach = Reach();
  for (int y = std::max(r.Top, reach.Top); y < std::min(r.Bottom, reach.Bottom); ++y)
    Span(r.Left, r.Right, y, Brush.Color, pmCopy, reach);
}

void TCanvas::FrameRect(const TRect& r) {
  if (Brush.Style == bsClear || r.IsEmpty()) return;
  const TRect reach = Reach();
  Span(r.Left, r.Right, r.Top, Brush.Color, pmCopy, reach);
  if (r.Bottom - 1 > r.Top) Span(r.Left, r.Right, r.Bottom - 1, Brush.Color, pmCopy, reach);
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    Plot(r.Left, y, Brush.Color, pmCopy);
    if (r.Right - 1 > r.Left) Plot(r.Right - 1, y, Brush.Color, pmCopy);
  }
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const TRect reach = Reach();
  if (Pen.Style == psClear) {
    // Without an outline the classic call fills one pixel less at the right and bottom.
    if (Brush.Style == bsSolid)
      for (int y = top; y < bottom - 1; ++y) Span(left, right - 1, y, Brush.Color, Pen.Mode, reach);
    return;
  }
  const int w = std::max(1, Pen.Width);
  if (Brush.Style == bsSolid)
    for (int y = top + w; y < bottom - w; ++y) Span(left + w, right - w, y, Brush.Color, Pen.Mode, reach);
  // A wider pen draws nested frames inside the rectangle.
  for (int i = 0; i < w; ++i) {
    const TRect f{left + i, top + i, right - i, bottom - i};
    if (f.IsEmpty()) break;
    Span(f.Left, f.Right, f.Top, Pen.Color, Pen.Mode, reach);
    if (f.Bottom - 1 > f.Top) Span(f.Left, f.Right, f.Bottom - 1, Pen.Color, Pen.Mode, reach);
    for (int y = f.Top + 1; y < f.Bottom - 1; ++y) {
      Plot(f.Left, y, Pen.Color, Pen.Mode);
      if (f.Right - 1 > f.Left) Plot(f.Right - 1, y, Pen.Color, Pen.Mode);
    }
  }
}

void TCanvas::ThinLine(TPoint a, TPoint b, TColor color, TPenMode mode) {
  // Bresenham, stopping one step before the end point.
  int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
  const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  int err = dx + dy;
  int x = a.X, y = a.Y;
  while (x != b.X || y != b.Y) {
    Plot(x, y, color, mode);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void TCanvas::PaintWith(const std::function<void(QPainter&)>& fn, TPenMode mode) {
  if (!FTarget || FTarget->isNull()) return;
  const TRect reach = Reach();
  if (reach.IsEmpty()) return;
  QPainter p(FTarget);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  if (FHasClip || FHasArea) p.setClipRect(ToQRect(reach));
  if (mode == pmXor) p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  if (mode == pmNot) p.setCompositionMode(QPainter::RasterOp_NotDestination);
  fn(p);
}

namespace {

QPen QtPen(const TPen& pen) {
  if (pen.Style == psClear) return QPen(Qt::NoPen);
  QPen p(ToQColor(pen.Color));
  if (pen.Width > 1) {
    p.setWidth(pen.Width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
  } else {
    p.setWidth(0);  // cosmetic: one pixel
  }
  return p;
}

QBrush QtBrush(const TBrush& brush) {
  if (brush.Style == bsClear) return QBrush(Qt::NoBrush);
  return QBrush(ToQColor(brush.Color));
}

}  // namespace

void TCanvas::LineTo(int x, int y) {
  const TPoint from = FPenPos;
  FPenPos = {x, y};
  if (Pen.Style == psClear) return;
  if (Pen.Width <= 1) {
    ThinLine(from, {x, y}, Pen.Color, Pen.Mode);
    return;
  }
  const QPen pen = QtPen(Pen);
  PaintWith(
      [&](QPainter& p) {
        p.setPen(pen);
        p.drawLine(from.X, from.Y, x, y);
      },
      Pen.Mode);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  MoveTo(points[0].X, points[0].Y);
  for (size_t i = 1; i < points.size(); ++i) LineTo(points[i].X, points[i].Y);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  QPolygon poly;
  for (const TPoint& pt : points) poly << QPoint(pt.X, pt.Y);
  const QPen pen = QtPen(Pen);
  const QBrush brush = QtBrush(Brush);
  PaintWith(
      [&](QPainter& p) {
        p.setPen(pen);
        p.setBrush(brush);
        p.drawPolygon(poly, Qt::OddEvenFill);
      },
      Pen.Mode);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  const QPen pen = QtPen(Pen);
  const QBrush brush = QtBrush(Brush);
  // A one-pixel outline of QRect(x, y, w, h) covers x..x+w, so w is one short.
  PaintWith(
      [&](QPainter& p) {
        p.setPen(pen);
        p.setBrush(brush);
        p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
      },
      Pen.Mode);
}

TColor TCanvas::Pixels(int x, int y) const {
  if (!Reach().Contains({x, y})) return -1;
  return FromQRgb(reinterpret_cast<const QRgb*>(FTarget->constScanLine(y))[x]);
}

void TCanvas::SetPixels(int x, int y, TColor color) { Plot(x, y, color, pmCopy); }

void TCanvas::DrawFocusRect(const TRect& r) {
  if (r.IsEmpty()) return;
  // Every pixel of the frame once, inverted where x + y is even.
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) Plot(x, y, clBlack, pmNot);
  };
  for (int x = r.Left; x < r.Right; ++x) {
    dot(x, r.Top);
    if (r.Bottom - 1 > r.Top) dot(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    dot(r.Left, y);
    if (r.Right - 1 > r.Left) dot(r.Right - 1, y);
  }
}

// One border: the top-left colour on the left column and top row, the
// bottom-right colour on the right column and bottom row (which therefore
// take the top-right and bottom-left corners). The named sides shrink r by one.
void TCanvas::Border(TRect& r, TColor topLeft, TColor bottomRight, unsigned sides) {
  if (r.IsEmpty()) return;
  const TRect reach = Reach();
  if (sides & BF_LEFT)
    for (int y = r.Top; y < r.Bottom - 1; ++y) Plot(r.Left, y, topLeft, pmCopy);
  if (sides & BF_TOP) Span(r.Left, r.Right - 1, r.Top, topLeft, pmCopy, reach);
  if (sides & BF_RIGHT)
    for (int y = r.Top; y < r.Bottom; ++y) Plot(r.Right - 1, y, bottomRight, pmCopy);
  if (sides & BF_BOTTOM) Span(r.Left, r.Right, r.Bottom - 1, bottomRight, pmCopy, reach);
  if (sides & BF_LEFT) ++r.Left;
  if (sides & BF_TOP) ++r.Top;
  if (sides & BF_RIGHT) --r.Right;
  if (sides & BF_BOTTOM) --r.Bottom;
}

bool TCanvas::DrawEdge(TRect& r, unsigned edge, unsigned flags) {
  TRect inner = r;
  const unsigned sides = flags & BF_RECT;
  const bool flat = (flags & BF_FLAT) != 0, mono = (flags & BF_MONO) != 0;
  if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
    if (mono)
      Border(inner, clBlack, clBlack, sides);
    else if (flat)
      Border(inner, clBtnShadow, clBtnShadow, sides);
    else if (edge & BDR_RAISEDOUTER)
      Border(inner, cl3DLight, cl3DDkShadow, sides);
    else
      Border(inner, clBtnShadow, clBtnHighlight, sides);
  }
  if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
    if (mono)
      Border(inner, clWindow, clWindow, sides);
    else if (flat)
      Border(inner, clBtnFace, clBtnFace, sides);
    else if (edge & BDR_RAISEDINNER)
      Border(inner, clBtnHighlight, clBtnShadow, sides);
    else
      Border(inner, cl3DDkShadow, cl3DLight, sides);
  }
  if (flags & BF_MIDDLE) {
    const TBrush saved = Brush;
    Brush = TBrush{(flat || mono) ? clWindow : clBtnFace, bsSolid};
    FillRect(inner);
    Brush = saved;
  }
  if (flags & BF_ADJUST) r = inner;
  return true;
}

void TCanvas::CheckMark(const TRect& box, TColor color) {
  // The classic 7 x 7 check mark, centred in box.
  static const char* const kMark[7] = {"......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X...."};
  const int ox = box.Left + (box.Width() - 7) / 2, oy = box.Top + (box.Height() - 7) / 2;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x)
      if (kMark[y][x] == 'X') Plot(ox + x, oy + y, color, pmCopy);
}

bool TCanvas::DrawFrameControl(const TRect& rect, unsigned kind, unsigned state) {
  TRect r = rect;
  const bool inactive = (state & DFCS_INACTIVE) != 0, pushed = (state & DFCS_PUSHED) != 0;
  const bool flat = (state & DFCS_FLAT) != 0, mono = (state & DFCS_MONO) != 0;
  const unsigned type = state & 0xFF;
  const TBrush saved = Brush;
  bool done = true;
  if (kind == DFC_BUTTON && type == DFCS_BUTTONCHECK) {
    if (mono || flat)
      Border(r, mono ? clBlack : clBtnShadow, mono ? clBlack : clBtnShadow, BF_RECT);
    else
      DrawEdge(r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    Brush = TBrush{(inactive || pushed) ? clBtnFace : clWindow, bsSolid};
    FillRect(r);
    if (state & DFCS_CHECKED) CheckMark(r, inactive ? clGrayText : clWindowText);
  } else if (kind == DFC_BUTTON && type == DFCS_BUTTONPUSH) {
    if (mono || flat)
      Border(r, mono ? clBlack : clBtnShadow, mono ? clBlack : clBtnShadow, BF_RECT);
    else
      DrawEdge(r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    Brush = TBrush{clBtnFace, bsSolid};
    FillRect(r);
  } else if (kind == DFC_MENU && type == DFCS_MENUCHECK) {
    CheckMark(r, clBlack);
  } else if (kind == DFC_SCROLL && type == DFCS_SCROLLCOMBOBOX) {
    if (mono || flat || pushed)
      Border(r, mono ? clBlack : clBtnShadow, mono ? clBlack : clBtnShadow, BF_RECT);
    else
      DrawEdge(r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    Brush = TBrush{clBtnFace, bsSolid};
    FillRect(r);
    // A downward arrow, 7 pixels wide and 4 high, one pixel lower while pushed.
    const TColor c = inactive ? clGrayText : clBtnText;
    const int shift = pushed ? 1 : 0;
    const int ax = r.Left + (r.Width() - 7) / 2 + shift, ay = r.Top + (r.Height() - 4) / 2 + shift;
    const TRect reach = Reach();
    for (int i = 0; i < 4; ++i) Span(ax + i, ax + 7 - i, ay + i, c, pmCopy, reach);
  } else {
    done = false;
  }
  Brush = saved;
  return done;
}

// ---------------------------------------------------------------- text

namespace {

QString StripPrefix(const QString& s) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size()) out += s[++i];
      continue;
    }
    out += s[i];
  }
  return out;
}

// Greedy word wrap at blanks; a word longer than the width stays whole.
void WrapParagraph(const QString& para, int width, const QFontMetrics& fm, std::vector<QString>& lines) {
  QString line;
  bool lineStarted = false;
  qsizetype i = 0;
  while (i < para.size()) {
    qsizetype sp = i;
    while (sp < para.size() && para[sp] == ' ') ++sp;
    qsizetype we = sp;
    while (we < para.size() && para[we] != ' ') ++we;
    const QString blanks = para.mid(i, sp - i), word = para.mid(sp, we - sp);
    if (!lineStarted) {
      line = blanks + word;
      lineStarted = true;
    } else if (fm.horizontalAdvance(line + blanks + word) <= width) {
      line += blanks + word;
    } else {
      lines.push_back(line);
      line = word;
    }
    i = we;
  }
  lines.push_back(line);
}

QString Ellipsize(const QString& line, int width, const QFontMetrics& fm) {
  if (fm.horizontalAdvance(line) <= width) return line;
  for (qsizetype n = line.size() - 1; n > 0; --n) {
    const QString cand = line.left(n) + QStringLiteral("...");
    if (fm.horizontalAdvance(cand) <= width) return cand;
  }
  return QStringLiteral("...");
}

}  // namespace

std::vector<TTextLine> TCanvas::TextLayout(const std::string& text, const TRect& r, unsigned flags) const {
  const QFont qf = ToQFont(Font);
  const QFontMetrics fm(qf);
  const int lineH = fm.height() + ((flags & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
  QString s = ToQString(text);
  if (!(flags & DT_NOPREFIX)) s = StripPrefix(s);

  std::vector<QString> lines;
  const bool single = (flags & DT_SINGLELINE) != 0;
  if (single) {
    s.remove('\r');
    s.remove('\n');
    lines.push_back(s);
  } else {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace('\r', '\n');
    const QStringList paras = s.split('\n');
    for (const QString& p : paras) {
      if (flags & DT_WORDBREAK)
        WrapParagraph(p, r.Width(), fm, lines);
      else
        lines.push_back(p);
    }
  }
  if ((flags & DT_END_ELLIPSIS) && !(flags & DT_CALCRECT))
    for (QString& l : lines) l = Ellipsize(l, r.Width(), fm);

  const int total = lineH * static_cast<int>(lines.size());
  int y = r.Top;
  if (single && (flags & DT_VCENTER))
    y = (r.Top + r.Bottom - total) / 2;
  else if (single && (flags & DT_BOTTOM))
    y = r.Bottom - total;

  std::vector<TTextLine> out;
  out.reserve(lines.size());
  for (const QString& l : lines) {
    const int w = fm.horizontalAdvance(l);
    int x = r.Left;
    if (!(flags & DT_CALCRECT)) {
      if (flags & DT_CENTER)
        x = (r.Left + r.Right - w) / 2;
      else if (flags & DT_RIGHT)
        x = r.Right - w;
    }
    out.push_back({FromQString(l), TRect{x, y, x + w, y + lineH}});
    y += lineH;
  }
  return out;
}

int TCanvas::DrawText(const std::string& text, TRect& r, unsigned flags) {
  const std::vector<TTextLine> lines = TextLayout(text, r, flags);
  const int height = lines.empty() ? 0 : lines.back().Bounds.Bottom - lines.front().Bounds.Top;
  if (flags & DT_CALCRECT) {
    int w = 0;
    for (const TTextLine& l : lines) w = std::max(w, l.Bounds.Width());
    r.Right = r.Left + w;
    r.Bottom = r.Top + height;
    return height;
  }
  const QFont qf = ToQFont(Font);
  const int ascent = QFontMetrics(qf).ascent();
  const TRect saveClip = FClip;
  const bool saveHas = FHasClip;
  if (!(flags & DT_NOCLIP)) {
    TRect c = r;
    if (FHasClip) IntersectRect(c, FClip, r);
    SetClipRect(c);
  }
  for (const TTextLine& l : lines) FillRect(l.Bounds);
  const QColor color = ToQColor(Font.Color());
  PaintWith([&](QPainter& p) {
    p.setFont(qf);
    p.setPen(color);
    for (const TTextLine& l : lines) p.drawText(l.Bounds.Left, l.Bounds.Top + ascent, ToQString(l.Text));
  });
  FClip = saveClip;
  FHasClip = saveHas;
  return height;
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  const QFont qf = ToQFont(Font);
  const QFontMetrics fm(qf);
  const QString s = ToQString(text);
  const int w = fm.horizontalAdvance(s);
  FillRect(TRect{x, y, x + w, y + fm.height()});
  const QColor color = ToQColor(Font.Color());
  PaintWith([&](QPainter& p) {
    p.setFont(qf);
    p.setPen(color);
    p.drawText(x, y + fm.ascent(), s);
  });
  FPenPos = {x + w, y};
}

int TCanvas::TextWidth(const std::string& text) const {
  return QFontMetrics(ToQFont(Font)).horizontalAdvance(ToQString(text));
}

int TCanvas::TextHeight(const std::string&) const { return QFontMetrics(ToQFont(Font)).height(); }

TSize TCanvas::TextExtent(const std::string& text) const { return {TextWidth(text), TextHeight(text)}; }

// ---------------------------------------------------------------- images

void TCanvas::PutImage(const QImage& src, int x, int y, bool transparent, TColor transparentColor) {
  if (!FTarget || src.isNull()) return;
  const QImage img = src.format() == QImage::Format_ARGB32 || src.format() == QImage::Format_RGB32
                         ? src
                         : src.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = ToQRgb(transparentColor) & 0xFFFFFFu;
  TRect dst;
  if (!IntersectRect(dst, Reach(), Bounds(x, y, img.width(), img.height()))) return;
  for (int dy = dst.Top; dy < dst.Bottom; ++dy) {
    const QRgb* s = reinterpret_cast<const QRgb*>(img.constScanLine(dy - y));
    QRgb* d = reinterpret_cast<QRgb*>(FTarget->scanLine(dy));
    for (int dx = dst.Left; dx < dst.Right; ++dx) {
      const QRgb v = s[dx - x] & 0xFFFFFFu;
      if (transparent && v == key) continue;
      d[dx] = 0xFF000000u | v;
    }
  }
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  PutImage(bitmap.Image(), x, y, bitmap.Transparent(), bitmap.EffectiveTransparentColor());
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap& bitmap) {
  if (r.IsEmpty() || bitmap.Empty()) return;
  const QImage scaled = bitmap.Image().scaled(r.Width(), r.Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
  PutImage(scaled, r.Left, r.Top, bitmap.Transparent(), bitmap.EffectiveTransparentColor());
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect) {
  if (!source.FTarget || dest.IsEmpty() || sourceRect.IsEmpty()) return;
  QImage part = source.FTarget->copy(ToQRect(sourceRect));
  if (part.width() != dest.Width() || part.height() != dest.Height())
    part = part.scaled(dest.Width(), dest.Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
  PutImage(part, dest.Left, dest.Top, false, clNone);
}
