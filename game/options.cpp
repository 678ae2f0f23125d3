#include "options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include <allegro.h>

#include "settings.h"

// One entry per option: its name, the name of its value (null: none), its
// line of usage, and what it sets. A new option is one more entry here.
struct OptionEntry {
   const char *name;
   const char *value;
   const char *help;
   bool (*apply)(GameOptions *o, const char *value);
};

static bool SetHelp(GameOptions *o, const char *)
{
   o->help = true;
   return true;
}

static bool SetFast(GameOptions *o, const char *)
{
   o->fast = true;
   return true;
}

static bool SetFrames(GameOptions *o, const char *value)
{
   char *end = nullptr;
   errno = 0;
   long n = strtol(value, &end, 10);
   if (errno != 0 || end == value || *end != '\0' || n < 1)
      return false;
   o->frames = n;
   return true;
}

static bool SetRecord(GameOptions *o, const char *value)
{
   o->record = value;
   return true;
}

static bool SetReplay(GameOptions *o, const char *value)
{
   o->replay = value;
   return true;
}

static bool SetDemo(GameOptions *o, const char *)
{
   o->demo = true;
   return true;
}

static bool SetVersion(GameOptions *o, const char *)
{
   o->version = true;
   return true;
}

static bool SetScale(GameOptions *o, const char *value)
{
   if (value[0] < '1' || value[0] > '0' + kMaxScale || value[1] != '\0')
      return false;
   o->scale = value[0] - '0';
   return true;
}

static bool SetFullscreen(GameOptions *o, const char *)
{
   o->fullscreen = true;
   return true;
}

static bool SetSilent(GameOptions *o, const char *)
{
   o->silent = true;
   return true;
}

// "COL,ROW": two whole numbers; whether the cell lies in the map is judged
// once the map is known, with its own message.
static bool SetStart(GameOptions *o, const char *value)
{
   char *end = nullptr;
   errno = 0;
   long col = strtol(value, &end, 10);
   if (errno != 0 || end == value || *end != ',' || col < INT_MIN || col > INT_MAX)
      return false;
   const char *second = end + 1;
   long row = strtol(second, &end, 10);
   if (errno != 0 || end == second || *end != '\0' || row < INT_MIN || row > INT_MAX)
      return false;
   o->start = true;
   o->startcol = (int)col;
   o->startrow = (int)row;
   return true;
}

// These two undo what the settings file may have chosen.
static bool SetWindowed(GameOptions *o, const char *)
{
   o->fullscreen = false;
   return true;
}

static bool SetSound(GameOptions *o, const char *)
{
   o->silent = false;
   return true;
}

static const OptionEntry kOptions[] = {
   {"--help", nullptr, "print this help and stop", SetHelp},
   {"--fast", nullptr, "no rest between frames: run as fast as the machine can", SetFast},
   {"--frames", "N", "end with status 0 after N frames", SetFrames},
   {"--record", "FILE", "write the keys of every frame to FILE", SetRecord},
   {"--replay", "FILE", "play the keys recorded in FILE; Escape ends it", SetReplay},
   {"--demo", nullptr, "show the levels played through; Escape ends it", SetDemo},
   {"--version", nullptr, "print the version and stop", SetVersion},
   {"--scale", "N", "a window N times 320 x 240 (N from 1 to 4)", SetScale},
   {"--fullscreen", nullptr, "fill the screen at the largest whole scale", SetFullscreen},
   {"--no-sound", nullptr, "play without sound: for machines with no sound device", SetSilent},
   {"--windowed", nullptr, "a window, though the settings file asks for the full screen", SetWindowed},
   {"--sound", nullptr, "play with sound, though the settings file says no", SetSound},
   {"--start", "COL,ROW", "start with the player's top-left corner at map cell COL,ROW", SetStart},
};

static const char *const kKeys[] = {
   "Left, Right  walk        gamepad: left stick or d-pad",
   "Space        jump        gamepad: button 0 (A)",
   "left Ctrl    fire        gamepad: button 2 (X)",
   "P            pause, and go on again      gamepad: Start (button 7)",
   "F1           go on after a level or a death      gamepad: Start",
   "Print Screen save screenshot.bmp",
   "Escape       quit",
};

// The reason for the last OPTIONS_BAD, with the argument it is about.
static char error_text[128];

static OptionsResult Bad(const char *why, const char *arg)
{
   snprintf(error_text, sizeof error_text, "%s: %s", why, arg);
   return OPTIONS_BAD;
}

static const OptionEntry *FindOption(const char *name)
{
   for (const OptionEntry &entry : kOptions)
      if (strcmp(entry.name, name) == 0)
         return &entry;
   return nullptr;
}

OptionsResult ParseGameOptions(int argc, char **argv, GameOptions *out, const char **error)
{
   *error = error_text;
   for (int i = 1; i < argc; i++) {
      const char *arg = argv[i];
      // Whatever is not an option is the map file ("./-x.dat" for an odd name).
      if (arg[0] != '-') {
         if (out->mapfile)
            return Bad("more than one map file", arg);
         out->mapfile = arg;
         continue;
      }
      const OptionEntry *entry = FindOption(arg);
      if (!entry)
         return Bad("unknown option", arg);
      const char *value = nullptr;
      if (entry->value) {
         if (i + 1 >= argc)
            return Bad("missing value for", arg);
         value = argv[++i];
      }
      if (!entry->apply(out, value))
         return Bad("bad value for", arg);
   }
   if ((out->record != nullptr) + (out->replay != nullptr) + out->demo > 1)
      return Bad("only one of these at a time", "--record, --replay, --demo");
   // A replay starts where it was recorded; the demo where the levels begin.
   if (out->start && (out->replay || out->demo))
      return Bad("a replay starts where it was recorded, so not with", "--start");
   if (out->demo && out->mapfile)
      return Bad("the demo plays the shipped levels, not", out->mapfile);
   if (out->help)
      return OPTIONS_HELP;
   return out->version ? OPTIONS_VERSION : OPTIONS_PLAY;
}

void PrintGameUsage(FILE *to, const char *name)
{
   fprintf(to, "Usage: %s [OPTION]... [FILE]\n"
               "Plays the levels map2.dat to map5.dat in turn, or the map FILE alone.\n"
               "Data are read from the current folder, else the program's folder,\n"
               "else the installed data folder.\n\nOptions:\n", name);
   for (const OptionEntry &entry : kOptions) {
      char left[32];
      snprintf(left, sizeof left, "%s%s%s", entry.name, entry.value ? " " : "",
               entry.value ? entry.value : "");
      fprintf(to, "  %-15s %s\n", left, entry.help);
   }
   fprintf(to, "\nKeys:\n");
   for (const char *line : kKeys)
      fprintf(to, "  %s\n", line);
   std::string settings = SettingsFile();
   fprintf(to, "\nThe settings file %s (Allegro's configuration format)\n"
               "can choose other keys for walking, jumping, firing and pausing, the\n"
               "gamepad's buttons, and the defaults of --scale, --fullscreen and\n"
               "--no-sound; the command line wins. The README shows an example.\n",
           settings.empty() ? "kelwyrm/kelwyrm.cfg in the settings folder" : settings.c_str());
}

void PrintGameVersion(FILE *to)
{
   fprintf(to, "Kelwyrm %s, the side-scrolling platform game\n"
               "Built with Allegro %s\n", KELWYRM_VERSION, ALLEGRO_VERSION_STR);
}
