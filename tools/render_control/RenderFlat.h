#pragma once
// render_control flat OUTDIR: every flat control in each of its states.

/** Writes OUTDIR/<control>-<state>.png for every flat control and state,
 *  and OUTDIR/sheet.png with all of them enlarged; returns the exit code. */
int RenderFlat(int argc, char** argv);
