#pragma once
/** The floating windows of column dragging: the image of the dragged header
 *  that follows the pointer, and the red arrows that mark the drop place
 *  above and below the header. */

#include "grid/Displays.h"
#include "grid/FlyoutControl.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TCustomGridViewControl;

/** The dragged header's picture. Once started it holds the mouse: it moves
 *  so that it stands centred on the pointer, its bottom 4 pixels below it,
 *  reports every move, and hides and reports the point on a left release. */
class TColumnDragBox : public TFlyoutControl {
public:
  explicit TColumnDragBox(TCustomGridViewControl* Grid);

  TCustomGridViewControl* Grid() const { return FGrid; }
  TCustomColumn* Column = nullptr;
  TDefaultStyleDisplay* Display() const { return FDisplay.get(); }
  /** Shows the box and takes the mouse. */
  void StartDrag();
  /** Hides the box and lets the mouse go, reporting nothing. */
  void StopDrag();

  /** Screen points. */
  std::function<void(TPoint)> OnDrop;
  std::function<void(TPoint)> OnMove;
  /** The mouse was taken away before the release. */
  std::function<void()> OnLost;

protected:
  void Paint() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseCaptureLost() override;

private:
  TCustomGridViewControl* FGrid;
  std::unique_ptr<TDefaultStyleDisplay> FDisplay;
  bool FDragging = false;
};

/** A 9 x 9 red arrow: direction 1 points up, 2 down, 0 none. */
class TDragArrow : public TFlyoutControl {
public:
  explicit TDragArrow(std::uint8_t Direction);
  std::uint8_t Direction() const { return FDirection; }
  /** Rebuilds the arrow's shape. */
  void SetDirection(std::uint8_t Value);
  /** The shape of a direction, in window coordinates (empty for none). */
  static std::vector<TPoint> RegionPolygon(std::uint8_t Direction);

protected:
  void Paint() override;

private:
  std::uint8_t FDirection = 0;
};
