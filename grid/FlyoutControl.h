#pragma once
/** Small windows that float over the grid's form: the roll-scroll marker
 *  here, and the column drag image and drop arrows built on the same base. */

#include "ui/Controls.h"
#include "ui/Types.h"

#include <vector>

class TForm;

/** A borderless window that floats above its host's form, placed in screen
 *  coordinates, never taking the focus and never erasing its background.
 *  It starts hidden and out of any form. */
class TFlyoutControl : public TCustomControl {
public:
  explicit TFlyoutControl(TComponent* AOwner);
  /** Floats the window over the form that holds Host (it may have moved to
   *  another form since the last call). */
  void FloatOver(TControl* Host);

private:
  TForm* FForm = nullptr;
};

/** The roll-scroll marker: two arrow heads and a centre dot in grey text
 *  colour, the dot lying on the anchor point. */
class TRollShadow : public TFlyoutControl {
public:
  explicit TRollShadow(TComponent* AOwner);
  /** Places the 32 x 32 window so that the centre dot lies on P (screen). */
  void PlaceAt(TPoint P);
  TPoint Anchor() const { return FAnchor; }
  /** The marker's shape: the two arrow heads and the centre dot, in window coordinates. */
  static std::vector<std::vector<TPoint>> RegionPolygons();
  static TRect RegionEllipse() { return {5, 9, 10, 14}; }

protected:
  void Paint() override;

private:
  void BuildRegion();
  TPoint FAnchor;
};
