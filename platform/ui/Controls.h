#pragma once
/** Controls of the class library over Qt widgets.
 *
 *  A control is a component that holds one QWidget underneath (Handle()); the
 *  widget is the layer's own, so nothing can move, show or reparent it past
 *  the control's bookkeeping. Events keep the class library's meaning:
 *  - Click fires on a left release inside a control whose style has
 *    csClickEvents; a double click fires DblClick and MouseDown with ssDouble
 *    when the style has csDoubleClicks, and is a plain press otherwise.
 *  - When the focus moves within a window, Exit fires from the control that
 *    had it up to the common ancestor of the two, and Enter down from there to
 *    the new one; FocusGained and FocusLost follow the widget focus itself,
 *    except for moves to pop-ups and between windows.
 *  - Keys reach KeyDown, KeyPress and KeyUp first; a key set to 0 is swallowed.
 *  - A right release, the context-menu key or Shift+F10 asks for a context
 *    menu (ContextMenu); Qt's own requests never reach the widgets.
 *  - While a control is dragged (BeginDrag) the mouse belongs to the drag:
 *    the control under the pointer answers OnDragOver (a dock site
 *    OnDockOver), the release drops, Escape cancels (DragDock.cpp).
 *  A windowed control may have a frame outside its client area, two scroll
 *  bars of its own and a client widget that holds Paint, the mouse and the
 *  child controls. An exception escaping a handler is shown by the
 *  application and the program goes on. */

#include "core/Exception.h"
#include "ui/Canvas.h"
#include "ui/Classes.h"
#include "ui/Colors.h"
#include "ui/Types.h"

#include <QImage>
#include <Qt>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QEvent;
class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QRegion;
class QScrollBar;
class QString;
class QWidget;
class TControl;
class TControlWidget;
class TDragDockObject;
class TDragObject;
class TForm;
class TPopupMenu;
class TWinControl;

/** An operation the control's state does not allow (focusing a hidden control). */
class EInvalidOperation : public Exception {
  using Exception::Exception;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
/** MousePos is in screen coordinates; a handler that uses the wheel sets Handled. */
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
/** Key is a virtual key code (VK_..., 'A', '0'); setting it to 0 ends the key's handling. */
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
/** Key is the typed character; the handler may change it, or set 0 to swallow it. */
using TKeyPressEvent = std::function<void(TObject* Sender, TKeyChar& Key)>;

/** MousePos is in client coordinates, (-1, -1) when a key asked for the
 *  menu; a handler that shows a menu of its own (or wants none) sets Handled. */
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
/** One wheel step down or up that OnMouseWheel left; MousePos in screen coordinates. */
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;

/** dmAutomatic: a left press starts dragging the control (the press does
 *  nothing else); dmManual: the program calls BeginDrag. */
enum TDragMode { dmManual, dmAutomatic };
/** dkDrag drags the control onto other controls; dkDock docks it into a dock site. */
enum TDragKind { dkDrag, dkDock };
/** Where the pointer is in a drag over a control. */
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
/** Reading order and alignment: right to left is handed to Qt's layout
 *  direction for what Qt draws. */
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

/** Source is the dragged control, or the drag object its OnStartDrag gave;
 *  X and Y are client coordinates of Sender. Accept arrives True when the
 *  control has an OnDragOver handler (False without one). */
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
/** The handler may give a drag object of its own (it keeps it alive until OnEndDrag). */
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
/** Target is the control that took the drop (null: refused or cancelled);
 *  X and Y are its client coordinates. */
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;
/** InfluenceRect (screen coordinates) arrives as the site's window; CanDock
 *  arrives True. MousePos is in screen coordinates. */
using TGetSiteInfoEvent = std::function<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect,
                                             TPoint MousePos, bool& CanDock)>;
/** Accept arrives True. */
using TDockOverEvent =
    std::function<void(TObject* Sender, TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)>;
/** Fires after the control has been docked. */
using TDockDropEvent = std::function<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
/** NewTarget is where Client goes (null: it floats); Allow arrives True. */
using TUnDockEvent = std::function<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;

/** Runs fn; an exception escaping it is shown by the application and swallowed. */
void RunGuarded(const std::function<void()>& fn);

