#ifndef TILESHEET_H
#define TILESHEET_H

// The picture sheets of the Tiled tilesets, drawn from a datafile's
// pictures: object 1 on, as value 0 is the empty cell and has no tile.

#include <allegro.h>

#include <string>

// Columns for a sheet of `count` pictures: the widest row of at most ten
// that fills the sheet exactly, as Tiled counts every cell of a sheet as a
// tile, blank or not.
int SheetColumns(int count);

// Writes objects 1 to `count` of `data` as a PNG sheet of 32 x 32 tiles,
// `columns` to a row, in the colours of `pal` with the mask colour
// transparent. The file appears only once it is written in full.
bool WriteTileSheet(const std::string &filename, const DATAFILE *data, const RGB *pal, int count, int columns);

#endif
