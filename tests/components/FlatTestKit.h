#pragma once
/** What the flat control tests share: moving the mouse for real (the cursor
 *  goes there and the control gets the move), clicks, pictures, and running
 *  the render tool. */

#include "GuiTestApp.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

#include <QImage>
#include <QStringList>

namespace flattest {

/** The cursor to (x, y) of c's client area, then a move event there. */
void MoveMouse(TControl* c, int x, int y, Qt::MouseButton held = Qt::NoButton);
/** The cursor somewhere no control of the form is (the form's far corner). */
void MoveAway(TForm& form);
/** The mouse comes over c's window, or leaves it (CM_MOUSEENTER / CM_MOUSELEAVE). */
inline void Enter(TControl* c) { qftest::Hover(c->Handle(), true); }
inline void Leave(TControl* c) { qftest::Hover(c->Handle(), false); }
void Press(TControl* c, int x, int y, Qt::MouseButton button = Qt::LeftButton);
void Release(TControl* c, int x, int y, Qt::MouseButton button = Qt::LeftButton);
/** Move, press and release at (x, y). */
void Click(TControl* c, int x, int y);
/** The control's client area as it paints it now (graphic or custom control). */
QImage Painted(TControl* c);
/** The whole window of a windowed control as it is on screen, frame included. */
QImage Shot(TWinControl* c);
/** Runs a tool of the build (render_control, flat_gallery); its exit code,
 *  or -1 when it did not end by itself. */
int RunTool(const QStringList& args, const char* tool = "render_control");

}  // namespace flattest
