#pragma once
/** TFlatSplitter: a flat bar that resizes the control beside it. */

#include "components/FlatUtils.h"
#include "ui/Controls.h"

/** A splitter 5 pixels wide, aligned left by default, that resizes its
 *  neighbour on the side it is aligned to (the first visible control there)
 *  by dragging. While dragged an inverted pattern line shows where it will
 *  go; the release resizes the neighbour, Escape cancels. The neighbour
 *  keeps at least MinSize, and so does the room left beside the controls
 *  aligned on the same axis; OnMoved fires when a drag ends. The face is
 *  ColorFocused while the mouse is over it, Color otherwise, framed in
 *  ColorBorder. */
class TFlatSplitter : public TGraphicControl {
public:
  explicit TFlatSplitter(TComponent* AOwner);

  int MinSize() const { return FMinSize; }
  void SetMinSize(int value) { FMinSize = value; }
  TColor ColorFocused() const { return FColorFocused; }
  void SetColorFocused(TColor value);
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor value);
  TGradColors AdvColorBorder() const { return FAdvColorBorder; }
  void SetAdvColorBorder(TGradColors value);
  TGradColors AdvColorFocused() const { return FAdvColorFocused; }
  void SetAdvColorFocused(TGradColors value);
  bool UseAdvColors() const { return FUseAdvColors; }
  /** Also sets ParentColor to the same value. */
  void SetUseAdvColors(bool value);

  bool MouseOver() const { return FMouseOver; }
  /** The control a drag would resize now, or null. */
  TControl* FindControl() const;
  /** A drag is running. */
  bool Sizing() const { return FControl != nullptr; }
  /** Where the drag line stands from the splitter, and the neighbour's new size. */
  int SplitOffset() const { return FSplit; }
  int NewSize() const { return FNewSize; }

  TNotifyEvent OnMoved;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseCaptureLost() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void ParentColorChanged() override;

private:
  bool Horizontal() const { return Align() == alLeft || Align() == alRight; }
  int ControlSize() const;
  void CalcSplitSize(int X, int Y);
  void DrawLine();
  void StopSizing();
  void DeriveColors();
  void FocusKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

  int FMinSize = 30;
  TColor FColorFocused = 0x53D2FF;
  TColor FColorBorder = 0x555E66;
  TGradColors FAdvColorBorder = 50;
  TGradColors FAdvColorFocused = 50;
  bool FUseAdvColors = false;
  bool FMouseOver = false;
  TControl* FControl = nullptr;
  TPoint FDownPos;
  int FSplit = 0;
  int FNewSize = 0;
  int FMaxSize = 0;
  bool FLineVisible = false;
  TWinControl* FActiveControl = nullptr;
  std::function<void(TObject*, WORD&, TShiftState)> FOldKeyDown;
};
