#ifndef LEVELSRC_H
#define LEVELSRC_H

// The text form of a level map, kept in version control and reviewed as a
// diff. One file per level:
//
//   ; a comment line starts with ';'
//   [legend]          entries for every layer: a character, a tile value,
//   g 1 grass top     and a free note; they add to or replace the defaults
//   [legend 2]        entries for layer 2 only (they win over [legend])
//                     (a UTF-8 byte-order mark before the first line is skipped)
//   @ 1 enemy start
//   [layer 0] ground  a grid of up to 50 rows of up to 200 characters;
//   ....gggg          short rows and missing rows are empty (value 0),
//   ....####  ; note  a space is always empty, and ';' ends a row early
//
// Characters are UTF-8 code points, so a map holding thousands of different
// values still has a character for each. Columns in messages count
// characters from 1.

#include <string>

#include "mapfile.h"

struct LevelSourceError {
   int line = 0;
   int column = 0;
   std::string message;
};

// Turns the text of a level into a map. On failure returns false, fills
// `error` and leaves `out` as it was.
bool ParseLevelSource(const std::string &text, MapGrid out, LevelSourceError *error);

// Writes a map as level text that parses back to the same map. Values that no
// default character names get characters of their own, declared in the
// text's legend. The title becomes the first comment line, with any bytes
// that could not stand there escaped.
std::string FormatLevelSource(const MapGrid map, const std::string &title);

// The character the default legend gives `value` in `layer`, or 0 if none.
char DefaultLegendChar(int layer, unsigned short value);

#endif
