#pragma once
/** The gallery's strip for the window layer's drag and drop, docking into
 *  the gradient page control, pop-up menus and hints from the parent. */

#include "ui/Forms.h"

#include <functional>
#include <string>

/** Adds the strip along the bottom of form (which grows for it); status
 *  tells what the last action did. */
void AddDragAndDock(TForm* form, const std::function<void(const std::string&)>& status);
