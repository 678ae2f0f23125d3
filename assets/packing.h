#ifndef PACKING_H
#define PACKING_H

// Turns painted bitmaps into the files the programs load: BMPs written by
// Allegro, packed into datafiles by Allegro's own `dat` tool, and the MIDI
// patch set built by `pat2dat`.

#include <allegro.h>

#include <string>
#include <vector>

// External tools and the folders they work in.
struct PackTools {
   std::string dat;         // Allegro's datafile tool
   std::string pat2dat;     // Allegro's patch set tool
   std::string soundfont;   // General MIDI sound font the patches come from
   std::string faketime;    // runs a tool at a fixed time of day
   std::string work_dir;    // intermediate BMPs and the tools' output log
};

// Saves each bitmap as `<work_dir>/<stem>NN.bmp` and returns the paths.
std::vector<std::string> SaveNumbered(const PackTools &tools, const std::string &stem,
                                      const std::vector<BITMAP *> &bitmaps, const RGB *pal);

// Builds a datafile of bitmaps in the given order, object i = files[i].
bool PackBitmaps(const PackTools &tools, const std::string &out, const std::vector<std::string> &files);

// Builds a datafile whose only object is the palette of `bmp_file`, with the
// unused fourth byte of every entry 0.
bool PackPalette(const PackTools &tools, const std::string &out, const std::string &bmp_file);

// Builds the patch set holding the instruments `midi_file` uses. The date
// the set records is SOURCE_DATE_EPOCH when set, else the sound font's date.
bool PackPatches(const PackTools &tools, const std::string &out, const std::string &midi_file);

#endif
