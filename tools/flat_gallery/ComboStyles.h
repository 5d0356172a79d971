#pragma once
/** The combo box styles and the list box in the gallery (and in the render
 *  tool's pictures): owner-drawn colour items, and a band of examples. */

#include "GalleryPlace.h"
#include "ui/StdCtrls.h"

#include <functional>
#include <string>

class TForm;

/** The colour items the owner-drawn examples show, by name. */
extern const char* const kColourNames[5];

/** Fills combo with the colour names and draws them as a swatch and the
 *  name; a csOwnerDrawVariable box gets rows of three heights. */
void UseColourItems(TCustomComboBox* combo);

/** Makes form taller by a band above its bottom-aligned status line that
 *  shows the flat combo box in each style and, taken up by a painter that
 *  paints only them, a list box and a simple standard combo box. The
 *  status callback tells what was chosen. */
void AddComboStyles(TForm* form, const std::function<void(const std::string&)>& status);
