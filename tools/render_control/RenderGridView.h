#pragma once
/** The render tool's pictures of the grid demo's column grid. */

#include <QImage>

/** What is going on in the picture. */
struct TGridViewScene {
  int Width = 760;
  int Height = 260;
  int HeaderStyle = 0;
  bool Editor = false;  // the caption of a row in its editor
  bool Popup = false;   // the input type's drop-down list open
  bool Drag = false;    // the caption's header dragged over another column
};

/** The grid on a shown form, with whatever floats over it (the drop-down
 *  list, the dragged header and the drop arrows) drawn in at its place. */
QImage RenderGridView(const TGridViewScene& Scene);
