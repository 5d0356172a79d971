#pragma once
/** The about box. */

#include "ui/Forms.h"

class TFlatButton;
class TImage;
class TLabel;
class TVerInfo;

/** A window without a frame showing the program's picture and version; a
 *  click on the picture or on "Close" closes it. */
class TYztAbout : public TForm {
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