/** What a control does by itself. */
enum TControlStyleItem {
  csAcceptsControls,  // other controls may be placed on it
  csCaptureMouse,     // keeps the mouse from a press until the release
  csClickEvents,      // a left release inside fires Click
  csDoubleClicks,     // a double click is one (DblClick and ssDouble); else a second press
  csOpaque,           // Paint covers the whole client area: the background is never erased
  csSetCaption,       // the name becomes the caption while the caption is empty
};
using TControlStyle = TSet<TControlStyleItem>;

/** Smallest and largest size of a control; 0 means no limit. */
struct TSizeConstraints {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;
  friend bool operator==(const TSizeConstraints&, const TSizeConstraints&) = default;
};

/** How a control's window floats. wkFlyout: a borderless window over the form
 *  that never takes the focus, placed in screen coordinates (drag images,
 *  markers); wkPopup: a drop-down that holds the mouse while it is open and
 *  closes on a press outside it; wkHint: a tool tip window. */
enum TWindowKind { wkChild, wkFlyout, wkPopup, wkHint };

/** The window-system messages a painter attached to a control follows to
 *  decorate it (hover, focus, pressed and checked looks). */
enum class TControlMessage {
  FocusIn,
  FocusOut,
  MouseEnter,
  MouseLeave,
  LButtonDown,
  LButtonUp,
  LButtonDblClk,
  KeyDown,  // Param: the virtual key
  KeyUp,    // Param: the virtual key
  EnabledChanged,
  TextChanged,
  ParentColorChanged,
  StateChanged,  // checked, pressed or dropped-down state changed
  Exit,
  Paint,
  Destroying,
};

/** A painter attached to a control: it hears the control's messages and
 *  paints over what the control painted itself. */
class IControlHook {
public:
  virtual ~IControlHook() = default;
  virtual void ControlMessage(TControl* control, TControlMessage message, int param) = 0;
  /** Paints on a transparent picture of the whole window (frame included,
   *  window coordinates) laid over the control. */
  virtual void PaintOver(TControl* control, TCanvas* canvas) = 0;
};

/** The picture of a self-painted surface as the window system keeps it:
 *  painting draws into it within the update area, scrolling moves it, and
 *  what Paint leaves alone stays as it was. */
class TControlPainter {
public:
  TCanvas* Canvas() { return &FCanvas; }
  const QImage& Image() const { return FImage; }
  /** Paints the update region of w: the canvas is clipped to its bounding
   *  rectangle, erase (when given) clears it, paint draws, and the region is
   *  copied to the widget. A new size keeps the pixels that still fit. */
  void PaintWidget(QWidget* w, const QRegion& region, TColor newArea, const std::function<void(const TRect&)>& erase,
                   const std::function<void()>& paint);
  /** Paints onto image instead of the screen. */
  void PaintImage(QImage& image, const std::function<void()>& paint);
  /** Makes r of the picture transparent. */
  void ClearArea(const TRect& r);
  /** Moves the pixels inside clip by (dx, dy), as the window system does. */
  void Scroll(int dx, int dy, const TRect& clip);

private:
  void Fit(QWidget* w, TColor newArea);
  QImage FImage;
  TCanvas FCanvas;
};

/** What a drag carries. The layer keeps where the pointer is and the
 *  control under it. */
class TDragObject : public TObject {
public:
  /** The pointer, screen coordinates. */
  TPoint DragPos() const { return FDragPos; }
  /** The control the pointer is over (a dock site in a dock drag), or null. */
  TControl* DragTarget() const { return FDragTarget; }

private:
  friend class TDragRun;
  TPoint FDragPos{0, 0};
  TControl* FDragTarget = nullptr;
};

/** The drag of one control. */
class TDragControlObject : public TDragObject {
public:
  explicit TDragControlObject(TControl* control) : FControl(control) {}
  TControl* Control() const { return FControl; }

private:
  TControl* FControl;
};

/** The dock drag of one control: where it would go, screen coordinates. */
class TDragDockObject : public TDragControlObject {
public:
  using TDragControlObject::TDragControlObject;
  TRect DockRect() const { return FDockRect; }
  void SetDockRect(const TRect& r) { FDockRect = r; }
  /** The control would float (no dock site takes it). */
  bool Floating() const { return FFloating; }
  TControl* DropOnControl() const { return FDropOnControl; }
  TAlign DropAlign() const { return FDropAlign; }

private:
  friend class TDragRun;
  friend class TControl;
  TRect FDockRect;
  bool FFloating = true;
  TControl* FDropOnControl = nullptr;
  TAlign FDropAlign = alNone;
};

