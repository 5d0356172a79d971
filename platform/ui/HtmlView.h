#pragma once
/** The embedded page view of the look-and-feel preview. */

#include "ui/Controls.h"

#include <string>

class QTextBrowser;

/** Shows a complete HTML page with its linked style sheets and images, over
 *  Qt's rich-text engine: HTML 4 markup with tables, and the part of CSS 2
 *  that engine knows (colours, backgrounds, fonts, text alignment and
 *  decoration, margins, padding and borders of table cells). No scripts, no
 *  positioning or floats, no network. Links are shown, not followed. The
 *  view has the classic sunken edge and takes the focus for scrolling. */
class THtmlView : public TWinControl {
public:
  explicit THtmlView(TComponent* AOwner);

  /** Shows html; relative addresses (style sheets, images) are taken from
   *  baseFolder (the current folder when empty). */
  void LoadFromString(const std::string& html, const std::string& baseFolder = "");
  /** Shows the page in fileName, read afresh each time, with its folder as
   *  the base of relative addresses. Raises EFOpenError when it cannot be read. */
  void Navigate(const std::string& fileName);
  /** The file last shown by Navigate (empty after LoadFromString). */
  const std::string& LocationName() const { return FLocation; }
  /** Shows nothing. */
  void Clear();
  /** The page's text without markup, as shown. */
  std::string PlainText() const;

protected:
  void ColorChanged() override;

private:
  QTextBrowser* FBrowser;
  std::string FLocation;
};
