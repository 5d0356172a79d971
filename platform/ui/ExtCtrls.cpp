#include "ui/ExtCtrls.h"

#include <QTimer>

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FTimer(std::make_unique<QTimer>()) {
  QObject::connect(FTimer.get(), &QTimer::timeout, [this] { RunGuarded([this] { Timer(); }); });
  Update();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Update();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == FInterval) return;
  FInterval = ms;
  Update();
}

void TTimer::Update() {
  FTimer->stop();
  if (FEnabled && FInterval > 0) FTimer->start(static_cast<int>(FInterval));
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}
