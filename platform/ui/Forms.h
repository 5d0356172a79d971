#pragma once
/** Forms, the application object and the screen object. */

#include "core/Services.h"
#include "ui/Controls.h"

#include <QCursor>
#include <QPointer>

#include <map>
#include <memory>
#include <string>

class QApplication;
class QEventLoop;
class QPoint;
class QTimer;
class QWindow;
class TBitmap;
class IMessageBoxService;
class TScreen;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsStayOnTop };
using TBorderStyle = TFormBorderStyle;
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

/** A top-level window. Its bounds are the outer size of a classic window:
 *  the layer takes one fixed classic frame and caption off them (4 + 4 across
 *  and 4 + 19 + 4 down for a sizeable form, 3 + 3 and 3 + 19 + 3 for a dialog
 *  or a fixed single frame, smaller captions for tool windows, nothing for
 *  bsNone), and a menu bar off the top of what is left, so client areas come
 *  out as the classic ones. Position places it when it is first shown. A form
 *  whose owner is a form stays in front of that form. */
class TForm : public TWinControl {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  /** Fires OnCreate; called once the form is built (CreateForm does it). */
  void AfterConstruction();

  void SetVisible(bool visible) override;
  /** A form placed in a control (docked) is a child window without its
   *  frame; taken out again it is a window of its own. */
  void SetParent(TWinControl* parent) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  /** The classic frame and caption (and menu bar) around the client area:
   *  the outer size less the client size. */
  TSize NonClientSize() const;
  /** Closes as the class library does: OnClose decides (hide by default); the
   *  main form ends the application; caFree frees the form later. A modal form
   *  gets the result mrCancel. */
  void Close();
  /** Shows the form and runs the event loop until ModalResult is set.
   *  Raises EInvalidOperation for a form that is already showing. */
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result);

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle style);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }
  /** The control of this form that has (or last had) the focus. */
  TWinControl* ActiveControl() const { return FActiveControl; }
  /** Focuses control (when it can take the focus) or records it for later. */
  void SetActiveControl(TWinControl* control);
  bool Active() const;
  /** Moves the focus to the next (or previous) control that takes it. */
  void SelectNext(bool forward);
  /** Moves the focus to the first control in the tab order that takes it. */
  void SelectFirst();

  /** Puts bar (a menu bar) above the client area; null removes it. */
  void SetMenuWidget(QWidget* bar);
  QWidget* MenuWidget() const { return FMenuBar; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;

protected:
  virtual void DoShow();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  void TextChanged() override;
  bool DialogKey(WORD Key, TShiftState Shift) override;
  TPoint ClientOrigin() const override;
  void PlaceWidgets() override;
  bool WidgetEvent(QEvent* e) override;

private:
  friend class TWinControl;
  friend class TControl;
  /** The focus moved to control: Exit from the control that had it up to the
   *  common ancestor, Enter from there down to control. */
  void SetFocusedControl(TWinControl* control);
  /** The widget focus came to control; false when it only came back with
   *  the window and the control never lost it. */
  bool TakeWidgetFocus(TWinControl* control);
  void DropWidgetFocus(TWinControl* control);
  void ControlGone(TControl* control);
  void ApplyBorderStyle();
  TSize FrameSize() const;
  void PlaceOnScreen();
  /** Focuses the first control after start in the focus chain that takes it. */
  void FocusNextFrom(QWidget* start, bool forward);
  int MenuHeight() const;

  TFormBorderStyle FBorderStyle = bsSizeable;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TModalResult FModalResult = TModalResult::mrNone;
  QEventLoop* FModalLoop = nullptr;
  bool FModal = false;
  bool FPlaced = false;
  bool FCreated = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FWidgetFocus = nullptr;
  QWidget* FMenuBar = nullptr;
};

/** A reusable part of a form, built in code like a form but placed as a
 *  control inside one. */
class TFrame : public TWinControl {
public:
  explicit TFrame(TComponent* AOwner);
};

/** The application: title, help file, main form, message loop, and the box
 *  that shows an exception escaping an event handler. Owns the forms made by
 *  CreateForm and the screen object. One instance, reached as Application. */
