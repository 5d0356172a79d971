#include "core/Exception.h"
// The classes are header-only; this file anchors the library target.
