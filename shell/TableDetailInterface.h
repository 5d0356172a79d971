#pragma once
/** Copies between the main window's editors and the open project. */

class TMainForm;

/** Made for one copy and dropped after it; it holds nothing but the window
 *  whose editors and project it copies between. */
class TInterfaceTableDetail {
public:
  explicit TInterfaceTableDetail(TMainForm& form) : FForm(form) {}

  /** The project's look and feel into the look-and-feel frame. */
  void fillLook();
  /** The frame's look and feel into the project. The numbers are checked
   *  first: a field that holds no number raises EConvertError and nothing
   *  is copied. An empty theme selector keeps the project's theme. */
  void saveLook();

private:
  TMainForm& FForm;
};