class TApplication : public TComponent {
public:
  /** Uses the running QApplication, or creates one from argc and argv. */
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& title);
  const std::string& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& file) { FHelpFile = file; }

  /** Whether one of the application's windows is the active window. */
  bool Active() const;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  /** Hints of controls with ShowHint, shown when the mouse rests on them. */
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  /** Shows control's hint below the mouse at screenPos. */
  void ActivateHint(const TControl* control, QPoint screenPos);
  /** Hides the hint (the mouse moved on, a key or a button was pressed). */
  void CancelHint();
  /** The window the hints are shown in (created on first use). */
  THintWindow* HintWindow();

  /** Creates a form owned by the application; the first one becomes the main form. */
  template <class T>
  void CreateForm(T*& ref) {
    ref = new T(this);
    if (!FMainForm) FMainForm = ref;
    ref->AfterConstruction();
  }
  TForm* MainForm() const { return FMainForm; }

  /** Shows the main form and runs the message loop until Terminate. */
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  /** Handles the events waiting now and returns. */
  void ProcessMessages();

  /** Shows the exception being handled (call inside a catch block) in a box
   *  with the stop icon and the application's title. */
  void HandleException();
  /** The box for one message: a period is added unless the text ends in one
   *  (or in another character up to '.'). */
  void ShowException(const std::string& message);

  /** The message boxes in use; the application's own Qt boxes unless replaced. */
  IMessageBoxService* MessageService() const;
  /** Replaces the message boxes (null: back to the Qt boxes). */
  void SetMessageService(IMessageBoxService* service) { FMessages = service; }

private:
  friend class TForm;
  friend class TControl;
  friend void ResetUiGlobals();
  void ControlGone(TControl* control);
  std::unique_ptr<QApplication> FOwnApp;
  std::unique_ptr<TScreen> FScreen;
  std::string FTitle;
  std::string FHelpFile;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FRunning = false;
  bool FShowingException = false;
  IMessageBoxService* FMessages = nullptr;
  bool FShowHint = true;
  THintWindow* FHintWindow = nullptr;
  const TControl* FHintControl = nullptr;
  QTimer* FHintTimer = nullptr;
  bool FWasActive = false;
};

/** The screen: the cursor for the whole application, cursors by number,
 *  the mouse position and the work area. Reached as Screen. */
class TScreen {
public:
  TScreen() = default;
  ~TScreen();
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  /** crDefault lets every control show its own cursor. */
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);
  /** The Qt cursor of a cursor number; unknown numbers give the arrow. */
  static QCursor CursorFor(TCursor cursor);
  /** Registers the program's own cursor under id (a positive number): the
   *  image's transparent colour is left out, the hot spot is where it points. */
  static void RegisterCursor(TCursor id, const TBitmap& image, TPoint hotSpot);
  static void ClearRegisteredCursors();
  TPoint CursorPos() const;
  void SetCursorPos(TPoint p);
  /** The primary screen without the task bars and panels. */
  TRect WorkAreaRect() const;
  int Width() const;
  int Height() const;

private:
  static std::map<TCursor, QCursor>& Registered();
  TCursor FCursor = crDefault;
};

extern TApplication* Application;
extern TScreen* Screen;

/** The window a modal window opened now belongs to, and opens above: the
 *  modal window on top, else the active window, else the main form while it
 *  shows; but when that one is covered by a window of the program that
 *  stays on top (or by a window belonging to one), the topmost of those.
 *  Null when there is none. A modal window without an owner of its own
 *  would otherwise belong to a hidden window of Qt's, and a window manager
 *  may stack it below the window that opened it, or below a window that
 *  stays on top, where it waits unseen and every other window is blocked. */
QWidget* ModalOwner();

/** Lends window, about to open modally, to ModalOwner() for as long as the
 *  object lives: the owner becomes its transient parent, which the window
 *  manager stacks it above, not its Qt parent, so that the owner may be
 *  freed meanwhile without taking the window along. At the end the window
 *  belongs again to whatever it belonged to before. */
class TModalPlacement {
public:
  explicit TModalPlacement(QWidget* window);
  ~TModalPlacement();
  TModalPlacement(const TModalPlacement&) = delete;
  TModalPlacement& operator=(const TModalPlacement&) = delete;

private:
  QPointer<QWindow> FWindow;
  QPointer<QWindow> FOwnParent;
};

/** Puts the layer's process-wide state back as it starts: the application
 *  not terminated, registered cursors, the screen cursor, the hint, the
 *  mouse capture. For tests. */
void ResetUiGlobals();
