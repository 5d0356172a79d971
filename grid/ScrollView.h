#pragma once
/** The scrolling base of the grid and of its drop-down lists: a custom
 *  control with the window's own two scroll bars, driven from two settings
 *  objects, that moves its painted content when a position changes, and that
 *  scrolls line by line while the middle button is held down and the pointer
 *  moved above or below the press point (roll scrolling). */

#include "ui/Controls.h"
#include "ui/ExtCtrls.h"
#include "ui/Types.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>

class TRollShadow;
class TScrollView;

/** The screen cursors of roll scrolling. The grid's vertical-split cursor
 *  has a number of its own (3006), so the two never replace each other. */
constexpr TCursor crRoll = 3003;
constexpr TCursor crRollUp = 3004;
constexpr TCursor crRollDown = 3005;

/** What the last scroll message of a bar was (LastScrollKind). */
constexpr std::uint8_t lskNone = 0;
constexpr std::uint8_t lskLine = 1;
constexpr std::uint8_t lskPage = 2;
constexpr std::uint8_t lskThumb = 3;
constexpr std::uint8_t lskEnds = 4;

using TScrollEvent = std::function<void(TObject* Sender, int Position)>;

/** Turns wheel deltas into notches of 120: a touchpad's small deltas add up
 *  to one, an event of three notches counts three. What is left over is
 *  dropped when the wheel turns the other way. */
class TWheelNotches {
public:
  /** Calls Step(Up) once for each whole notch reached with this delta; Up
   *  is a notch away from the user. */
  template <class F> void Turn(int Delta, F&& Step) {
    const int notches = Add(Delta);
    for (int i = 0; i < std::abs(notches); ++i) Step(notches > 0);
  }

private:
  /** The whole notches reached, positive away from the user. */
  int Add(int Delta);
  int FRest = 0;
};

/** The settings of one of a scroll view's bars: range, page, position and
 *  steps. Every change goes to the window's bar at once, unless several are
 *  changed together (SetParams). The position always lies within Min..Max. */
class TControlScrollBar {
public:
  TControlScrollBar(TScrollView* Owner, TScrollBarKind Kind);
  TControlScrollBar(const TControlScrollBar&) = delete;
  TControlScrollBar& operator=(const TControlScrollBar&) = delete;

  TScrollView* Owner() const { return FOwner; }
  TScrollBarKind Kind() const { return FKind; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  int Max() const { return FMax; }
  /** Negative values store 0; a position beyond the new range is pulled in. */
  void SetMax(int Value);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  int Position() const { return FPosition; }
  /** Clamps to Max, then to Min, tells the owner and moves its content. */
  void SetPosition(int Value);
  int OldPosition() const { return FOldPosition; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int PageStep() const { return FPageStep; }
  void SetPageStep(int Value) { FPageStep = Value; }
  int LineStep() const { return FLineStep; }
  void SetLineStep(int Value) { FLineStep = Value; }
  std::uint8_t LastScrollKind() const { return FLastScrollKind; }
  bool Locked() const { return FLocked; }
  bool Updating() const { return FUpdating; }
  /** Set: a position change does not move the window's content. */
  bool NoContentScroll() const { return FNoContentScroll; }
  void SetNoContentScroll(bool Value) { FNoContentScroll = Value; }

  /** Applies Enabled, Max, Min, PageSize and Position in this order, Visible
   *  only when it differs, and updates the window's bar once. */
  void SetParams(int Position, int Min, int Max, int PageSize, bool Enabled, bool Visible);
  /** Send the owner the matching scroll message; nothing when Max < 1. */
  void LineDown();
  void LineUp();
  void PageDown();
  void PageUp();
  /** Hands the settings to the window's bar, unless Locked. */
  void UpdateBar();

private:
  friend class TScrollView;
  void Send(int code);
  TScrollView* FOwner;
  TScrollBarKind FKind;
  bool FEnabled = true;
  int FMax = 100;
  int FMin = 0;
  int FOldPosition = 0;
  int FPageSize = 0;
  int FPosition = 0;
  int FPageStep = 1;
  int FLineStep = 1;
  std::uint8_t FLastScrollKind = lskNone;
  bool FVisible = true;
  bool FLocked = false;
  bool FUpdating = false;
  bool FNoContentScroll = false;
};

/** A custom control that moves its painted content inside two clip
 *  rectangles: HorzScrollRect for horizontal moves, VertScrollRect for
 *  vertical ones. An empty rectangle stands for the whole client area. */
class TCustomScrollView : public TCustomControl {
public:
  explicit TCustomScrollView(TComponent* AOwner);

  const TRect& HorzScrollRect() const { return FHorzScrollRect; }
  void SetHorzScrollRect(const TRect& Value) { FHorzScrollRect = Value; }
  const TRect& VertScrollRect() const { return FVertScrollRect; }
  void SetVertScrollRect(const TRect& Value) { FVertScrollRect = Value; }

  /** Pixels the content moves when a position goes from OldPos to NewPos. */
  virtual int GetHorzDelta(int OldPos, int NewPos) const;
  virtual int GetVertDelta(int OldPos, int NewPos) const;
  /** Moves the painted content; only the uncovered strip is painted again. */
  virtual void ScrollContent(int dx, int dy);

private:
  TRect FHorzScrollRect;
  TRect FVertScrollRect;
};

/** The scroll view: two bar settings objects driving the window's bars,
 *  scroll messages turned into positions, and roll scrolling with its
 *  marker, cursors and timer. */
class TScrollView : public TCustomScrollView {
public:
  explicit TScrollView(TComponent* AOwner);
  ~TScrollView() override;

  TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
  TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }

  /** The client point where the middle button went down. */
  TPoint RollOrigin() const { return FRollOrigin; }
  TRollShadow* RollMarker() const { return FRollMarker.get(); }
  TTimer* RollTimer() const { return FRollTimer.get(); }
  bool RollEnabled() const { return FRollEnabled; }
  /** A roll is in progress. */
  bool Rolling() const { return FRolling; }
  bool RollingUp() const { return FRollUp; }
  bool RollingDown() const { return FRollDown; }

  unsigned DialogCode() const override { return DLGC_WANTARROWS; }

  TScrollEvent OnHorizontalScroll;
  TScrollEvent OnVerticalScroll;

protected:
  /** The position of a bar changed (before the content moves). */
  virtual void ScrollBarPositionChanged(TScrollBarKind) {}
  /** Puts one bar's settings on the window's bar. */
  virtual void ApplyBarSettings(const TControlScrollBar& Bar);
  void ScrollMessage(TScrollBarKind Kind, int Code, int TrackPos) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseCaptureLost() override;
  void VisibleChanged() override;
  /** One step of rolling: the next interval from the pointer's distance, then a line. */
  void RollTick();
  void EndRoll();

private:
  friend class TControlScrollBar;
  std::unique_ptr<TControlScrollBar> FHorzScrollBar;
  std::unique_ptr<TControlScrollBar> FVertScrollBar;
  std::unique_ptr<TRollShadow> FRollMarker;
  std::unique_ptr<TTimer> FRollTimer;
  TPoint FRollOrigin;
  bool FRollEnabled = true;
  bool FRolling = false;
  bool FRollUp = false;
  bool FRollDown = false;
};

/** Registers the three roll cursors, drawn in code, under their numbers. */
void RegisterRollCursors();
