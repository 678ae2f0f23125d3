#include "replay.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "closebutton.h"
#include "controls.h"
#include "datafolder.h"
#include "main.h"
#include "platform.h"
#include "safefile.h"

static const char kVersionLine[] = "kelwyrm replay 1";
static const char kKeyLetters[] = "RLJCF";      // bit i of a pass is letter i
constexpr int kKeyBits = 5;
// Room for a map line whose name is all escapes.
constexpr size_t kLineBytes = 2048;
constexpr size_t kNameBytes = 255;
constexpr size_t kCrcDigits = 8;
static const int kGameKeys[kKeyBits] = {KEY_RIGHT, KEY_LEFT, KEY_SPACE, KEY_LCONTROL, KEY_F1};

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

static std::string BaseName(const std::string &path)
{
   size_t slash = path.find_last_of('/');
   return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

bool FileChecksum(const char *file, unsigned long &crc)
{
   FILE *f = fopen(file, "rb");
   if (!f)
      return false;
   crc = crc32(0L, Z_NULL, 0);
   unsigned char chunk[8192];
   size_t n;
   while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
      crc = crc32(crc, chunk, (uInt)n);
   bool ok = !ferror(f);
   fclose(f);
   return ok;
}

static std::string KeyText(unsigned char keys)
{
   std::string s;
   for (int i = 0; i < kKeyBits; i++)
      if (keys & (1 << i))
         s += kKeyLetters[i];
   return s.empty() ? "-" : s;
}

// A name with a space, a control byte or a leading quote is written in quotes
// with \" \\ and \xHH escapes, so any name reads back; others stay as they are.
static std::string NameField(const std::string &name)
{
   bool plain = !name.empty() && name[0] != '"';
   for (unsigned char c : name)
      plain = plain && c > ' ' && c != 0x7f;
   if (plain)
      return name;
   std::string out = "\"";
   for (unsigned char c : name) {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02x", c);
      if (c == '"' || c == '\\')
         out += '\\';
      out += c < ' ' || c == 0x7f ? std::string(hex) : std::string(1, (char)c);
   }
   return out + "\"";
}

static std::string FormatReplay(const Replay &r)
{
   std::string text = std::string(kVersionLine) + "\n";
   char crc[16];
   for (const ReplayMap &m : r.maps) {
      snprintf(crc, sizeof crc, "%08lx", m.crc);
      text += "map " + NameField(m.name) + " " + crc + "\n";
   }
   text += "passes " + std::to_string(r.passes.size()) + "\n";
   for (size_t i = 0; i < r.passes.size();) {
      size_t run = 1;
      while (i + run < r.passes.size() && r.passes[i + run] == r.passes[i])
         run++;
      text += std::to_string(run) + " " + KeyText(r.passes[i]) + "\n";
      i += run;
   }
   return text + "end\n";
}

bool WriteReplayFile(const char *file, const Replay &r)
{
   return WriteFileSafely(file, FormatReplay(r));
}

static bool ParseKeys(const char *text, unsigned char &keys)
{
   keys = 0;
   if (strcmp(text, "-") == 0)
      return true;
   int last = -1;
   for (const char *c = text; *c; c++) {
      const char *at = strchr(kKeyLetters, *c);
      if (!at || at - kKeyLetters <= last)
         return false;              // unknown letter, repeated or out of order
      last = (int)(at - kKeyLetters);
      keys |= 1 << last;
   }
   return *text != 0;
}

// The decimal count `text`, all digits, or -1. A count above `most` reads as
// most + 1 however long it is, so none overflows.
static long ParseCount(const std::string &text, long most)
{
   if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
      return -1;
   long count = 0;
   for (char c : text) {
      count = count * 10 + (c - '0');
      if (count > most)
         return most + 1;
   }
   return count;
}

// The words of a line, split at spaces and tabs.
static std::vector<std::string> Words(const char *line)
{
   std::vector<std::string> words;
   for (const char *c = line; *c;) {
      size_t n = strcspn(c, " \t");
      if (n)
         words.emplace_back(c, n);
      c += n;
      c += strspn(c, " \t");
   }
   return words;
}

static int HexDigit(char c)
{
   return isdigit((unsigned char)c) ? c - '0' : isxdigit((unsigned char)c) ? tolower(c) - 'a' + 10 : -1;
}

// "map NAME CRC", NAME plain or in quotes as NameField writes it.
static bool ParseMapLine(const char *line, std::string &name, unsigned long &crc)
{
   if (strncmp(line, "map ", 4) != 0)
      return false;
   const char *c = line + 4 + strspn(line + 4, " \t");
   name.clear();
   if (*c != '"') {
      name.assign(c, strcspn(c, " \t"));
      c += name.size();
   } else {
      for (c++; *c != '"'; c++) {
         if (!*c)
            return false;
         if (*c != '\\')
            name += *c;
         else if (c[1] == '"' || c[1] == '\\')
            name += *++c;
         else if (c[1] == 'x' && HexDigit(c[2]) >= 0 && HexDigit(c[3]) >= 0)
            name += (char)(HexDigit(c[2]) * 16 + HexDigit(c[3])), c += 3;
         else
            return false;
      }
      c++;
   }
   std::vector<std::string> rest = Words(c);
   if (name.empty() || name.size() > kNameBytes || rest.size() != 1 || rest[0].size() > kCrcDigits)
      return false;
   crc = 0;
   for (char d : rest[0]) {
      if (HexDigit(d) < 0)
         return false;
      crc = crc * 16 + HexDigit(d);
   }
   return true;
}

std::string ReadReplayFile(const char *file, Replay &r)
{
   r = Replay{};
   FILE *f = fopen(file, "r");
   if (!f)
      return "the file cannot be read";
   char line[kLineBytes];
   std::string error;
   long declared = -1;
   bool ended = false;
   int number = 0;
   while (error.empty() && fgets(line, sizeof line, f)) {
      number++;
      line[strcspn(line, "\r\n")] = 0;
      std::string at = "line " + std::to_string(number);
      std::string name;
      unsigned long crc;
      std::vector<std::string> words = Words(line);
      if (ended)
         error = "text after its end";
      else if (number == 1) {
         if (strcmp(line, kVersionLine) != 0)
            error = "not a replay of this game's version (first line is not \"" +
                    std::string(kVersionLine) + "\")";
      } else if (declared < 0 && ParseMapLine(line, name, crc)) {
         if (r.maps.size() == (size_t)kReplayMaxMaps)
            error = at + ": more maps than the game's " + std::to_string(kReplayMaxMaps) + " levels";
         else
            r.maps.push_back({name, crc});
      } else if (declared < 0 && words.size() == 2 && words[0] == "passes" &&
                 ParseCount(words[1], kReplayMaxPasses) >= 0) {
         declared = ParseCount(words[1], kReplayMaxPasses);
         if (declared > kReplayMaxPasses)
            error = at + ": " + words[1] + " passes are more than a day of play (at most " +
                    std::to_string(kReplayMaxPasses) + ")";
      } else if (declared >= 0 && strcmp(line, "end") == 0) {
         ended = true;
      } else if (declared >= 0 && words.size() == 2 &&
                 ParseCount(words[0], declared) > 0 &&
                 ParseCount(words[0], declared) <= declared - (long)r.passes.size()) {
         unsigned char bits;
         if (!ParseKeys(words[1].c_str(), bits))
            error = at + ": unknown keys \"" + words[1] + "\"";
         else
            r.passes.insert(r.passes.end(), (size_t)ParseCount(words[0], declared), bits);
      } else {
         error = at + " is not understood: \"" + line + "\"";
      }
   }
   fclose(f);
   if (error.empty() && number == 0)
      error = "the file is empty";
   else if (error.empty() && (!ended || (long)r.passes.size() != declared))
      error = "the file is cut short";
   else if (error.empty() && r.maps.empty())
      error = "it names no map";
   return error;
}

std::string CheckReplayMaps(const Replay &r, const char *single_map)
{
   if (single_map && r.maps.size() != 1)
      return std::string("it plays ") + std::to_string(r.maps.size()) + " maps, not " +
             single_map + " alone";
   for (size_t i = 0; i < r.maps.size(); i++) {
      std::string path = single_map ? single_map
                                     : level[std::min<size_t>(kFirstLevel + i, kLastLevel)];
      if (BaseName(path) != r.maps[i].name)
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
   fprintf(stderr, "game: could not write the recording %s: %s\n", recordfile.c_str(), strerror(errno));
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
      return "it is read-only";
   size_t slash = target.find_last_of('/');
   std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
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
   for (int i = 0; i < kKeyBits; i++)
      if (key[kGameKeys[i]])
         keys |= 1 << i;
   return keys;
}

static void WriteKeys(unsigned char keys)
{
   for (int i = 0; i < kKeyBits; i++)
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
      std::string name = BaseName(passmap);
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
