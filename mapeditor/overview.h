#ifndef OVERVIEW_H
#define OVERVIEW_H

// The whole map at a glance, one pixel per cell, in the empty part of the
// edit and enemy placement screens, with the view framed; a click on it
// moves the view there.

constexpr int kOverviewX = 340;
constexpr int kOverviewY = 200;

// The game's level exit on the ITEM/EXIT layer.
constexpr int kExitValue = 49;

// The cell clicked goes to the view's centre: this many cells right of and
// below its top-left.
constexpr int kOverviewCentreCol = 5;
constexpr int kOverviewCentreRow = 3;

// Finds each tile's colour (its picture's average, as the nearest palette
// colour) once tiles.dat and the palette are loaded.
void PrepareOverview();

// The colour a cell takes: that of its top-most non-empty layer (the exit,
// an item, an enemy start, ground, background); 0 when all are empty.
int OverviewColour(int col, int row);

// Draws the overview and the view's frame into buffer.
void DrawOverview();

// A left click or drag on the overview moves the view.
void OverviewMouse();

#endif
