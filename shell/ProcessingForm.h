#pragma once
/** The progress window of long operations (reading and writing the project
 *  file, generating the site). */

#include "core/Services.h"
#include "ui/Forms.h"

class TFlatGauge;
class TLabel;

/** A small window with "Please wait!" and a gauge from 0 to 100. Each
 *  operation drives one through IProgressDisplay: Start shows it, SetProgress
 *  moves the gauge, which repaints at once because the work keeps the event
 *  loop waiting, and Finish keeps the full bar in sight for 100 ms and hides
 *  the window. */
class TProcessingDisplay : public TForm, public IProgressDisplay {
public:
  explicit TProcessingDisplay(TComponent* AOwner);

  void Start() override;
  void SetProgress(int percent) override;
  void Finish() override;

  TFlatGauge* Bar;
  TLabel* Label1;
};
