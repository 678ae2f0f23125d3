#ifndef PROGRAMNAME_H
#define PROGRAMNAME_H

// The names the programs go by: the run folder's `game` and `mapeditor`,
// the installed `kelwyrm` and `kelwyrm-editor`.

#include <string>

// The name a program was started as, for its usage lines and messages: the
// last part of `argv0`, without its folder or the system's program suffix
// (".exe" on Windows).
std::string ProgramName(const char *argv0);

// The name of the game the editor named `editor_name` (as ProgramName
// gives it) plays its maps in: an editor named NAME-editor goes with the
// game NAME (kelwyrm-editor with kelwyrm), any other (mapeditor) with the
// run folder's `game`.
std::string GameNameForEditor(const std::string &editor_name);

#endif
