#pragma once
/** A page control whose tabs it paints itself: colours and two-colour
 *  gradients per page, an active and a hover colour pair, background
 *  bitmaps, a close button on the active page, captions turned on the left
 *  and right, and two tab styles. It keeps the standard page control's
 *  rules: pages in a list, one active page, pages without a tab, Ctrl+Tab,
 *  and a page's OnShow whenever it comes into view, also from code. */

#include "core/Exception.h"
#include "ui/Bitmap.h"
#include "ui/ComCtrls.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TGradPageControl;

enum TTabStyle { tsClassic, tsDotNet };
enum TGradientDirection { gdVertical, gdHorizontal };
using TMarginSize = int;
/** 0..15 pixels. */
using TTabOverlapSize = int;

/** The room left before a tab's content, across (LeftMargin) and down (TopMargin). */
class TTabMargin {
public:
  enum TMarginKind { mkLeft, mkTop };
  /** Told before the new value is stored, only when it changes. */
  using TMarginChangeEvent = std::function<void(TTabMargin* Sender, int NewValue, int OldValue, TMarginKind Which)>;

  TMarginSize LeftMargin() const { return FLeft; }
  void SetLeftMargin(TMarginSize value);
  TMarginSize TopMargin() const { return FTop; }
  void SetTopMargin(TMarginSize value);
  void Assign(const TTabMargin& source);

  TMarginChangeEvent OnMarginChange;

private:
  TMarginSize FLeft = 0;
  TMarginSize FTop = 0;
};

/** A page of a TGradPageControl, with the colours and the close button of
 *  its tab. Joining a page control, a text colour of clBlack and tab colours
 *  of clNone take the control's defaults. */
class TGradTabSheet : public TTabSheet {
public:
  explicit TGradTabSheet(TComponent* AOwner);
  ~TGradTabSheet() override;

  void SetParent(TWinControl* parent) override;
  bool Highlighted() const { return FHighlighted; }
  void SetHighlighted(bool value) { FHighlighted = value; }
  /** A close button in the tab while the page is active. */
  bool ShowClose() const { return FShowClose; }
  void SetShowClose(bool value);
  TGradientDirection TabGradientDirection() const { return FTabDirection; }
  void SetTabGradientDirection(TGradientDirection value);
  TGradientDirection HoverGradientDirection() const { return FHoverDirection; }
  void SetHoverGradientDirection(TGradientDirection value);
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor value);
  TColor TabColor() const { return FTabColor; }
  void SetTabColor(TColor value);
  TColor TabColorTo() const { return FTabColorTo; }
  void SetTabColorTo(TColor value);

  /** Asked before the close button closes the page; CanClose arrives True. */
  std::function<void(TObject* Sender, bool& CanClose)> OnCanClose;
  TNotifyEvent OnClose;

private:
  friend class TGradPageControl;
  void Changed();
  TGradPageControl* FClosedIn = nullptr;  // the control that keeps it among its closed pages
  bool FHighlighted = false;
  bool FShowClose = false;
  TGradientDirection FTabDirection = gdVertical;
  TGradientDirection FHoverDirection = gdVertical;
  TColor FTextColor = clBlack;
  TColor FTabColor = clNone;
  TColor FTabColorTo = clNone;
};

/** The close button's looks. */
enum TCloseButtonState { cbsNormal, cbsHot, cbsPressed };

/** The page control: the standard page control's pages, active page,
 *  hidden tabs and Ctrl+Tab, painted its own way. With TabBorder3D the tabs
 *  are the standard ones (with the user's Images); without it (the default)
 *  the control draws tabs, strip and sheet frame itself and sizes the tabs
 *  for margins, images and bitmap caps through a private image list. */
class TGradPageControl : public TPageControl {
public:
  explicit TGradPageControl(TComponent* AOwner);
  ~TGradPageControl() override;

  /** Pages closed by their close button, with the names they had. */
  const std::vector<std::pair<std::string, TGradTabSheet*>>& ClosedPages() const { return FClosed; }

