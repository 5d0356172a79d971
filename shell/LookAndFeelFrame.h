#pragma once
/** The "Look and Feel" page: the theme of the generated site, the size and
 *  alignment of its tables, the rows per list page and the page title. */

#include "ui/Forms.h"

#include <string>

class TFlatComboBox;
class TFlatEdit;
class THtmlView;
class TLabel;
class TPanel;

/** The look-and-feel frame. Its values reach the project through the
 *  binder's fillLook and saveLook; leaving the frame saves them. The theme
 *  list holds the folders of "themes" beside the program. */
class TLookAndFeel : public TFrame {
public:
  explicit TLookAndFeel(TComponent* AOwner);

  TPanel* HtmlSettingsBorder;
  TFlatComboBox* CssSelector;
  TFlatEdit* ETableWidth;
  TFlatComboBox* TableSizeSelector;
  TFlatComboBox* ETableAlign;
  TFlatEdit* ERowNumber;
  TFlatEdit* EPageTitle;
  THtmlView* Browser;

  /** The theme generation copies: the selector's text. */
  std::string ThemeName() const;
  /** Where the theme folders are: "themes/" in the program's folder. */
  std::string ThemesFolder;
  /** Lists the theme folders again, keeping the chosen one when it is still there. */
  void FillThemes();
  /** The selector got the focus: the list anew, then the first theme and
   *  the project's previewed. */
  void CssSelectorEnter();
  /** Writes the chosen theme's preview.html (its style sheet's link and its
   *  preview.tbl) and shows it. No theme, no preview; a preview.tbl that
   *  cannot be read raises EFOpenError and writes nothing. A theme folder
   *  that cannot be written still gets its preview shown (and logged). */
  void CssSelectorChange();
  /** The page the preview shows: the link and the fragment as one document. */
  static std::string PreviewDocument(const std::string& linkLine, const std::string& fragment);
  void ETableWidthKeyPress(TKeyChar& Key);
  /** The focus left the frame. */
  void FrameExit();
};
