#pragma once
/** The field input-details editor below the column grid: where the column
 *  selected in the grid gets its form-control options. */

#include "ui/Forms.h"

/** The editor's frame on the "Table details" page. Its pages of options
 *  are filled in by the field editor; the main window shows and hides it
 *  with the current table. */
class TFrameDetailedProperties : public TFrame {
public:
  explicit TFrameDetailedProperties(TComponent* AOwner);
};
