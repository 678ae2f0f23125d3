#include "options.h"

#include <cstring>

#include <allegro.h>

#include "history.h"
#include "keyhelp.h"
#include "mapfile.h"

// One entry per option, as in the game: its name, its line of usage and the
// flag it sets.
struct OptionEntry {
   const char *name;
   const char *help;
   bool EditorOptions::*flag;
};

static const OptionEntry kOptions[] = {
   {"--help", "print this help and stop", &EditorOptions::help},
   {"--version", "print the version and stop", &EditorOptions::version},
   {"--no-sound", "play the map with F6 without sound", &EditorOptions::silent},
};

// The reason for the last OPTIONS_BAD, with the argument it is about.
static char error_text[128];

OptionsResult ParseEditorOptions(int argc, char **argv, EditorOptions *out, const char **error)
{
   *error = error_text;
   for (int i = 1; i < argc; i++) {
      // Whatever is not an option is the map file ("./-x.dat" for an odd name).
      if (argv[i][0] != '-') {
         if (out->mapfile) {
            snprintf(error_text, sizeof error_text, "more than one map file: %s", argv[i]);
            return OPTIONS_BAD;
         }
         out->mapfile = argv[i];
         continue;
      }
      const OptionEntry *entry = nullptr;
      for (const OptionEntry &s : kOptions)
         if (strcmp(s.name, argv[i]) == 0)
            entry = &s;
      if (!entry) {
         snprintf(error_text, sizeof error_text, "unknown option: %s", argv[i]);
         return OPTIONS_BAD;
      }
      out->*(entry->flag) = true;
   }
   if (out->help)
      return OPTIONS_HELP;
   return out->version ? OPTIONS_VERSION : OPTIONS_EDIT;
}

void PrintEditorUsage(FILE *to, const char *name)
{
   fprintf(to, "Usage: %s [OPTION]... [FILE]\n"
               "Edits the map FILE, or map1.dat in the current folder: F1 edit,\n"
               "F3 enemies, F5 save, F8 load, F10 quit; F6 plays the map in the game,\n"
               "Ctrl+Z undoes and Ctrl+Y redoes. FILE is loaded at start when it\n"
               "exists, and F5 creates it when it does not. The newest %d steps are\n"
               "kept, fewer when together they changed more than %ld cells (a clear\n"
               "of a full map changes %d).\n"
               "\nOptions:\n", name, kMaxUndoSteps, kMaxUndoCells, kMapCells);
   for (const OptionEntry &entry : kOptions)
      fprintf(to, "  %-14s %s\n", entry.name, entry.help);
   fprintf(to, "\nKeys and buttons added to edit mode (F1), also shown by F2 on the help\n"
               "screen; with none of them held the editor works as it always has:\n");
   PrintAddedKeys(to);
}

void PrintEditorVersion(FILE *to)
{
   fprintf(to, "Kelwyrm %s, the map editor\n"
               "Built with Allegro %s\n", KELWYRM_VERSION, ALLEGRO_VERSION_STR);
}
