#pragma once
/** The drop-down windows of the grid's editors: a scrolling pop-up that holds
 *  the mouse while it is open, and the owner-drawn list of strings (with
 *  optional images) built on it. */

#include "core/StringList.h"
#include "grid/ScrollView.h"
#include "ui/Bitmap.h"

#include <functional>
#include <string>

using TPopupSelectEvent = std::function<void(TObject* Sender, const std::string& Text)>;

/** A frameless drop-down over everything. It opens at a screen point,
 *  holds the mouse while open, ignores the release of the click that opened
 *  it, chooses on a later release inside and closes on a release outside.
 *  Its keys go to the control that owns it. */
class TPopupView : public TScrollView {
public:
  explicit TPopupView(TComponent* AOwner);

  /** Set until the window pops up, and again once it closed. */
  bool Idle() const { return FIdle; }
  /** The first button release after popping up arms the window. */
  bool Armed() const { return FArmed; }

  /** Shows the window at (X, Y) (screen), shifted left to end one pixel
   *  before the work area's right edge, never left of 0. */
  virtual void Popup(int X, int Y);
  /** Closes the window and fires OnCloseUp. */
  virtual void CloseUp();

  TNotifyEvent OnCloseUp;
  TPopupSelectEvent OnSelect;

protected:
  /** The classic two-pixel border: dark shadow outside, white inside. */
  virtual void DrawBorder(TCanvas* Canvas, const TRect& Rect);
  /** A release inside the client area at (X, Y) chose something. */
  virtual void SelectAt(int X, int Y) = 0;
  void PaintFrame(TCanvas* Canvas, const TRect& Rect) override { DrawBorder(Canvas, Rect); }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void VisibleChanged() override;

private:
  bool FIdle = true;
  bool FArmed = true;
};

/** The drop-down list: one row of ItemHeight pixels per item, the item
 *  under the pointer highlighted, a release choosing it. */
class TPopupList : public TPopupView {
public:
  explicit TPopupList(TComponent* AOwner);

  int ItemIndex() const { return FItemIndex; }
  /** Highlights an item (clamped to the items) and scrolls it into view. */
  void SetItemIndex(int Value);
  const TStringList& Items() const { return FItems; }
  void SetItems(const TStringList& Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value; }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value) { FImages = Value; }
  bool ShowImages() const { return FShowImages; }
  void SetShowImages(bool Value) { FShowImages = Value; }
  /** The item shown selected when the list pops up; also the last item chosen. */
  int InitialIndex() const { return FInitialIndex; }
  void SetInitialIndex(int Value) { FInitialIndex = Value; }
  int ItemHeight() const { return FItemHeight; }
  /** At least 1. */
  void SetItemHeight(int Value);

  virtual int ItemCount() const { return FItems.Count(); }
  /** The last first-visible item that still fills the window. */
  virtual int VertScrollMax() const;
  /** Opens with the initial item, or the item equal to the window's text,
   *  or item 0, highlighted and at the top. */
  void Popup(int X, int Y) override;
  int GetVertDelta(int OldPos, int NewPos) const override;

  /** The item at client Y, or -1 outside the items. */
  int ItemAt(int Y) const;

protected:
  virtual void DrawItem(int Index, const TRect& Rect);
  void SelectAt(int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  /** A line a notch. */
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void Paint() override;

private:
  void InvalidateItem(int Index);
  TWheelNotches FWheel;
  int FItemIndex = 0;
  int FPrevItemIndex = 0;
  TStringList FItems;
  int FDropDownCount = 8;
  TImageList* FImages = nullptr;
  bool FShowImages = false;
  int FInitialIndex = -1;
  int FItemHeight = 16;
};
