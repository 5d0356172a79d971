#pragma once
/** Binding of the visual-styles library. The grid asks ThemesAvailable before
 *  any themed drawing and paints its classic look when the answer is False. */

#include "ui/Canvas.h"
#include "ui/Types.h"

#include <functional>
#include <string>

/** The library handle and its six entries, bound once per process. This
 *  platform has no visual-styles library: the handle stays empty and so does
 *  every entry, and the grid always draws unthemed. */
struct TThemeLibrary {
  using HTHEME = void*;
  void* Handle = nullptr;
  std::function<HTHEME(void* Window, const std::string& ClassList)> OpenThemeData;
  std::function<long(HTHEME Theme)> CloseThemeData;
  std::function<long(HTHEME Theme, TCanvas* DC, int Part, int State, const TRect& Rect, const TRect* Clip)>
      DrawThemeBackground;
  std::function<long(HTHEME Theme, TCanvas* DC, int Part, int State, const TRect& Rect, unsigned Edge,
                     unsigned Flags, TRect* ContentRect)>
      DrawThemeEdge;
  std::function<bool()> IsThemeActive;
  std::function<bool()> IsAppThemed;
};

/** The process-wide binding. */
TThemeLibrary& ThemeLibrary();

/** True when the library is bound and both the application and the system
 *  are themed. A failure while asking raises Exception("Error in Themes"). */
bool ThemesAvailable();

/** Draws Part in State of ClassName ("header", "button", "combobox") into
 *  Rect, opening and closing the theme data around the one call. Without a
 *  bound library it draws nothing. */
void DrawThemed(void* Window, TCanvas* DC, const TRect& Rect, const std::string& ClassName, int Part, int State);
