#pragma once
/** TFlatMemo: Qt's plain-text edit inside a flat three-pixel frame. */

#include "components/FlatEdit.h"

/** A flat memo, 185 x 89 by default, with the colours of the flat edit.
 *  With both scroll bars the corner between them takes the frame's inner
 *  colour. A hovered memo keeps its flat look while another flat memo has
 *  the focus. */
class TFlatMemo : public TFlatEditFrame<TCustomMemo> {
public:
  explicit TFlatMemo(TComponent* AOwner);

protected:
  bool SameKind(const TControl* control) const override;
};
