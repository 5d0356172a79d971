#pragma once
/** Conversions between the layer's types and Qt's. Only platform/ui and its
 *  tools use this header. */

#include "ui/Canvas.h"
#include "ui/Colors.h"
#include "ui/Types.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

#include <string>

inline QString ToQString(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string FromQString(const QString& s) { return s.toUtf8().toStdString(); }

/** 0xFFRRGGBB of a colour, system colours resolved. */
inline QRgb ToQRgb(TColor c) {
  const TColor v = ColorToRGB(c);
  return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}
inline QColor ToQColor(TColor c) { return QColor(ToQRgb(c)); }
inline TColor FromQRgb(QRgb v) { return RGB(qRed(v), qGreen(v), qBlue(v)); }

/** Qt rectangles keep their right edge inside; ours do not. */
inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
inline TRect FromQRect(const QRect& r) { return Bounds(r.x(), r.y(), r.width(), r.height()); }
inline QPoint ToQPoint(TPoint p) { return QPoint(p.X, p.Y); }
inline TPoint FromQPoint(QPoint p) { return {p.x(), p.y()}; }

/** The Qt font that draws a TFont: classic names map to the DejaVu families,
 *  the height becomes a pixel size, glyphs are not smoothed (as the classic
 *  bitmap fonts were not). */
QFont ToQFont(const TFont& font);
