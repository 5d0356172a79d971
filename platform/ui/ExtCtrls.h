#pragma once
/** The timer component. */

#include "ui/Classes.h"
#include "ui/Controls.h"

#include <memory>

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
