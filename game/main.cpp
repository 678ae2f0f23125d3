#include "main.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls.h"
#include "datafolder.h"
#include "programname.h"
#include "draw.h"
#include "gamesound.h"
#include "pause.h"
#include "platform.h"
#include "replay.h"
#include "saveload.h"
#include "settings.h"
#include "window.h"

// Every sample at full volume, centred, at ten times the stored rate.
constexpr int kSampleVolume = 255;
constexpr int kSamplePan = 128;
constexpr int kSampleFreq = 10000;
constexpr int kDigiVolume = 255;
constexpr int kMidiVolume = 128;

// Shot pixels take colour components below this bound.
constexpr int kShotColourRange = 255;


BITMAP *buffer = nullptr;
BITMAP *border = nullptr;
DATAFILE *tiles = nullptr;
DATAFILE *pal = nullptr;
DATAFILE *pwalk = nullptr;
DATAFILE *enemy = nullptr;
int tilecount = 0;
MIDI *song = nullptr;
SAMPLE *fires = nullptr;
SAMPLE *hit = nullptr;
SAMPLE *dies = nullptr;
SAMPLE *jumps = nullptr;
SAMPLE *congrats = nullptr;
SAMPLE *aou = nullptr;
SAMPLE *omgdied = nullptr;

const char *const level[kLevelCount] = {
   "map1.dat", "map2.dat", "map3.dat", "map4.dat", "map5.dat"
};
int currentlevel = 0;
int levelsfinished = 0;

GameOptions options;
int quitgame = 0;

MapGrid map = {};
int xoffset = 0;
int yoffset = 0;

Player Pl = {};
Enemy En = {};
Bullet bullet[kMaxShots] = {};
Bullet Ebullet[kMaxShots] = {};

[[noreturn]] static void Fail(const char *message)
{
   allegro_message("%s", message);
   allegro_exit();
   exit(1);
}

void CouldNotLoad(const char *name)
{
   allegro_message("Could not load %s", name);
   allegro_exit();
   exit(1);
}

static SAMPLE *LoadSample(const char *name)
{
   SAMPLE *s = load_wav(FindDataFile(name).c_str());
   if (!s)
      CouldNotLoad(name);
   return s;
}

// Number of leading bitmap objects: the pictures a datafile can supply.
static int CountBitmaps(const DATAFILE *d)
{
   int n = 0;
   while (d[n].type == DAT_BITMAP)
      n++;
   return n;
}

static DATAFILE *LoadDatafile(const char *name, int min_bitmaps)
{
   DATAFILE *d = load_datafile(FindDataFile(name).c_str());
   if (!d || CountBitmaps(d) < min_bitmaps)
      CouldNotLoad(name);
   return d;
}

// Music, samples, the frame buffer, pictures and the palette, in start-up
// order; any file missing or unusable ends the game before it is played.
void LoadAssets()
{
   // A silent game loads no sound at all: its samples stay null.
   if (!options.silent) {
      song = load_midi(FindDataFile("jingel.mid").c_str());
      if (!song)
         CouldNotLoad("jingel.mid");
      fires = LoadSample("fires.wav");
      hit = LoadSample("hit.wav");
      dies = LoadSample("dies.wav");
      jumps = LoadSample("jumps.wav");
      congrats = LoadSample("congrats.wav");
      aou = LoadSample("aou.wav");
      omgdied = LoadSample("omgdied.wav");
   }

   buffer = create_bitmap(kScreenW, kScreenH);
   clear_bitmap(buffer);
   border = load_bitmap(FindDataFile("border.bmp").c_str(), nullptr);
   if (!border)
      CouldNotLoad("border.bmp");

   tiles = LoadDatafile("tiles.dat", 1);
   tilecount = CountBitmaps(tiles);
   PrepareTiles();
   pal = load_datafile(FindDataFile("pal.dat").c_str());
   if (!pal || pal[0].type != DAT_PALETTE)
      CouldNotLoad("pal.dat");
   pwalk = LoadDatafile("pwalk.dat", kWalkFrames);
   enemy = LoadDatafile("enemy.dat", kEnemySprite + 1);

   set_palette(static_cast<RGB *>(pal[0].dat));
}

void InitAll()
{
   NameWindow();
   // Without a display Allegro cannot start, and its keyboard would then crash.
   if (allegro_init() != 0)
      Fail("Could not start Allegro: no display");
   KeepFileNamesAsGiven();
   install_keyboard();
   install_timer();
   InstallGamepad();
   if (!OpenWindow())
      Fail("Could not set GFX mode");
   if (!options.silent) {
      if (!StartGameSound())
         Fail("Sorry, cannot initilize sound");
   }
   LoadAssets();
   currentlevel = kFirstLevel;
}

void PlaySound(SAMPLE *sample)
{
   if (!sample)
      return;
   play_sample(sample, kSampleVolume, kSamplePan, kSampleFreq, 0);
}

int ViewCell(int layer, int px, int py)
{
   // Division truncates toward zero: pixels -31..31 lie in the first cell.
   return MapValueAt(map, layer, xoffset + px / kTileSize, yoffset + py / kTileSize);
}