/** A visible element: bounds, alignment, anchors, constraints, colour and font
 *  (both may follow the parent), cursor, hint, caption and the mouse events. */
class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  /** The widget underneath: the whole window, frame included. */
  QWidget* Handle() const { return FHandle; }
  /** The widget that holds the client area (Paint, the mouse, children);
   *  the same as Handle() unless the window has a frame or scroll bars. */
  virtual QWidget* ClientWidget() const { return FHandle; }
  /** The control a widget belongs to (the nearest one up its parents), or null. */
  static TControl* FromWidget(const QWidget* widget);

  TWinControl* Parent() const { return FParent; }
  /** Places the control in parent (null: out of any window). */
  virtual void SetParent(TWinControl* parent);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  /** In the parent's client coordinates (for a flyout: screen coordinates).
   *  Sizes are kept within the constraints and never negative. */
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
  virtual int ClientWidth() const { return FWidth; }
  virtual int ClientHeight() const { return FHeight; }
  TRect ClientRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }
  /** Sets the size so that the client area gets this size. */
  void SetClientSize(int width, int height);
  void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors anchors);
  const TSizeConstraints& Constraints() const { return FConstraints; }
  void SetConstraints(const TSizeConstraints& c);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle style) { FControlStyle = style; }

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  /** Visible itself and in every parent, inside a shown window. */
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  TColor Color() const { return FColor; }
  /** Also ends ParentColor. */
  void SetColor(TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  /** Changing the font (through its setters) ends ParentFont. */
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& font) { FFont.Assign(font); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);

  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }
  /** Whether the hint shows when the mouse rests on the control. */
  bool ShowHint() const { return FShowHint; }
  /** Also ends ParentShowHint; children that follow this control follow. */
  void SetShowHint(bool value);
  /** ShowHint follows the parent's (on by default). */
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool value);
  /** Also ends ParentBiDiMode. */
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool value);
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }

  /** Shown by a right click, the context-menu key or Shift+F10, unless
   *  OnContextPopup handles the request first; a control without one leaves
   *  the request to its parent. Borrowed: a menu freed first is forgotten. */
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);

  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode value) { FDragMode = value; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind value) { FDragKind = value; }
  /** The cursor over a control that accepts the drop (crNoDrop elsewhere). */
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor value) { FDragCursor = value; }
  /** Starts dragging the control (docking it, with dkDock): at once, or
   *  once the pointer has moved Threshold pixels (-1: 5) with the button
   *  down. The mouse is the control's until the drag ends: a release drops,
   *  Escape cancels. Raises EInvalidOperation for a plain drag of a form. */
  void BeginDrag(bool Immediate, int Threshold = -1);
  /** Ends this control's drag: drops where the pointer is, or cancels. */
  void EndDrag(bool Drop);
  /** From BeginDrag until the drag ends. */
  bool Dragging() const;

  /** The dock site the control is docked in, or null. */
  TWinControl* HostDockSite() const { return FHostDockSite; }
  /** A form without a parent, or a control in the window made to float it. */
  bool Floating() const;
  /** Docks the control into site (null: floats it where it was before it
   *  was docked). The old site's OnUnDock may refuse; false then. */
  bool ManualDock(TWinControl* site, TControl* dropControl = nullptr, TAlign controlSide = alNone);
  /** Takes the control out of its dock site into a window of its own at
   *  screenRect (a form is that window itself). False when refused. */
  bool ManualFloat(const TRect& screenRect);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);

  /** Paints later, when the event loop runs. */
  virtual void Invalidate();
  /** Paints r (client coordinates) later. */
  virtual void InvalidateRect(const TRect& r);
  /** Paints what is invalid now, before returning (when the control is showing). */
  void Update();
  /** Invalidate and Update. */
  void Repaint();
  /** Puts the control above or below its siblings. */
  void BringToFront();
  void SendToBack();

  bool MouseCapture() const;
  void SetMouseCapture(bool value);
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  /** The client point in the parent's client coordinates, and back. */
  TPoint ClientToParent(TPoint p) const { return {p.X + Left() + ClientOrigin().X, p.Y + Top() + ClientOrigin().Y}; }

  /** How the window floats (see TWindowKind). host names the control whose
   *  form carries a flyout, or that a pop-up belongs to. */
  void SetWindowKind(TWindowKind kind, TControl* host);
  TWindowKind WindowKind() const { return FWindowKind; }
  /** The window's shape: only the points of the region (window coordinates)
   *  are drawn and take the mouse. An empty list shows the whole window. */
  void SetWindowRegion(const std::vector<std::vector<TPoint>>& polygons, const std::vector<TRect>& ellipses = {});

  /** Paints over the control after it painted itself (null: none). */
  void SetHook(IControlHook* hook);
  IControlHook* Hook() const { return FHook; }
  /** Repaints what the hook draws over the control. */
  void InvalidateHook();

  /** Whether the control's caption marks key (case-insensitive) with "&". */
  static bool IsAccel(TKeyChar key, const std::string& caption);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TStartDragEvent OnStartDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;
  TStartDockEvent OnStartDock;
  TEndDragEvent OnEndDock;

  /** The context-menu request of a right click at screenPos, or of a key
   *  (byKey: the menu shows at the control), handled from this control up
   *  through its parents. True when something took it. */
  bool ContextMenu(TPoint screenPos, bool byKey);

  /** Drops Source at (X, Y) (OnDragDrop). */
  virtual void DragDrop(TObject* Source, int X, int Y);

