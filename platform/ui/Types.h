#pragma once
/** Geometry, shift states, cursors and key codes in the class library's terms. */

#include <cstdint>
#include <initializer_list>

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

/** A rectangle whose right and bottom edges lie outside it: (0, 0, 10, 5) covers
 *  columns 0..9 and rows 0..4. */
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  /** No pixel inside: right not beyond left or bottom not below top. */
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  TPoint CenterPoint() const { return {Left + (Right - Left) / 2, Top + (Bottom - Top) / 2}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
inline bool PtInRect(const TRect& r, TPoint p) { return r.Contains(p); }
/** Moves every side outwards by dx and dy (inwards for negative values). */
inline void InflateRect(TRect& r, int dx, int dy) {
  r.Left -= dx;
  r.Top -= dy;
  r.Right += dx;
  r.Bottom += dy;
}
inline void OffsetRect(TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Top += dy;
  r.Right += dx;
  r.Bottom += dy;
}
/** dst = the common part of a and b; an empty answer is (0, 0, 0, 0) and false. */
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);

/** Shift keys and mouse buttons held during an event. */
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

class TShiftState {
public:
  TShiftState() = default;
  TShiftState(std::initializer_list<TShiftStateItem> items) {
    for (auto i : items) *this << i;
  }
  bool Contains(TShiftStateItem i) const { return (FBits & Bit(i)) != 0; }
  bool Empty() const { return FBits == 0; }
  TShiftState& operator<<(TShiftStateItem i) {
    FBits |= Bit(i);
    return *this;
  }
  TShiftState& operator>>(TShiftStateItem i) {
    FBits &= static_cast<std::uint8_t>(~Bit(i));
    return *this;
  }
  friend bool operator==(const TShiftState&, const TShiftState&) = default;

private:
  static std::uint8_t Bit(TShiftStateItem i) { return static_cast<std::uint8_t>(1u << i); }
  std::uint8_t FBits = 0;
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

/** A typed character as the key-press event sees it; 0 means "no key". */
using TKeyChar = char32_t;

/** Cursor numbers: the standard ones are negative, the program registers its own
 *  under positive numbers. */
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

/** Virtual key codes of the key-down event. Letters and digits are their
 *  upper-case character codes ('A', '0'). */
using WORD = std::uint16_t;
constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;
constexpr WORD VK_NEXT = 0x22;
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
constexpr WORD VK_F1 = 0x70;
constexpr WORD VK_F12 = 0x7B;