// Takes the lowest free slot; the owner keeps its request when all ten fly.
bool LaunchShot(Bullet shots[], int ox, int oy, int direction, SAMPLE *sound)
{
   for (int i = 0; i < kMaxShots; i++) {
      if (shots[i].active)
         continue;
      if (sound)
         PlaySound(sound);
      shots[i].active = 1;
      shots[i].x = ox + kShotLaunchDX;
      shots[i].y = oy + kShotLaunchDY;
      shots[i].speed = direction == kRight ? kShotSpeed : -kShotSpeed;
      return true;
   }
   return false;
}

// Colour components come blue, green, red: twelve rand() calls per shot.
static int GlitterColour()
{
   int b = rand() % kShotColourRange;
   int g = rand() % kShotColourRange;
   int r = rand() % kShotColourRange;
   return makecol(r, g, b);
}

// Draws each shot where it stands, then moves it; off the view's width it is gone.
void FlyShots(Bullet shots[])
{
   for (int i = 0; i < kMaxShots; i++) {
      Bullet &s = shots[i];
      if (!s.active)
         continue;
      putpixel(buffer, s.x, s.y, GlitterColour());
      putpixel(buffer, s.x + 1, s.y, GlitterColour());
      putpixel(buffer, s.x, s.y + 1, GlitterColour());
      putpixel(buffer, s.x + 1, s.y + 1, GlitterColour());
      s.x += s.speed;
      if (s.x > kViewWidthPx)
         s.active = 0;
      if (s.x < 0)
         s.active = 0;
   }
}

// Only the right half of a body is vulnerable.
bool ShotHits(const Bullet &shot, int bx, int by)
{
   return shot.x > bx + kBodyW / 2 && shot.x < bx + kBodyW &&
          shot.y > by && shot.y < by + kBodyH;
}

void FreeShots(Bullet shots[])
{
   for (int i = 0; i < kMaxShots; i++)
      shots[i].active = 0;
}

const char *LevelFile()
{
   return options.mapfile ? options.mapfile : level[currentlevel];
}

void StartPlay()
{
   LoadMap(LevelFile());
   InitPlayer();
   if (options.start)
      PlaceAtStart(options.startcol, options.startrow);
}

void StartLevelOrder()
{
   currentlevel = kFirstLevel;
   levelsfinished = 0;
   xoffset = yoffset = 0;
   LoadMap(level[currentlevel]);
   Pl.Init();
   En = Enemy{};
   FreeShots(Ebullet);
}

// One frame, drawn bottom to top: border strip, tiles, player, enemy.
void GamePass()
{
   blit(border, buffer, 0, 0, 0, kViewHeightPx, kScreenW, kBorderHeight);
   DrawToBuffer();
   UpdatePlayer();
   UpdateEnemy();
   DrawAll();
}

// One line and status 2, as for a replay that cannot be used; a recording
// that never began is not written.
static void RefuseBadStart(const char *name)
{
   std::string why = StartRefusal(options.startcol, options.startrow);
   if (why.empty())
      return;
   DropRecording();
   allegro_exit();
   fprintf(stderr, "%s: cannot start at %d,%d: %s\n", name, options.startcol, options.startrow,
           why.c_str());
   exit(2);
}

int main(int argc, char **argv)
{
   // The settings file gives the defaults; the command line wins.
   ReadSettings(SettingsFile().c_str(), &options, stderr);
   const char *error = nullptr;
   std::string name = ProgramName(argv[0]);
   switch (ParseGameOptions(argc, argv, &options, &error)) {
   case OPTIONS_HELP:
      PrintGameUsage(stdout, name.c_str());
      return 0;
   case OPTIONS_VERSION:
      PrintGameVersion(stdout);
      return 0;
   case OPTIONS_BAD:
      fprintf(stderr, "%s: %s\n", name.c_str(), error);
      PrintGameUsage(stderr, name.c_str());
      return 2;
   case OPTIONS_PLAY:
      break;
   }

   // A cell outside the map is refused before the window opens; ground in
   // the way only once the map is loaded (the map is still empty here).
   if (options.start)
      RefuseBadStart(name.c_str());

   // A replay is checked against its maps before any of them is loaded.
   if (options.replay)
      StartReplay(options.replay, options.mapfile);
   else if (options.demo)
      StartDemo(kDemoReplay);
   else if (options.record)
      StartRecording(options.record, options.mapfile);

   InitAll();
   InstallCloseButton();
   StartPlay();
   if (options.start)
      RefuseBadStart(name.c_str());
   if (!options.silent) {
      play_midi(song, TRUE);
      set_volume(kDigiVolume, kMidiVolume);
   }

   long passes = 0;
   for (;;) {
      UpdateControls(false);
      if (!PauseWhenAsked())
         break;
      ReplayPassStart();
      if (key[KEY_ESC] || quitgame || CloseRequested() || ReplayRunOut())
         break;
      GamePass();
      ReplayPassEnd();
      if (options.frames > 0 && ++passes >= options.frames)
         break;
      if (!options.fast)
         rest(kFrameRestMs);
   }

   bool kept = EndReplay();
   allegro_exit();
   exit(kept ? 0 : 1);
}
END_OF_MAIN()
