#pragma once
/** The about box. */

#include "shell/DialogParts.h"

class TFlatButton;
class TImage;
class TLabel;
class TVerInfo;

/** A window without a frame showing the program's picture and version; a
 *  click on the picture or on "Close", Enter or Escape closes it. */
class TYztAbout : public TProgramDialog {
public:
  explicit TYztAbout(TComponent* AOwner);

  TImage* Image1;
  TLabel* Label1;
  TLabel* LVersion;
  TFlatButton* FlatButton1;
  TVerInfo* VerInfo1;

  /** Takes the frame away, shows the program's version and shows the box
   *  modally until it is closed. */
  TModalResult MakeSplash();
  /** What MakeSplash does before it shows the box. */
  void PrepareSplash();
  void FlatButton1Click();
  void Image1Click();
};
