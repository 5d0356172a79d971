#pragma once
/** Seams between the program's logic and its windows. The shell implements
 *  them with real windows; tests implement them with recorders. No operation
 *  here may block a test on a modal window. */

#include <string>

/** A progress window: shown by Start, moved from 0 to 100, closed by Finish. */
class IProgressDisplay {
public:
  virtual ~IProgressDisplay() = default;
  virtual void Start() = 0;
  virtual void SetProgress(int percent) = 0;
  virtual void Finish() = 0;
};

/** Starts a progress display and makes sure it is finished on every way out,
 *  including an exception. A null display is allowed and does nothing. */
class TProgressScope {
public:
  explicit TProgressScope(IProgressDisplay* display) : FDisplay(display) {
    if (FDisplay) FDisplay->Start();
  }
  ~TProgressScope() { Finish(); }
  TProgressScope(const TProgressScope&) = delete;
  TProgressScope& operator=(const TProgressScope&) = delete;

  void SetProgress(int percent) {
    if (FDisplay) FDisplay->SetProgress(percent);
  }
  void Finish() {
    if (FDisplay) {
      IProgressDisplay* d = FDisplay;
      FDisplay = nullptr;
      d->Finish();
    }
  }

private:
  IProgressDisplay* FDisplay;
};

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/** Buttons of a message box, combined with |. */
enum TMsgDlgBtn : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
using TMsgDlgButtons = unsigned;

enum class TModalResult { mrNone, mrOk, mrCancel, mrYes, mrNo };

/** Message boxes: text, kind and buttons; answers the button chosen. */
class IMessageService {
public:
  virtual ~IMessageService() = default;
  virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
};
