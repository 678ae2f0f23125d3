#include "keyhelp.h"

#include "drawing.h"
#include "idle.h"
#include "main.h"
#include "window.h"

constexpr int kPageTitleY = 0;
constexpr int kPageListTop = 40;
constexpr int kPageLineGap = 12;
constexpr int kPageKeyX = 8;
constexpr int kPageTextX = 200;

const AddedKey kAddedKeys[] = {
   {"R + left drag", "fill a rectangle with the selected tile"},
   {"F + left click", "flood fill the joined cells of the same tile"},
   {"Middle button", "pick the tile of the cell (current layer)"},
   {"Shift + left drag", "select cells of all four layers"},
   {"Ctrl+C", "copy the selection"},
   {"Ctrl+X", "cut the selection (copy, then clear)"},
   {"Delete", "clear the selection"},
   {"Ctrl+V", "paste at the cell under the mouse (F3 too)"},
   {"Wheel", "scroll one row a notch"},
   {"Shift + wheel", "scroll one column a notch"},
   {"Click on the small map", "move the view there (F3 too)"},
   {"F7", "play the map from the cell under the mouse"},
   {"Ctrl+Z / Ctrl+Y", "undo / redo"},
   {"F2 (help screen)", "the list of these keys; F2 or ESC goes back"},
};
const int kAddedKeyCount = sizeof kAddedKeys / sizeof kAddedKeys[0];

void PrintAddedKeys(FILE *to)
{
   for (const AddedKey &k : kAddedKeys)
      fprintf(to, "  %-24s %s\n", k.keys, k.does);
}

void DrawKeysPage()
{
   textout_centre_ex(buffer, font, "Keys added to edit mode (F1)", kScreenW / 2, kPageTitleY, grey,
                     kTextBackground);
   int y = kPageListTop;
   for (const AddedKey &k : kAddedKeys) {
      textout_ex(buffer, font, k.keys, kPageKeyX, y, white, kTextBackground);
      textout_ex(buffer, font, k.does, kPageTextX, y, grey, kTextBackground);
      y += kPageLineGap;
   }
}

static bool PageKeyHeld()
{
   return key[KEY_F2] || key[KEY_ESC];
}

// Shows the page for as long as `keep` holds.
static void ShowWhile(bool (*keep)())
{
   while (keep() && !CloseRequested()) {
      DrawKeysPage();
      BlitToScreen();
      IdleRest();
   }
}

static bool F2Held()
{
   return key[KEY_F2];
}

static bool NoPageKey()
{
   return !PageKeyHeld();
}

void KeysPage()
{
   ShowWhile(F2Held);        // the press that opened the page
   ShowWhile(NoPageKey);
   ShowWhile(PageKeyHeld);   // the press that closes it must not open it again
}
