#pragma once
/** The program's own pictures, drawn in code: the small images of the trees
 *  and the key column, the tool-bar glyphs and the about box's picture. */

#include "ui/Bitmap.h"

#include <memory>

/** 16 x 16 images: 0 a database, 2 a table, 6 a key, 8 an empty key place;
 *  the others are blank. Fuchsia is left out when they are drawn. */
std::unique_ptr<TImageList> MakeProgramImages();

/** The tool-bar glyphs, 16 x 16 on fuchsia (the bottom-left pixel, which the
 *  flat buttons leave out). */
enum TToolGlyph { tgNew, tgOpen, tgSave, tgSaveAs, tgDefaultSettings, tgProjectSettings, tgUpdate, tgHelp, tgGenerate };
void DrawToolGlyph(TBitmap& bitmap, TToolGlyph glyph);

/** The about box's picture: a field under a morning sky with the program's
 *  name, width x height pixels. */
void DrawAboutPicture(TBitmap& bitmap, int width, int height);
