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

/** A set of the members of an enumeration (at most 64 of them), as the class
 *  library's Pascal sets: built from a list, tested with Contains, changed
 *  with << (include) and >> (exclude). */
template <class E>
class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E i : items) FBits |= Bit(i);
  }
  constexpr bool Contains(E i) const { return (FBits & Bit(i)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TSet& operator<<(E i) {
    FBits |= Bit(i);
    return *this;
  }
  constexpr TSet& operator>>(E i) {
    FBits &= ~Bit(i);
    return *this;
  }
  /** Union, difference and intersection. */
  constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
  constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
  constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
  constexpr std::uint64_t Bits() const { return FBits; }
  static constexpr TSet FromBits(std::uint64_t bits) {
    TSet s;
    s.FBits = bits;
    return s;
  }
  friend constexpr bool operator==(const TSet&, const TSet&) = default;

private:
  static constexpr std::uint64_t Bit(E i) { return std::uint64_t{1} << static_cast<unsigned>(i); }
  std::uint64_t FBits = 0;
};

/** Shift keys and mouse buttons held during an event. */
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
/** Sides of the parent a control keeps its distance to when the parent is resized. */
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TVerticalAlignment { vaTop, vaMiddle, vaBottom };

/** The two scroll bars of a window, and the codes of a scroll message: what
 *  the user did with the bar. */
enum TScrollBarKind { sbHorizontal, sbVertical };
constexpr int SB_LINEUP = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_ENDSCROLL = 8;

/** The range, page size and position of a scroll bar, with the classic rule:
 *  the position runs from Min to Max - max(Page - 1, 0). */
struct TScrollInfo {
  int Min = 0;
  int Max = 0;
  int Page = 0;
  int Pos = 0;
  friend bool operator==(const TScrollInfo&, const TScrollInfo&) = default;
};

/** What a windowed control wants of the keys a dialog would otherwise take:
 *  arrows move the focus, Tab goes to the next control, characters become
 *  accelerators of other controls. */
constexpr unsigned DLGC_WANTARROWS = 0x0001;
constexpr unsigned DLGC_WANTTAB = 0x0002;
constexpr unsigned DLGC_WANTALLKEYS = 0x0004;
constexpr unsigned DLGC_WANTCHARS = 0x0080;

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
constexpr WORD VK_APPS = 0x5D;  // the context-menu key
constexpr WORD VK_F1 = 0x70;
constexpr WORD VK_F10 = 0x79;
constexpr WORD VK_F12 = 0x7B;
