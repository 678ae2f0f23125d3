#ifndef KEYHELP_H
#define KEYHELP_H

// The keys and buttons added to the editor, in one list that the help
// screen's second page (F2) and --help both show.

#include <cstdio>

struct AddedKey {
   const char *keys;
   const char *does;
};

extern const AddedKey kAddedKeys[];
extern const int kAddedKeyCount;

// Prints the list, one key a line, for --help.
void PrintAddedKeys(FILE *to);

// Draws the second help page into buffer.
void DrawKeysPage();

// F2 on the help screen: shows the second page until F2 or Escape is
// pressed again, and comes back once that key is released.
void KeysPage();

#endif
