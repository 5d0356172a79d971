#pragma once
/** Controls of the class library over Qt widgets. Every control is a QWidget;
 *  the Qt overrides only translate events and call the program's handlers,
 *  which keep the class library's meaning: Click fires on a left release
 *  inside the control, a double click fires DblClick and then MouseDown with
 *  ssDouble, Exit fires only when the focus moves to another control of the
 *  same window. An exception escaping a handler is shown by the application
 *  and the program goes on. */

#include "core/Exception.h"
#include "ui/Canvas.h"
#include "ui/Classes.h"
#include "ui/Colors.h"
#include "ui/Types.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>

class TWinControl;
class TForm;

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

/** Runs fn; an exception escaping it is shown by the application and swallowed. */
void RunGuarded(const std::function<void()>& fn);

/** A visible element: bounds, alignment, colour and font (both may follow the
 *  parent), cursor, hint, caption and the mouse events. */
class TControl : public QWidget, public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  /** Places the control in parent (null: out of any window). */
  void SetParent(TWinControl* parent);

  int Left() const { return x(); }
  int Top() const { return y(); }
  int Width() const { return width(); }
  int Height() const { return height(); }
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
  int ClientWidth() const { return width(); }
  int ClientHeight() const { return height(); }
  TRect ClientRect() const { return TRect{0, 0, width(), height()}; }

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
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
  void SetHint(const std::string& hint);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);

  /** Paints later, when the event loop runs. */
  void Invalidate() { update(); }
  /** Paints now, before returning (when the control is showing). */
  void Repaint();

  bool MouseCapture() const;
  void SetMouseCapture(bool value);
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnResize;

protected:
  // The program's handlers; each fires its event.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  /** True when the wheel was used; otherwise the parent gets it. */
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual void Resize();

  // Notifications of the class library (CM_... messages).
  virtual void ColorChanged();
  virtual void FontChanged();
  virtual void EnabledChanged() { Invalidate(); }
  virtual void TextChanged() { Invalidate(); }
  virtual void VisibleChanged() {}
  /** The parent's colour changed or the control got a parent. */
  virtual void ParentColorChanged();
  /** The parent's font changed or the control got a parent. */
  virtual void ParentFontChanged();
  /** The size changed (before Resize fires). */
  virtual void SizeChanged() {}

  /** The Qt window to show or hide for Visible. */
  virtual bool IsWindowControl() const { return false; }

  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

private:
  friend class TWinControl;
  friend class TForm;
  void CheckSizeChanged();
  void RequestAlign();

  TWinControl* FParent = nullptr;
  TAlign FAlign = alNone;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  TFont FFont;
  bool FParentFont = true;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  std::string FCaption;
  bool FClicked = false;
  QSize FLastSize{-1, -1};
};

/** A control that holds other controls, takes the focus and gets the keys. */
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  /** Child controls, in the window's stacking order. */
  int ControlCount() const;
  TControl* Controls(int index) const;

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);
  bool Focused() const { return hasFocus(); }
  /** Showing and enabled, itself and every parent. */
  bool CanFocus() const;
  /** Raises EInvalidOperation when the control cannot take the focus. */
  virtual void SetFocus();
  /** Lays out the aligned children again. */
  void Realign();

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyPress(TKeyChar& Key);
  /** A character left over after OnKeyPress, for the control to use. */
  virtual void KeyTyped(TKeyChar) {}
  virtual void DoEnter();
  virtual void DoExit();
  /** Places the aligned children inside rect, top, bottom, left, right, then client. */
  virtual void AlignControls(TRect& rect);

  /** What is left of a key press after the handlers: the key code after OnKeyDown
   *  (0 when handled) and the characters after OnKeyPress. */
  struct TKeyOutcome {
    WORD Key = 0;
    QString Typed;
  };
  TKeyOutcome TranslateKey(QKeyEvent* e);

  void ColorChanged() override;
  void FontChanged() override;
  void SizeChanged() override { Realign(); }

  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;

private:
  friend class TControl;
  friend class TForm;
  void UpdateBackground();
  bool FTabStop = false;
  bool FAligning = false;
};

/** Holds the picture of a self-painted control: its last on-screen paint and
 *  the canvas Paint() draws with. */
class TControlPainter {
public:
  TCanvas* Canvas() { return &FCanvas; }
  const QImage& Image() const { return FImage; }
  /** Paints onto the control's widget: the picture starts filled with fill. */
  void PaintWidget(QWidget* w, QRgb fill, const std::function<void()>& paint);
  /** Paints onto image instead of the screen. */
  void PaintImage(QImage& image, const std::function<void()>& paint);

private:
  QImage FImage;
  TCanvas FCanvas;
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
  void paintEvent(QPaintEvent* e) override;

private:
  TControlPainter FPainter;
};

/** A windowed control that paints itself in Paint(), on its colour. */
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  TCanvas* Canvas() { return FPainter.Canvas(); }
  void PaintTo(QImage& image);
  const QImage& PaintedImage() const { return FPainter.Image(); }

protected:
  virtual void Paint() {}
  void paintEvent(QPaintEvent* e) override;

private:
  TControlPainter FPainter;
};

/** The form that holds control, or null. */
TForm* GetParentForm(const TControl* control);

/** Shift state of Qt modifiers and buttons. */
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
/** The virtual key code of a Qt key, 0 for keys without one. */
WORD VirtualKeyOf(int qtKey);
