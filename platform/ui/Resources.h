#pragma once
/** Pictures the program carries with it, found by name as the class library
 *  finds its resources: bitmaps (glyphs) and cursors. A resource is either
 *  drawn in code by a function registered under its name, or compiled into
 *  the program as the Qt resource ":/qf/<name>.png". */

#include "ui/Bitmap.h"
#include "ui/Types.h"

#include <functional>
#include <string>

/** Draws a resource: sizes and paints bitmap, and for a cursor sets the hot
 *  spot and the bitmap's transparent colour. */
using TResourceDrawer = std::function<void(TBitmap& bitmap, TPoint& hotSpot)>;

/** Registers a drawn resource under name (a later registration replaces it). */
void RegisterResource(const std::string& name, TResourceDrawer drawer);
bool ResourceExists(const std::string& name);
/** The bitmap of a resource; false (bitmap unchanged) when there is none. */
bool LoadResourceBitmap(const std::string& name, TBitmap& bitmap);
/** Loads a cursor resource and registers it with the screen under id;
 *  false when there is no such resource. */
bool LoadCursorResource(const std::string& name, TCursor id);