  TColor DefaultTextColor() const { return FDefaultTextColor; }
  /** Pages still showing the old default take the new one. */
  void SetDefaultTextColor(TColor value);
  TColor DefaultTabColor() const { return FDefaultTabColor; }
  void SetDefaultTabColor(TColor value);
  TColor DefaultTabColorTo() const { return FDefaultTabColorTo; }
  void SetDefaultTabColorTo(TColor value);
  TColor ActiveColor() const { return FActiveColor; }
  void SetActiveColor(TColor value) { SetColour(FActiveColor, value); }
  TColor ActiveColorTo() const { return FActiveColorTo; }
  void SetActiveColorTo(TColor value) { SetColour(FActiveColorTo, value); }
  bool TabBorder3D() const { return FTabBorder3D; }
  void SetTabBorder3D(bool value);
  TColor TabBorderColor() const { return FTabBorderColor; }
  void SetTabBorderColor(TColor value) { SetColour(FTabBorderColor, value); }
  bool TabSheet3D() const { return FTabSheet3D; }
  void SetTabSheet3D(bool value);
  TColor TabSheetBorderColor() const { return FTabSheetBorderColor; }
  void SetTabSheetBorderColor(TColor value) { SetColour(FTabSheetBorderColor, value); }
  TColor TabHoverColor() const { return FTabHoverColor; }
  void SetTabHoverColor(TColor value) { SetColour(FTabHoverColor, value); }
  TColor TabHoverColorTo() const { return FTabHoverColorTo; }
  void SetTabHoverColorTo(TColor value) { SetColour(FTabHoverColorTo, value); }
  TColor TabHoverBorder() const { return FTabHoverBorder; }
  void SetTabHoverBorder(TColor value) { SetColour(FTabHoverBorder, value); }
  TColor TabBackGroundColor() const { return FTabBackGroundColor; }
  void SetTabBackGroundColor(TColor value) { SetColour(FTabBackGroundColor, value); }
  /** The picture of every tab (drawn in three parts along it); tabs grow by 15 while it is set. */
  TBitmap& TabBackGround() { return FTabBackGround; }
  /** Call after changing TabBackGround's picture. */
  void TabBackGroundChanged();
  /** The picture of the active tab, when set. */
  TBitmap& TabBackGroundActive() { return FTabBackGroundActive; }
  TTabMargin& TabMargin() { return FTabMargin; }
  TTabOverlapSize TabOverlap() const { return FTabOverlap; }
  /** Kept within 0..15. */
  void SetTabOverlap(TTabOverlapSize value);
  bool TabSplitLine() const { return FTabSplitLine; }
  /** Raises Exception "TabSplitLine must be false when TabStyle is tsDotNet"
   *  when True is set while TabStyle is tsDotNet. */
  void SetTabSplitLine(bool value);
  bool RoundEdges() const { return FRoundEdges; }
  void SetRoundEdges(bool value);
  TTabStyle TabStyle() const { return FTabStyle; }
  void SetTabStyle(TTabStyle value);
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value);
  /** The user's images (each page shows its ImageIndex). */
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);

  /** Where tab index is painted (the active one stands out). */
  using TCustomTabControl::DrawnTabRect;
  /** The tab under the mouse while hover colours are set, -1 for none. */
  int HoverTab() const { return FHoverTab; }
  /** The close button of the active page's tab; empty when it has none. */
  TRect CloseButtonRect() const;
  TCloseButtonState CloseButtonState() const;
  /** The size of the private image list that makes room in each tab. */
  TSize TabImageSize() const;

protected:
  /** A docked control's page is a TGradTabSheet. */
  TTabSheet* NewDockSheet() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;

private:
  friend class TGradTabSheet;
  void SetColour(TColor& field, TColor value);
  void ClosePage(TTabSheet* page);
  void ForgetClosed(TGradTabSheet* page);
  TSize TabImageSizeFor(int leftMargin, int topMargin) const;
  void UpdateTabImages(TSize size);
  bool Vertical() const { return TabPosition() == tpLeft || TabPosition() == tpRight; }
  TRect TabPaintRect(int index) const;
  void PaintStrip(TCanvas* c);
  void PaintSheetFrame(TCanvas* c);
  void PaintGradTab(TCanvas* c, int index);
  void PaintTabFace(TCanvas* c, const TRect& r, const TTabSheet* page, bool active, bool hover);
  void PaintTabOutline(TCanvas* c, const TRect& r, bool active, TColor color, TTabPosition side);
  void PaintCaption(TCanvas* c, const TRect& inside, const TTabSheet* page, int index);
  void PaintCloseButton(TCanvas* c);

  std::vector<std::pair<std::string, TGradTabSheet*>> FClosed;
  std::unique_ptr<TImageList> FTabImages;
  TImageList* FImages = nullptr;
  TColor FDefaultTextColor = clBlack;
  TColor FDefaultTabColor = clBtnFace;
  TColor FDefaultTabColorTo = clNone;
  TColor FActiveColor = clBtnFace;
  TColor FActiveColorTo = clNone;
  bool FTabBorder3D = false;
  TColor FTabBorderColor = clGray;
  bool FTabSheet3D = false;
  TColor FTabSheetBorderColor = clGray;
  TColor FTabHoverColor = clNone;
  TColor FTabHoverColorTo = clNone;
  TColor FTabHoverBorder = clNone;
  TColor FTabBackGroundColor = clBtnFace;
  TBitmap FTabBackGround;
  TBitmap FTabBackGroundActive;
  TTabMargin FTabMargin;
  TTabOverlapSize FTabOverlap = 0;
  bool FTabSplitLine = false;
  bool FRoundEdges = false;
  TTabStyle FTabStyle = tsClassic;
  bool FShowFocus = false;
  int FHoverTab = -1;
  bool FCloseHot = false;
  bool FClosePressed = false;
  const TTabSheet* FCloseOf = nullptr;  // the page the close button's state belongs to
};

/** A two-colour gradient of 16 bands over r, from `from` to `to`, down the
 *  rectangle (gdVertical) or across it (gdHorizontal). */
void DrawTabGradient(TCanvas* canvas, const TRect& r, TColor from, TColor to, TGradientDirection direction);
