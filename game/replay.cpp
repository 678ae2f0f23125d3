#include "replay.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "closebutton.h"
#include "controls.h"
#include "datafolder.h"
#include "main.h"
#include "platform.h"
#include "safefile.h"

static const int kGameKeys[kReplayKeyBits] = {KEY_RIGHT, KEY_LEFT, KEY_SPACE, KEY_LCONTROL, KEY_F1};

// The demo holds each death or level-complete screen this long.
constexpr auto kDemoScreenTime = std::chrono::seconds(2);
constexpr int kDemoTextX = kScreenW - 40;
constexpr int kDemoTextY = 6;                  // inside the border strip

enum Mode { MODE_OFF, MODE_RECORD, MODE_PLAY };

static Mode mode = MODE_OFF;
static bool demo = false;
static bool started = false;                   // the first pass has begun
static std::string recordfile;
static std::string singlemap;                  // as given; empty for the level order
static Replay replay;
static size_t nextpass = 0;
static unsigned char passkeys = 0;
static std::string passmap;                    // the map the pass began on
static int passlevels = 0;                     // levelsfinished when it began
static int passesinmap = 0;

static bool inpass = false;
static bool f1seen = false;                    // recording: F1 down during a screen's wait
static bool escseen = false;                   // replay: Escape down during a screen's wait
static std::chrono::steady_clock::time_point passbegan;

// The map the game plays now, named as the player gave it.
static std::string CurrentMap()
{
   return singlemap.empty() ? level[currentlevel] : singlemap;
}

// Where LoadMap reads a map: the player's own file as given, a level of the
// level order from the game's data folders.
static std::string MapPath(const std::string &name, bool single)
{
   return single ? name : FindDataFile(name.c_str());
}

std::string CheckReplayMaps(const Replay &r, const char *single_map)
{
   if (single_map && r.maps.size() != 1)
      return std::string("it plays ") + std::to_string(r.maps.size()) + " maps, not " +
             single_map + " alone";
   for (size_t i = 0; i < r.maps.size(); i++) {
      std::string path = single_map ? single_map
                                     : level[std::min<size_t>(kFirstLevel + i, kLastLevel)];
      if (FileNameOf(path) != r.maps[i].name)
         return "it was recorded on " + r.maps[i].name + ", not on " + path;
      unsigned long crc;
      if (!FileChecksum(MapPath(path, single_map != nullptr).c_str(), crc))
         return "cannot read the map " + path;
      if (crc != r.maps[i].crc)
         return "the map " + path + " has changed since it was recorded";
   }
   return "";
}

static bool WriteRecording()
{
   if (WriteReplayFile(recordfile.c_str(), replay))
      return true;
   fprintf(stderr, "game: could not write the recording %s: %s\n", recordfile.c_str(),
           WriteFailureReason().c_str());
   return false;
}

