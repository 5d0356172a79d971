#pragma once
// render_control's pictures of the menu painter, the page control and the gradient label.

/** Whether kind names one of these pictures. */
bool IsPaintedKind(const char* kind);
/** Renders the picture argv asks for; the exit code. */
int RenderPainted(int argc, char** argv);
