#pragma once
/** Copies between the main window's editors and the open project. */

class TMainForm;

/** Made for one copy and dropped after it; it holds nothing but the window
 *  whose editors and project it copies between. */
class TInterfaceTableDetail {
public:
  explicit TInterfaceTableDetail(TMainForm& form) : FForm(form) {}

  /** The edited column's options into the field editor (which also sets
   *  the column's list source from its lookup flag). Nothing without one. */
  void updateUI();
  /** The field editor into the edited column's options. The numbers are
   *  checked first: one that is no number raises EConvertError and nothing
   *  is copied. Nothing without an edited column. */
  void updateData();
  /** The project's look and feel into the look-and-feel frame. */
  void fillLook();
  /** The frame's look and feel into the project. The numbers are checked
   *  first: a field that holds no number raises EConvertError and nothing
   *  is copied. An empty theme selector keeps the project's theme. */
  void saveLook();
  /** The security page into the project: no user control clears the
   *  administrator, admin control takes the page's name and password. */
  void updateSecurityData();
  /** The project's security mode, name and password into the security page. */
  void updateSecurityUI();

private:
  TMainForm& FForm;
};
