#ifndef SHEET_H
#define SHEET_H

// A contact sheet of every generated picture, for people to look at: the
// tiles with their values, the sprites, the border strip, the palette and a
// small made-up scene showing them together as the game would.

#include <allegro.h>

#include <string>
#include <vector>

struct SheetArt {
   std::vector<BITMAP *> tiles;
   std::vector<BITMAP *> walk;
   std::vector<BITMAP *> enemy;
   BITMAP *border;
};

constexpr int kSheetScale = 2;

// Writes the sheet as a PNG scaled up kSheetScale times.
bool WriteContactSheet(const std::string &path, const SheetArt &art, const RGB *pal);

#endif