protected:
  /** Builds the control on a widget of a given kind; the derived constructor
   *  decides (see TWinControl::CreateClientArea). */
  TControl(TComponent* AOwner, bool windowed);

  // The program's handlers; each fires its event.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  /** The mouse came over the control, or left it (CM_MOUSEENTER / CM_MOUSELEAVE). */
  virtual void MouseEnter();
  virtual void MouseLeave();
  /** True when the wheel was used; otherwise the parent gets it. OnMouseWheel
   *  first, then DoMouseWheelDown or DoMouseWheelUp. */
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  /** Runs first on a context-menu request (OnContextPopup). */
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  /** A drag of this control begins (OnStartDrag), or a dock drag (OnStartDock). */
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoStartDock(TDragDockObject*& DragObject);
  /** Source is dragged over the control (OnDragOver); Accept arrives True
   *  with a handler, False without. */
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  /** The drag of this control ended (OnEndDrag), or the dock drag (OnEndDock). */
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  virtual void DoEndDock(TObject* Target, int X, int Y);
  /** The effective reading order changed: Qt's layout direction follows. */
  virtual void BiDiModeChanged();
  void Notification(TComponent* AComponent) override;
  virtual void Resize();
  /** The mouse capture went elsewhere while this control held it (another
   *  control took it, the window was deactivated, or the control hidden). */
  virtual void MouseCaptureLost() {}

  // Notifications of the class library (CM_... messages).
  virtual void ColorChanged();
  virtual void FontChanged();
  virtual void EnabledChanged();
  virtual void TextChanged();
  virtual void VisibleChanged() {}
  /** The parent's colour changed or the control got a parent. */
  virtual void ParentColorChanged();
  /** The parent's font changed or the control got a parent. */
  virtual void ParentFontChanged();
  void ParentShowHintChanged();
  void ParentBiDiModeChanged();
  /** The size changed (before Resize fires). */
  virtual void SizeChanged() {}
  /** A character offered to every control of the form (CM_DIALOGCHAR),
   *  windowless ones too: the accelerator of a caption, or a key the focused
   *  control does not want. True when this control used it. */
  virtual bool DialogChar(TKeyChar /*Key*/, TShiftState /*Shift*/) { return false; }

  /** Paints the client area (self-painted controls). */
  virtual void PaintClient(QPaintEvent*) {}
  /** Where the client area starts in the window. */
  virtual TPoint ClientOrigin() const { return {0, 0}; }
  /** Tells an attached hook (and a derived class) of a message. */
  void Notify(TControlMessage message, int param = 0);
  /** Lays the widgets out for the current bounds. */
  virtual void PlaceWidgets() {}
  /** A widget event before the layer's own handling: true when handled. */
  virtual bool WidgetEvent(QEvent*) { return false; }

