#ifndef ICONS_H
#define ICONS_H

// The programs' icons: PNG pictures in the freedesktop icon theme layout for
// menus and docks, and an XPM of each for the window itself, compiled into
// the program.

#include <allegro.h>

#include <string>

// The sizes a desktop picks from, in pixels square.
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};
constexpr int kWindowIconSize = 32;

// Writes DIR/hicolor/<s>x<s>/apps/kelwyrm.png and kelwyrm-editor.png for
// every size, and DIR/kelwyrm.xpm and DIR/kelwyrm-editor.xpm.
bool WriteIcons(const std::string &dir, const RGB *pal);

#endif
