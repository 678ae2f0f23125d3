#ifndef PROGRAMNAME_H
#define PROGRAMNAME_H

// The names the programs go by: the run folder's `game` and `mapeditor`,
// the installed `kelwyrm` and `kelwyrm-editor`.

#include <string>

// The name a program was started as, for its usage lines and messages: the
// last part of `argv0`, without its folder or an ".exe".
std::string ProgramName(const char *argv0);

// The game the editor at `editor_path` plays its maps in: the file beside
// it named after the editor. An editor named NAME-editor goes with the game
// NAME (kelwyrm-editor with kelwyrm), any other (mapeditor) with `game`;
// an editor file ending in ".exe" gives a game file ending in ".exe".
std::string GameBesideEditor(const std::string &editor_path);

#endif