private:
  friend class TWinControl;
  friend class TForm;
  friend class TControlWidget;
  friend class TApplication;
  friend class THostFilter;
  friend class TDragRun;
  void ApplyBounds();
  void CheckSizeChanged(int oldWidth, int oldHeight);
  void RequestAlign();
  void UpdateQtCursor();
  /** True when the layer kept the event from a hosted widget. */
  bool HandleMouse(QMouseEvent* e, QWidget* from);
  void BeginDragFrom(TPoint start, bool immediate, int threshold);
  /** Docks into site (the old site agreeing) with Source describing where. */
  bool DockTo(TWinControl* site, TDragDockObject& source, TPoint at);
  /** Leaves the dock site for a window of its own (the site agreed already). */
  void Float(const TRect& screenRect);
  /** The control's place on the screen, to float at when it is undocked. */
  TRect ScreenBounds() const;
  /** Ends a drag this control takes part in and leaves its dock site (on destruction). */
  void LeaveDragAndDock();
  /** The hosted widget's own context menu (an edit's), when it has one. */
  bool ShowOwnContextMenu(TPoint screenPos, bool byKey);
  void HandleCaptureLost();
  void ReleaseHookOverlay();

  QWidget* FHandle = nullptr;  // a TControlWidget
  TWinControl* FParent = nullptr;
  TControl* FHost = nullptr;
  TWindowKind FWindowKind = wkChild;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TSizeConstraints FConstraints;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  TFont FFont;
  bool FParentFont = true;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TPopupMenu* FPopupMenu = nullptr;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TCursor FDragCursor = crDrag;
  TWinControl* FHostDockSite = nullptr;
  TRect FUndockRect;  // screen bounds before docking
  TAlign FUndockAlign = alNone;
  std::string FCaption;
  bool FClicked = false;
  bool FCaptured = false;
  IControlHook* FHook = nullptr;
  QWidget* FHookOverlay = nullptr;
  // Distances to the parent's right and bottom edges, for anchors.
  int FAnchorRight = -1;
  int FAnchorBottom = -1;
};

/** A control that holds other controls, takes the focus and gets the keys.
 *  It may have a frame outside its client area and scroll bars of its own. */
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  /** Child controls, in the window's stacking order (bottom first). */
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const;
  /** Whether control is this one or lies inside it. */
  bool ContainsControl(const TControl* control) const;
  /** The visible child control under p (client coordinates); disabled ones
   *  only with allowDisabled. */
  TControl* ControlAtPos(TPoint p, bool allowDisabled) const;

  int ClientWidth() const override;
  int ClientHeight() const override;
  QWidget* ClientWidget() const override;

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);
  int TabOrder() const;
  /** Moves the control in its parent's tab order. */
  void SetTabOrder(int order);
  /** The keyboard focus is on this control (or on the widget it hosts). */
  bool Focused() const;
  /** Showing and enabled, itself and every parent. */
  bool CanFocus() const;
  /** Raises EInvalidOperation when the control cannot take the focus. */
  virtual void SetFocus();
  /** Lays out the aligned and anchored children again. */
  void Realign();
  /** What the control wants of the dialog keys (DLGC_...). */
  virtual unsigned DialogCode() const { return FHosted ? DLGC_WANTARROWS | DLGC_WANTCHARS : 0; }

  // The frame and the scroll bars (the window's non-client area).
  /** The frame's width on each side. */
  int FrameWidth() const { return FFrameWidth; }
  void SetFrameWidth(int width);
  /** Repaints the frame. */
  void InvalidateFrame();
  /** Sets a bar's range, page and position; the position is kept within the range. */
  void SetScrollInfo(TScrollBarKind kind, const TScrollInfo& info);
  TScrollInfo GetScrollInfo(TScrollBarKind kind) const;
  /** The thumb's position while the user drags it (the position otherwise). */
  int GetScrollTrackPos(TScrollBarKind kind) const;
  void ShowScrollBar(TScrollBarKind kind, bool show);
  bool ScrollBarShown(TScrollBarKind kind) const;
  void EnableScrollBar(TScrollBarKind kind, bool enable);
  bool ScrollBarEnabled(TScrollBarKind kind) const;
  /** Sends the window a scroll message, as a click on the bar would. */
  void PerformScroll(TScrollBarKind kind, int code) { ScrollMessage(kind, code, GetScrollTrackPos(kind)); }
  /** The scroll bar widget (for tests and for the pictures), or null. */
  QScrollBar* ScrollBarWidget(TScrollBarKind kind) const;
  /** Moves the painted content inside clip (client coordinates) by (dx, dy);
   *  only the uncovered strip is painted again. */
  void ScrollWindow(int dx, int dy, const TRect& clip);

  // Transient marks drawn over the client area after painting: each inverts
  // the pixels of its rectangle (a pattern inverts every other one), so a
  // mark drawn twice is gone. Children do not hide them.
  void InvertRect(const TRect& r, bool pattern = false);
  int InvertedCount() const { return static_cast<int>(FInverted.size()); }
  /** Removes every mark at once. */
  void ClearInverted();

  /** Controls with DragKind dkDock may be docked into it. */
  bool DockSite() const { return FDockSite; }
  void SetDockSite(bool value);
  /** The controls docked into it, in the order they came. */
  int DockClientCount() const { return static_cast<int>(FDockClients.size()); }
  TControl* DockClients(int index) const;

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TGetSiteInfoEvent OnGetSiteInfo;
  TDockOverEvent OnDockOver;
  TDockDropEvent OnDockDrop;
  TUnDockEvent OnUnDock;

  /** Whether Client may dock here with the pointer at MousePos (screen):
   *  OnGetSiteInfo may change the rectangle the site takes the pointer in
   *  (screen coordinates) and refuse. */
  virtual void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock);
  /** A dock drag over the site (OnDockOver); Accept arrives True. The
   *  default puts Source's DockRect over the client area. */
  virtual void DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept);
  /** Docks Source's control here, then fires OnDockDrop. */
  virtual void DockDrop(TDragDockObject* Source, int X, int Y);

