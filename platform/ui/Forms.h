#pragma once
/** Forms, the application object and the screen object. */

#include "core/Services.h"
#include "ui/Controls.h"

#include <QCursor>

#include <map>
#include <memory>
#include <string>

class QApplication;
class QEventLoop;
class TBitmap;
class IMessageBoxService;
class TScreen;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

/** A top-level window. Width and Height are the size of the window's client
 *  area (the window manager adds its frame); Position places it when it is
 *  first shown. A form whose owner is a form stays in front of that form. */
class TForm : public TWinControl {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  /** Fires OnCreate; called once the form is built (CreateForm does it). */
  void AfterConstruction();

  void SetVisible(bool visible) override;
  void SetBounds(int left, int top, int width, int height) override;
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
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }
  /** The control of this form that has (or last had) the focus. */
  TWinControl* ActiveControl() const { return FActiveControl; }
  bool Active() const { return isActiveWindow(); }

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnActivate;
  TCloseEvent OnClose;

protected:
  virtual void DoShow();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  void TextChanged() override;
  bool IsWindowControl() const override { return true; }

  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;

private:
  friend class TWinControl;
  friend class TControl;
  void FocusEntered(TWinControl* control);
  void ControlGone(TControl* control);
  void ApplyBorderStyle();
  void PlaceOnScreen();

  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poDesigned;
  TModalResult FModalResult = TModalResult::mrNone;
  QEventLoop* FModalLoop = nullptr;
  bool FModal = false;
  bool FPlaced = false;
  bool FCreated = false;
  TWinControl* FActiveControl = nullptr;
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
  std::unique_ptr<QApplication> FOwnApp;
  std::unique_ptr<TScreen> FScreen;
  std::string FTitle;
  std::string FHelpFile;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FShowingException = false;
  IMessageBoxService* FMessages = nullptr;
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