// Why `file` cannot be written where it is asked for, or "": a missing or
// read-only folder found now saves the player a session that cannot be kept.
// The checks are the writer's own, on the file a link leads to.
static std::string CannotWrite(const char *file)
{
   std::string target;
   FileKeep keep;
   struct stat st;
   if (!ResolveFileLinks(file, target))
      return "its symbolic links cannot be followed";
   if (stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      return "it is a folder";
   if (!InspectTarget(target, keep))
      return keep.regular ? "it is read-only" : "it is not a regular file";
   std::string folder = FolderOf(target);
   if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      return "the folder " + folder + " does not exist";
   if (access(folder.c_str(), W_OK) != 0)
      return "the folder " + folder + " cannot be written";
   return "";
}

static void ReportFinished()
{
   if (levelsfinished == passlevels)
      return;
   printf("finished %s at pass %d\n", passmap.c_str(), passesinmap);
   fflush(stdout);
   passlevels = levelsfinished;
   passesinmap = 0;
}

// A level-complete screen can end the game inside its pass (a single map
// ends there): that pass counts. Any other end comes between passes.
static void AtExit()
{
   if (started && levelsfinished != passlevels) {
      if (mode == MODE_RECORD)
         replay.passes.push_back(passkeys | (f1seen ? kReplayF1 : 0));
      if (mode == MODE_PLAY) {
         passesinmap++;
         ReportFinished();
      }
   }
   EndReplay();
}

static void StartMode(Mode m, const char *single_map)
{
   static bool registered = false;
   if (!registered)
      atexit(AtExit);
   registered = true;
   mode = m;
   demo = false;
   started = false;
   singlemap = single_map ? single_map : "";
   nextpass = 0;
   passesinmap = 0;
}

void StartRecording(const char *file, const char *single_map)
{
   std::string why = CannotWrite(file);
   if (!why.empty()) {
      fprintf(stderr, "game: cannot record to %s: %s\n", file, why.c_str());
      exit(2);
   }
   StartMode(MODE_RECORD, single_map);
   recordfile = file;
   replay = Replay{};
   replay.start = options.start;
   replay.startcol = options.startcol;
   replay.startrow = options.startrow;
}

void DropRecording()
{
   if (mode == MODE_RECORD)
      mode = MODE_OFF;
}

bool EndReplay()
{
   bool kept = mode != MODE_RECORD || WriteRecording();
   mode = MODE_OFF;
   started = false;
   return kept;
}

static void Refuse(const char *file, const std::string &why)
{
   fprintf(stderr, "game: cannot replay %s: %s\n", file, why.c_str());
   exit(2);
}

void StartReplay(const char *file, const char *single_map)
{
   std::string error = ReadReplayFile(file, replay);
   if (error.empty())
      error = CheckReplayMaps(replay, single_map);
   if (!error.empty())
      Refuse(file, error);
   StartMode(MODE_PLAY, single_map);
   if (replay.start) {
      options.start = true;
      options.startcol = replay.startcol;
      options.startrow = replay.startrow;
   }
}

void StartDemo(const char *file)
{
   StartReplay(FindDataFile(file).c_str(), nullptr);
   demo = true;
}

// Once the assets are loaded: the demo marks the border strip.
static void FirstPass()
{
   started = true;
   if (demo && border)
      textout_ex(border, font, "DEMO", kDemoTextX, kDemoTextY, makecol(255, 255, 255), -1);
   passlevels = levelsfinished;
}

static unsigned char ReadKeys()
{
   unsigned char keys = 0;
   for (int i = 0; i < kReplayKeyBits; i++)
      if (key[kGameKeys[i]])
         keys |= 1 << i;
   return keys;
}

static void WriteKeys(unsigned char keys)
{
   for (int i = 0; i < kReplayKeyBits; i++)
      key[kGameKeys[i]] = (keys & (1 << i)) ? -1 : 0;
   key[KEY_PRTSCR] = 0;
}

void ReplayPassStart()
{
   if (mode == MODE_OFF)
      return;
   if (!started)
      FirstPass();
   // Polling freezes key[] for the pass: what is recorded is what the pass
   // reads, and a replay's keys stay as written.
   PollControls(false);
   passmap = CurrentMap();
   inpass = true;
   passbegan = std::chrono::steady_clock::now();
   if (mode == MODE_RECORD) {
      f1seen = false;
      passkeys = ReadKeys();
      unsigned long crc;
      std::string name = FileNameOf(passmap);
      if ((replay.maps.empty() || replay.maps.back().name != name) &&
          FileChecksum(MapPath(passmap, !singlemap.empty()).c_str(), crc))
         replay.maps.push_back({name, crc});
      return;
   }
   if (escseen)
      key[KEY_ESC] = -1;
   passkeys = nextpass < replay.passes.size() ? replay.passes[nextpass] : 0;
   WriteKeys(demo ? passkeys & ~kReplayF1 : passkeys);
}

void ReplayScreenWait()
{
   if (mode == MODE_OFF || !inpass)
      return;
   PollControls(true);
   if (mode == MODE_RECORD) {
      // A close ends the wait as F1 would, and the recording ends after this
      // pass: kept as F1, the replay leaves the screen and runs out there too.
      f1seen = f1seen || key[KEY_F1] || CloseRequested();
      return;
   }
   escseen = escseen || key[KEY_ESC];
   bool shown = !demo || std::chrono::steady_clock::now() - passbegan >= kDemoScreenTime;
   WriteKeys(shown ? passkeys : passkeys & ~kReplayF1);
   if (escseen)
      key[KEY_F1] = -1;             // Escape ends a replay, on a screen too
}

void ReplayPassEnd()
{
   inpass = false;
   if (mode == MODE_RECORD) {
      replay.passes.push_back(passkeys | (f1seen ? kReplayF1 : 0));
      passlevels = levelsfinished;
      return;
   }
   if (mode != MODE_PLAY)
      return;
   nextpass++;
   passesinmap++;
   ReportFinished();
}

bool ReplayRunOut()
{
   return mode == MODE_PLAY && nextpass >= replay.passes.size();
}
