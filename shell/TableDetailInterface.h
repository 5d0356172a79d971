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
  /** The field editor into the edited column's options. A number field that
   *  still shows the column's value keeps it as it is; a typed one that is no
   *  number is refused (the field shows the column's value again) and raises
   *  EConvertError naming the field, after every other field is copied.
   *  Nothing without an edited column. */
  void updateData();
  /** The project's look and feel into the look-and-feel frame. */
  void fillLook();
  /** The frame's look and feel into the project, the numbers as in
   *  updateData. An empty theme selector keeps the project's theme. */
  void saveLook();
  /** The security page into the project: no user control clears the
   *  administrator, admin control takes the page's name and password. */
  void updateSecurityData();
  /** The project's security mode, name and password into the security page. */
  void updateSecurityUI();

private:
  TMainForm& FForm;
};
