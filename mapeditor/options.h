#ifndef OPTIONS_H
#define OPTIONS_H

// The editor's command line, read once at start. With no argument it starts
// as always and edits map1.dat; a FILE named is edited instead.

#include <cstdio>

struct EditorOptions {
   const char *mapfile = nullptr;   // edit this map file; null: map1.dat
   bool help = false;      // print the usage and stop
   bool version = false;   // print the version and stop
   bool silent = false;    // F6 plays the map without sound
};

enum OptionsResult {
   OPTIONS_EDIT,      // go on and start the editor
   OPTIONS_HELP,      // --help: the usage goes to stdout, status 0
   OPTIONS_VERSION,   // --version: the version goes to stdout, status 0
   OPTIONS_BAD        // the usage goes to stderr, status 2
};

// Fills `out` from argv[1..argc-1]. On OPTIONS_BAD, `error` names the fault.
OptionsResult ParseEditorOptions(int argc, char **argv, EditorOptions *out, const char **error);

void PrintEditorUsage(FILE *to);
void PrintEditorVersion(FILE *to);

#endif
