#pragma once
/** Shared by the window tests of the grid: a shown, active form, a grid of
 *  text columns and rows on it, keys, clicks and the wheel, and a recording
 *  visual-styles library. */

#include "GuiTestApp.h"
#include "grid/ColumnClasses.h"
#include "grid/GridView.h"
#include "grid/ThemesSupport.h"
#include "ui/Forms.h"

#include <QApplication>
#include <QEvent>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace gridtest {

/** A form that is shown and active, so that its controls can take the focus. */
struct TShownForm : qftest::TShownForm {
  TShownForm() : qftest::TShownForm(600, 400) {}
};

/** A grid at (0, 0) of the form with text columns of the given widths and
 *  rows whose cells read "c,r"; the grid's client area is width x height. */
inline TGridView* MakeGrid(TWinControl* parent, const std::vector<int>& widths, int rows, int width = 300,
                           int height = 200) {
  auto* grid = new TGridView(parent);
  if (parent) grid->SetParent(parent);
  grid->SetBorderStyle(bsNone);
  for (int w : widths) grid->Columns().Add<TTextualColumn>()->SetWidth(w);
  grid->AddRow(rows);
  for (int c = 0; c < static_cast<int>(widths.size()); ++c)
    for (int r = 0; r < rows; ++r) {
      std::string text = std::to_string(c);  // appended, not concatenated: GCC 12 flags that at -O2
      text += ',';
      text += std::to_string(r);
      grid->SetCellText(c, r, text);
    }
  // The vertical bar is always there; its width comes on top of the client area.
  grid->SetClientSize(width, height);
  return grid;
}

/** A control beside the others on the form that can take the focus away from them. */
inline TCustomControl* FocusTaker(TWinControl* form) {
  auto* other = qftest::Place<TCustomControl>(form, 560, 0, 20, 20);
  other->SetTabStop(true);
  return other;
}

/** Sends a key press and its release to the widget with the keyboard focus. */
inline void Press(int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* w = QApplication::focusWidget();
  ASSERT_NE(w, nullptr) << "nothing has the focus";
  qftest::Key(w, key, text, mods);
  if (QWidget* now = QApplication::focusWidget()) qftest::Key(now, key, text, mods, QEvent::KeyRelease);
}

/** Types characters, each as a key of its own. */
inline void Type(const QString& text) {
  for (QChar ch : text) Press(ch.isLetter() ? Qt::Key_A + (ch.toUpper().unicode() - 'A') : 0, QString(ch));
}

/** A left click (press and release) at a client point of control. */
inline void Click(TControl* control, TPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier,
                  Qt::MouseButton button = Qt::LeftButton) {
  QWidget* w = control->ClientWidget();
  qftest::SendMouse(w, QEvent::MouseButtonPress, button, {at.X, at.Y}, mods);
  qftest::SendMouse(w, QEvent::MouseButtonRelease, button, {at.X, at.Y}, mods);
}

/** The wheel turned by delta (120 a notch) over a client point of control. */
inline void Wheel(TControl* control, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier, QPoint at = {5, 5}) {
  QWidget* w = control->ClientWidget();
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &e);
}

/** The centre of a cell (or of its input-row cell) in the grid's client coordinates. */
inline TPoint CellCentre(const TCustomGridViewControl& grid, int col, int row, TGridPart part = gpDataArea) {
  return grid.GetCellRect(col, row, part).CenterPoint();
}

/** The control takes the keyboard focus. */
inline void Focus(TWinControl* control) {
  control->SetFocus();
  ASSERT_TRUE(qftest::ProcessEventsUntil([&] { return control->Focused(); }));
}

/** Binds a visual-styles library for its lifetime that notes the theme data
 *  opened and closed, and each part drawn as "class part/state" with its
 *  rectangle. */
struct TThemeRecorder {
  TThemeRecorder() : FSaved(ThemeLibrary()) {
    TThemeLibrary& lib = ThemeLibrary();
    lib.Handle = &FHandle;
    lib.IsAppThemed = [] { return true; };
    lib.IsThemeActive = [] { return true; };
    lib.OpenThemeData = [this](void*, const std::string& cls) -> void* {
      FClass = cls;
      Calls.push_back("open " + cls);
      return &FHandle;
    };
    lib.DrawThemeBackground = [this](void*, TCanvas*, int part, int state, const TRect& r, const TRect* clip) -> long {
      const std::string what = FClass + " " + std::to_string(part) + "/" + std::to_string(state);
      Drawn.push_back({what + (clip ? " clipped" : ""), r});
      return 0;
    };
    lib.CloseThemeData = [this](void*) -> long {
      Calls.push_back("close");
      return 0;
    };
  }
  ~TThemeRecorder() { ThemeLibrary() = FSaved; }
  TThemeRecorder(const TThemeRecorder&) = delete;
  TThemeRecorder& operator=(const TThemeRecorder&) = delete;
  /** The parts drawn whose rectangle holds p. */
  std::vector<std::string> At(TPoint p) const {
    std::vector<std::string> parts;
    for (const auto& [part, r] : Drawn)
      if (r.Contains(p)) parts.push_back(part);
    return parts;
  }
  std::vector<std::string> Calls;
  std::vector<std::pair<std::string, TRect>> Drawn;

private:
  TThemeLibrary FSaved;
  int FHandle = 0;
  std::string FClass;
};

}  // namespace gridtest
