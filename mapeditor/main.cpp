#include "main.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "datafolder.h"
#include "drawing.h"
#include "edit.h"
#include "enemy.h"
#include "history.h"
#include "idle.h"
#include "keyhelp.h"
#include "options.h"
#include "overview.h"
#include "platform.h"
#include "playtest.h"
#include "programname.h"
#include "saveload.h"
#include "window.h"

static const char kPalFile[] = "pal.dat";
static const char kTilesFile[] = "tiles.dat";
static const char kEnemyFile[] = "enemy.dat";

constexpr int kHelpCentreX = kScreenW / 2;
constexpr int kHelpLineGap = 10;
constexpr int kHelpBodyTop = 100;

int tile = 0;
int xoffset = 0;
int yoffset = 0;
int layer = kGroundLayer;

BITMAP *buffer = nullptr;
DATAFILE *tiles = nullptr;
DATAFILE *enemy = nullptr;
DATAFILE *Pal = nullptr;
int tilecount = 0;
int enemycount = 0;

MapGrid map = {};
const char *mapfile = kEditorMapFile;

volatile int counter = 0;
volatile int fps = 0;

int grey = 0;
int red = 0;
int white = 0;

int nosound = 0;

static const char *const kHelpTitle[] = {
   "Welcome to the",
   "Kelwyrm - The Sidescrolling adventure",
   "Map Editor",
};

static const char *const kHelpBody[] = {
   "I designed this mapeditor to be easy to use, I find it easy ;)",
   "You enter Edit Mode by pressing F1",
   "You go back to this screen by Pressing ESC",
   "In edit mode, just click on the tile you wish to draw",
   "and place it in the appropriate spot above.",
   "If you press C the whole map will be Cleared, no questions asked",
   "To save your map, go back to this screen (ESC) ",
   "Press F5 to save",
   "Press F8 to load",
   "Press F10 to exit the program",
   "Use Arrow keys to scroll map",
};

// Start-up cannot go on without its window or its pictures: say why and stop.
static void StartupFailure(const char *what, const char *detail)
{
   allegro_message("%s%s", what, detail);
   allegro_exit();
   exit(1);
}

static int CountObjects(const DATAFILE *d)
{
   int n = 0;
   while (d[n].type != DAT_END)
      n++;
   return n;
}

static DATAFILE *LoadDatafile(const char *name, int *count)
{
   DATAFILE *d = load_datafile(FindDataFile(name).c_str());
   if (!d)
      StartupFailure("Could not load ", name);
   *count = CountObjects(d);
   return d;
}

void LoadAssets()
{
   buffer = create_bitmap(kScreenW, kScreenH);
   if (!buffer)
      StartupFailure("Could not make the drawing buffer", "");
   int palcount = 0;
   Pal = LoadDatafile(kPalFile, &palcount);
   tiles = LoadDatafile(kTilesFile, &tilecount);
   enemy = LoadDatafile(kEnemyFile, &enemycount);
   if (palcount < 1 || Pal[0].type != DAT_PALETTE)
      StartupFailure("No palette in ", kPalFile);
   PrepareObjects(tiles, tilecount);
   PrepareObjects(enemy, enemycount);
   clear_bitmap(buffer);
   set_palette((RGB *)Pal[0].dat);
   grey = makecol(128, 128, 128);
   red = makecol(255, 0, 0);
   white = makecol(255, 255, 255);
   PrepareOverview();
}

void InitAll()
{
   NameWindow();
   // Without a display Allegro cannot start, and its keyboard would crash.
   if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0)
      StartupFailure("Could not start Allegro: ", allegro_error[0] ? allegro_error : "no display");
   KeepFileNamesAsGiven();
   if (install_keyboard() != 0 || install_timer() != 0 || install_mouse() < 0)
      StartupFailure("Could not set up the keyboard, timer and mouse: ", allegro_error);
   if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, kScreenW, kScreenH, 0, 0) != 0)
      StartupFailure("Could not open the editor's window: ", allegro_error);
   LoadAssets();
   show_mouse(screen);
   set_mouse_sprite(NULL);
   ClearMap();
}

void Text()
{
   int y = 0;
   for (const char *line : kHelpTitle) {
      textout_centre_ex(buffer, font, line, kHelpCentreX, y, grey, kTextBackground);
      y += kHelpLineGap;
   }
   y = kHelpBodyTop;
   for (const char *line : kHelpBody) {
      textout_ex(buffer, font, line, 0, y, grey, kTextBackground);
      y += kHelpLineGap;
   }
}

void HelpPass()
{
   if (key[KEY_F1])
      EditMode();
   if (key[KEY_F3])
      EditEnemy();
   if (key[KEY_F5])
      SaveMap();
   if (key[KEY_F8])
      RecordStep(LoadMap);
   if (key[KEY_F6])
      PlayTest();
   if (key[KEY_F2])
      KeysPage();
   Text();
   BlitToScreen();
}

int main(int argc, char **argv)
{
   EditorOptions options;
   const char *error = nullptr;
   std::string name = ProgramName(argv[0]);
   switch (ParseEditorOptions(argc, argv, &options, &error)) {
   case OPTIONS_HELP:
      PrintEditorUsage(stdout, name.c_str());
      return 0;
   case OPTIONS_VERSION:
      PrintEditorVersion(stdout);
      return 0;
   case OPTIONS_BAD:
      fprintf(stderr, "%s: %s\n", name.c_str(), error);
      PrintEditorUsage(stderr, name.c_str());
      return 2;
   case OPTIONS_EDIT:
      break;
   }
   nosound = options.silent;

   if (options.mapfile)
      mapfile = options.mapfile;
   InitAll();
   InstallCloseButton();
   if (options.mapfile) {
      TitleWindow(mapfile);
      LoadNamedMapAtStart();
   }
   while (!key[KEY_F10] && !CloseRequested()) {
      HelpPass();
      IdleRest();
   }
   allegro_exit();
   return 0;
}
END_OF_MAIN()
