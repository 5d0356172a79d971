#include "components/FlatMemo.h"

TFlatMemo::TFlatMemo(TComponent* AOwner) : TFlatEditFrame(AOwner) { SetBounds(0, 0, 185, 89); }

bool TFlatMemo::SameKind(const TControl* control) const { return dynamic_cast<const TFlatMemo*>(control); }
