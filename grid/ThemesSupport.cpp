#include "grid/ThemesSupport.h"

#include "core/Exception.h"

TThemeLibrary& ThemeLibrary() {
  // Bound on first use and never released. There is no uxtheme.dll to load
  // here, so every entry stays empty.
  static TThemeLibrary library;
  return library;
}

bool ThemesAvailable() {
  const TThemeLibrary& lib = ThemeLibrary();
  try {
    return lib.Handle != nullptr && lib.IsAppThemed && lib.IsThemeActive && lib.IsAppThemed() && lib.IsThemeActive();
  } catch (...) {
    throw Exception("Error in Themes");
  }
}

void DrawThemed(void* Window, TCanvas* DC, const TRect& Rect, const std::string& ClassName, int Part, int State) {
  const TThemeLibrary& lib = ThemeLibrary();
  if (!lib.Handle || !lib.OpenThemeData || !lib.DrawThemeBackground || !lib.CloseThemeData) return;
  // Theme data is opened for each call and never kept.
  TThemeLibrary::HTHEME theme = lib.OpenThemeData(Window, ClassName);
  if (!theme) return;
  struct TClose {
    const TThemeLibrary& Lib;
    TThemeLibrary::HTHEME Theme;
    ~TClose() { Lib.CloseThemeData(Theme); }
  } close{lib, theme};
  lib.DrawThemeBackground(theme, DC, Part, State, Rect, nullptr);
}
