#pragma once
/** Placing a control in the gallery's windows. */

#include "ui/Controls.h"

/** A new T owned by parent and placed on it at (x, y, w, h). */
template <class T>
T* Add(TWinControl* parent, int x, int y, int w, int h) {
  auto* c = new T(parent);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}