protected:
  TWinControl(TComponent* AOwner, bool windowed) : TControl(AOwner, windowed) {}

  /** Takes a docked control in: the default makes it a child at ARect
   *  (client coordinates). */
  virtual void DoAddDockClient(TControl* Client, const TRect& ARect);
  /** A docked control has left (it has its new parent already). */
  virtual void DoRemoveDockClient(TControl* /*Client*/) {}
  /** Asks OnUnDock whether Client may leave for NewTarget (null: floating). */
  virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
  /** The caption or the visibility of a docked control changed. */
  virtual void DockClientChanged(TControl* /*Client*/) {}

  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyPress(TKeyChar& Key);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  /** The focus came into the control or left it, within the window (CM_ENTER / CM_EXIT). */
  virtual void DoEnter();
  virtual void DoExit();
  /** The widget focus came or went (WM_SETFOCUS / WM_KILLFOCUS). */
  virtual void FocusGained() {}
  virtual void FocusLost() {}
  /** A scroll message from one of the window's bars (WM_HSCROLL / WM_VSCROLL). */
  virtual void ScrollMessage(TScrollBarKind, int /*code*/, int /*trackPos*/) {}
  /** Paints the frame on canvas; rect is the whole window at the origin. The
   *  default draws the classic sunken edge. */
  virtual void PaintFrame(TCanvas* canvas, const TRect& rect);
  /** Places the aligned children inside rect, top, bottom, left, right, then client. */
  virtual void AlignControls(TRect& rect);

  /** Gives the control a client widget inside its window, so that it can
   *  have a frame and scroll bars; constructors call it first. */
  void CreateClientArea();
  /** Owns inner (a Qt input widget) as the control's face: it fills the
   *  client area and takes the focus for the control, and every key, mouse
   *  and focus event of it reaches the control's handlers first. */
  void HostWidget(QWidget* inner);
  QWidget* Hosted() const { return FHosted; }
  /** A key a dialog would take (arrows, Enter, Escape) that the focused
   *  control does not want (CM_DIALOGKEY): the controls inside get it first.
   *  True when used. */
  virtual bool DialogKey(WORD Key, TShiftState Shift);

  void ColorChanged() override;
  void FontChanged() override;
  void EnabledChanged() override;
  void SizeChanged() override;
  TPoint ClientOrigin() const override;
  void PlaceWidgets() override;
  bool WidgetEvent(QEvent* e) override;
  /** The frame and bars of the window (the non-client area). */
  virtual void PaintNonClient(QPaintEvent* e);

