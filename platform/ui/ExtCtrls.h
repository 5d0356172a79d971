#pragma once
/** The timer component, the panel, the splitter and the picture control. */

#include "ui/Classes.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

#include <QImage>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

class QTimer;

/** Fires OnTimer every Interval milliseconds while Enabled, through the event
 *  loop of the user-interface thread. An interval of 0 stops it. */
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned ms);

  TNotifyEvent OnTimer;

protected:
  virtual void Timer();

private:
  void Update();
  std::unique_ptr<QTimer> FTimer;
  bool FEnabled = true;
  unsigned FInterval = 1000;
};

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

/** The classic panel, 185 x 41 on the button face by default: an outer
 *  bevel, BorderWidth pixels of its colour, an inner bevel, and the caption
 *  centred vertically and placed by Alignment. Aligned controls stay inside
 *  the bevels and the border; BorderStyle bsSingle adds a sunken frame
 *  around it all. */
class TCustomPanel : public TCustomControl {
public:
  explicit TCustomPanel(TComponent* AOwner);

  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel value);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel value);
  int BevelWidth() const { return FBevelWidth; }
  /** At least 1. */
  void SetBevelWidth(int value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

protected:
  void Paint() override;
  void AlignControls(TRect& rect) override;

private:
  /** Bevels and border together, on each side. */
  int Inset() const;
  void Changed();
  TPanelBevel FBevelOuter = bvRaised;
  TPanelBevel FBevelInner = bvNone;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
  TAlignment FAlignment = taCenter;
};

/** A panel. */
class TPanel : public TCustomPanel {
public:
  using TCustomPanel::TCustomPanel;
};

/** How a splitter shows where it is dragged: not at all, with an inverted
 *  line or pattern (drawn twice to go), or by resizing as it moves. */
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

/** Room a splitter's neighbour may take: the parent's client width (height
 *  when horizontal is false: a splitter aligned top or bottom) less minSize
 *  and every other visible control aligned along the same axis. Callers add
 *  the neighbour's own size back. */
int SplitterRoom(const TWinControl* parent, bool horizontal, int minSize);

/** Resizes the control beside it (its neighbour on the side it is aligned
 *  to) by dragging, 3 pixels wide and aligned left by default. The new size
 *  stays at least MinSize and leaves at least MinSize for the other
 *  controls, and keeps within the neighbour's size constraints. With
 *  AutoSnap a drag down to MinSize collapses the neighbour (unless its
 *  constraints forbid it). OnMoved fires when the neighbour's size changed. */
class TSplitter : public TGraphicControl {
public:
  explicit TSplitter(TComponent* AOwner);

  int MinSize() const { return FMinSize; }
  /** At least 1. */
  void SetMinSize(int value) { FMinSize = std::max(1, value); }
  bool AutoSnap() const { return FAutoSnap; }
  void SetAutoSnap(bool value) { FAutoSnap = value; }
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle value) { FResizeStyle = value; }
  /** The control it resizes now, or null. */
  TControl* FindControl() const;
  /** Being dragged. */
  bool Sizing() const { return FControl != nullptr; }

  TNotifyEvent OnMoved;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseCaptureLost() override;
  void MouseEnter() override;
  void SizeChanged() override;

private:
  bool Horizontal() const { return Align() == alLeft || Align() == alRight; }
  int NeighbourSize() const;
  /** The neighbour's new size for the mouse at (X, Y), and where the line goes. */
  void CalcSplitSize(int X, int Y, int& newSize, int& split) const;
  void DrawLine();
  void UpdateControlSize();
  void StopSizing();
  void UpdateCursor();
  TControl* FControl = nullptr;
  TPoint FDownPos;
  int FMinSize = 30;
  int FMaxSize = 0;
  int FNewSize = 0;
  int FSplit = 0;
  bool FAutoSnap = true;
  bool FLineVisible = false;
  TResizeStyle FResizeStyle = rsPattern;
};

/** A picture held in memory: JPEG, PNG, BMP and the other formats Qt reads. */
class TPicture {
public:
  /** Reads a file, or a compiled-in resource named ":/..."; raises
   *  EFOpenError when it cannot be read. */
  void LoadFromFile(const std::string& fileName);
  void SetImage(const QImage& image);
  void Clear();
  bool Empty() const { return FImage.isNull(); }
  int Width() const { return FImage.width(); }
  int Height() const { return FImage.height(); }
  const QImage& Image() const { return FImage; }

  /** Fired after the picture changed. */
  std::function<void()> OnChange;

private:
  QImage FImage;
};

/** Shows a picture, 105 x 105 by default: at its own size in the top-left
 *  corner, or stretched to the control (Stretch), shrunk to fit keeping its
 *  proportions (Proportional), and centred (Center). A picture's own alpha
 *  lets the parent show through; Transparent also leaves out the colour of
 *  the bottom-left pixel of a picture without alpha. */
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* AOwner);

  TPicture& Picture() { return FPicture; }
  const TPicture& Picture() const { return FPicture; }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool Center() const { return FCenter; }
  void SetCenter(bool value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  /** Where the picture is drawn (client coordinates). */
  TRect DestRect() const;

protected:
  void Paint() override;

private:
  void Changed();
  TPicture FPicture;
  QImage FDrawn;  // the picture as drawn: the transparent colour left out
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
  bool FTransparent = false;
};
