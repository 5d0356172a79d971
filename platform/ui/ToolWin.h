#pragma once
/** Tool bars and control bars of the class library, painted through TCanvas
 *  in the classic look; their custom-draw and band-paint events let a
 *  painter take the drawing over. */

#include "ui/Controls.h"

#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QObject;
class TImageList;
class TPopupMenu;
class TToolBar;
class TToolButton;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

/** The state a tool button is drawn in: cdsSelected while it is pressed,
 *  cdsChecked while it is down, cdsHot while the mouse is over it. */
enum TCustomDrawStateItem {
  cdsSelected,
  cdsGrayed,
  cdsDisabled,
  cdsChecked,
  cdsFocused,
  cdsDefault,
  cdsHot,
  cdsMarked,
  cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;

/** Draws Button on Sender->Canvas() (tool bar coordinates; the button's
 *  BoundsRect is its place). DefaultDraw arrives True; set False to leave the
 *  button as the handler drew it. */
using TTBCustomDrawBtnEvent =
    std::function<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

/** A row of buttons and other controls, laid out left to right in the order
 *  they were placed on it, each at the top, again whenever one of them is
 *  moved, resized, shown or hidden. Tool buttons take ButtonWidth by
 *  ButtonHeight (a separator keeps its own width, a drop-down button is wider
 *  by its arrow part); other controls keep their size. The tool bar paints
 *  its tool buttons itself, over its colour or, Transparent, over what its
 *  parent shows beneath it. */
class TToolBar : public TCustomControl {
public:
  explicit TToolBar(TComponent* AOwner);

  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int value);
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int value);
  /** Flat buttons show their edge only while the mouse is over them or they are pressed. */
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  /** Captions under the images; the buttons grow to the widest caption. */
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool value);
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  /** Images for the button under the mouse, and for disabled buttons (when
   *  not set, the normal image is drawn greyed). */
  TImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TImageList* images);
  TImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TImageList* images);

  /** The tool buttons, in the tool bar's order. */
  int ButtonCount() const;
  TToolButton* Buttons(int index) const;

  /** The state Button is drawn in now. */
  TCustomDrawState ButtonState(const TToolButton* button) const;
  /** The classic picture of Button on Canvas(), as DefaultDraw has it. */
  void DrawButton(TToolButton* button, TCustomDrawState state);

  /** A tool bar on a control bar tells it of its new bounds. */
  void SetBounds(int left, int top, int width, int height) override;

  TTBCustomDrawBtnEvent OnCustomDrawButton;

protected:
  void Paint() override;
  void EraseBackground(const TRect& r) override;
  void AlignControls(TRect& rect) override;

private:
  friend class TToolButton;
  /** The size a push or check button takes. */
  TSize ButtonSize();
  void Changed();

  int FButtonWidth = 23;
  int FButtonHeight = 22;
  bool FFlat = false;
  bool FTransparent = false;
  bool FShowCaptions = false;
  TImageList* FImages = nullptr;
  TImageList* FHotImages = nullptr;
  TImageList* FDisabledImages = nullptr;
  QObject* FWatcher = nullptr;  // a child of the window
};

/** A button of a tool bar. It lives on a TToolBar, which places and paints
 *  it; the button follows the mouse and clicks. A check button goes down and
 *  up by turns before OnClick fires. A drop-down button has an arrow part at
 *  its right: a press there shows DropdownMenu under the button, which looks
 *  pressed while the menu is open; the rest of it is a plain button. */
class TToolButton : public TGraphicControl {
public:
  /** The width of a drop-down button's arrow part. */
  static constexpr int DropDownWidth = 13;

  explicit TToolButton(TComponent* AOwner);

  TToolButtonStyle Style() const { return FStyle; }
  /** A button that becomes a separator takes the separator's width of 8. */
  void SetStyle(TToolButtonStyle style);
  bool Down() const { return FDown; }
  void SetDown(bool value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  bool IsSeparator() const { return FStyle == tbsSeparator || FStyle == tbsDivider; }
  /** Borrowed; forgotten when the menu goes. */
  TPopupMenu* DropdownMenu() const { return FMenuWindow ? FDropdownMenu : nullptr; }
  void SetDropdownMenu(TPopupMenu* menu);
  /** Its drop-down menu is open. */
  bool MenuOpen() const { return FMenuOpen && FMenuWindow; }
  /** The tool bar it is on, or null. */
  TToolBar* ToolBar() const;
  /** The mouse is over the button, and pressed on it. */
  bool Hot() const { return FHot; }
  bool Pressed() const { return (FPressed && FHot) || MenuOpen(); }

  void SetParent(TWinControl* parent) override;
  /** The tool bar lays its controls out again. */
  void SetBounds(int left, int top, int width, int height) override;

protected:
  void Click() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseCaptureLost() override;
  void EnabledChanged() override;
  void TextChanged() override;
  void VisibleChanged() override;

private:
  /** Repaints the button's place on the tool bar. */
  void Redraw();
  void Relayout();
  TToolButtonStyle FStyle = tbsButton;
  bool FDown = false;
  int FImageIndex = -1;
  bool FHot = false;
  bool FPressed = false;
  TPopupMenu* FDropdownMenu = nullptr;
  QPointer<QObject> FMenuWindow;  // the menu's window, gone with the menu
  bool FMenuOpen = false;
};

/** The arrow of a drop-down button in its arrow part: rows of 5, 3 and 1 pixels. */
void DrawDropDownArrow(TCanvas* canvas, const TRect& part, TColor color);

enum TBandPaintOption { bpoGrabber, bpoFrame };
using TBandPaintOptions = TSet<TBandPaintOption>;
/** Paints the band of Control in ARect on Canvas; Options arrive holding the
 *  parts the control bar draws after the handler (grabber and frame). */
using TBandPaintEvent = std::function<void(TObject* Sender, TControl* Control, TCanvas* Canvas, TRect& ARect,
                                           TBandPaintOptions& Options)>;

/** Bands that hold one control each, laid out left to right in rows of
 *  RowSize, in the order they were placed on it (again whenever a control
 *  is moved, resized, shown or hidden); a band that does not fit
 *  the width starts a new row. Each band is its control with a grabber of
 *  11 pixels at the left and a 2-pixel frame. */
class TControlBar : public TCustomControl {
public:
  explicit TControlBar(TComponent* AOwner);

  int RowSize() const { return FRowSize; }
  void SetRowSize(int value);
  /** The band of a control (its bounds with the grabber and frame). */
  static TRect BandRect(const TControl* control);

  TBandPaintEvent OnBandPaint;

protected:
  void Paint() override;
  void AlignControls(TRect& rect) override;

private:
  int FRowSize = 26;
  QObject* FWatcher = nullptr;  // a child of the window
};