private:
  friend class TControl;
  friend class TControlWidget;
  friend class TForm;
  friend class TApplication;
  friend class THostFilter;
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  void UpdateBackground();
  void HandleKey(QKeyEvent* e, bool press);
  void HandleFocus(QFocusEvent* e, bool in);
  bool BroadcastDialogChar(TKeyChar key, TShiftState shift);
  void ScrollBarAction(TScrollBarKind kind, int action);
  void UpdateInvertOverlay(const TRect& r);
  /** Client is docked here now (DoAddDockClient places it). */
  void AddDockClient(TControl* client, const TRect& clientRect);
  /** Client has left (DoRemoveDockClient follows). */
  void RemoveDockClient(TControl* client);

  std::vector<TControl*> FControls;
  std::vector<TControl*> FDockClients;
  bool FDockSite = false;
  bool FTabStop = false;
  bool FAligning = false;
  int FFrameWidth = 0;
  QWidget* FClient = nullptr;
  QWidget* FHosted = nullptr;
  QObject* FHostFilter = nullptr;
  QScrollBar* FBars[2] = {nullptr, nullptr};
  bool FBarShown[2] = {false, false};
  TScrollInfo FScroll[2];
  QWidget* FInvertOverlay = nullptr;
  struct TInverted {
    TRect R;
    bool Pattern;
  };
  std::vector<TInverted> FInverted;
};

/** A control without a window of its own that paints itself in Paint();
 *  what it leaves unpainted shows its parent. */
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner);
  TCanvas* Canvas() { return FPainter.Canvas(); }
  /** Paints the control onto image (its size is the caller's). */
  void PaintTo(QImage& image);
  /** The picture of the last paint on screen. */
  const QImage& PaintedImage() const { return FPainter.Image(); }

protected:
  virtual void Paint() {}
  void PaintClient(QPaintEvent* e) override;

private:
  TControlPainter FPainter;
};

/** A windowed control that paints itself in Paint(), on its colour. Paint is
 *  clipped to the area to update (Canvas()->ClipRect() tells it); what it
 *  leaves alone keeps its picture, and with csOpaque nothing is erased. */
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  TCanvas* Canvas() { return FPainter.Canvas(); }
  /** Paints the whole client area onto image. */
  void PaintTo(QImage& image);
  /** The client area's picture as it is on screen. */
  const QImage& PaintedImage() const { return FPainter.Image(); }

protected:
  virtual void Paint() {}
  /** Clears r before Paint (WM_ERASEBKGND): fills it with Color unless csOpaque. */
  virtual void EraseBackground(const TRect& r);
  void PaintClient(QPaintEvent* e) override;
  /** Paints what the parent shows under this control onto canvas, for a
   *  transparent look. */
  void DrawParentImage(TCanvas* canvas);
  /** Moves the picture kept for the client area, with ScrollWindow. */
  TControlPainter& Painter() { return FPainter; }

private:
  friend class TWinControl;
  TControlPainter FPainter;
};

/** The small window that shows a hint: the hint colours, a one-pixel frame
 *  and the text, word-wrapped. It floats above every window and never takes
 *  the focus. */
class THintWindow : public TCustomControl {
public:
  explicit THintWindow(TComponent* AOwner);
  /** The size the text needs, at most maxWidth wide (origin 0, 0). */
  virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
  /** Shows hint in rect (screen coordinates). */
  virtual void ActivateHint(const TRect& rect, const std::string& hint);
  /** Hides the window. */
  void ReleaseHandle() { Hide(); }

protected:
  void Paint() override;
};

/** The form that holds control, or null. */
TForm* GetParentForm(const TControl* control);
/** The control under a screen point (its innermost one), or null; disabled
 *  controls only with allowDisabled. Flyouts and hints are looked through. */
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled);
/** The windowed control under a screen point, or null. */
TWinControl* FindControlAt(TPoint screenPos);

/** The control being dragged (or dock-dragged), from its BeginDrag until
 *  the drag ends; null when none is. */
TControl* DragControl();
/** The pointer of the drag under way moved to screenPos (a mouse move
 *  does this while a control is dragged). */
void DragTo(TPoint screenPos);
/** Ends the drag under way: drop where the pointer is, or cancel. */
void DragDone(bool Drop);
/** The dock sites that a dock drag looks at, in the order they became ones. */
const std::vector<TWinControl*>& DockSites();

/** Shift state of Qt modifiers and buttons. */
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
/** The virtual key code of a Qt key, 0 for keys without one. */
WORD VirtualKeyOf(int qtKey);
/** The Qt key of a virtual key code (the reverse of VirtualKeyOf). */
int QtKeyOf(WORD virtualKey);
