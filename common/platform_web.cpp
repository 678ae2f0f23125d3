#include "platform.h"

#include <allegro.h>
#include <emscripten.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

// In the browser a program's start folder is the page's persistent storage
// (IndexedDB) mounted at /home/kelwyrm, so that the settings folder
// (/home + "/kelwyrm") is the start folder too; the shipped data sit in
// /data, where the program "is". The page's script sets all this up.
constexpr const char *kSettingsRoot = "/home";
constexpr const char *kProgramFolder = "/data";
constexpr const char *kTempFolder = "/tmp";
constexpr int kMaxLinkHops = 40;
constexpr mode_t kPermissionBits = 07777;
// There is no other user in a browser: a new file is the player's to read
// and write, and a replaced one stays so, whatever mode it was stored with.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kOwnerReadWrite = 0600;
constexpr const char *kTempSuffix = ".new-XXXXXX";
constexpr unsigned kSyncPollMs = 10;

// Copies the start folder to IndexedDB; the page reports 1 when done, -1
// when it failed, 0 while busy.
EM_JS(void, StartStorageSync, (), { Module.kelwyrmSyncStorage(); });
EM_JS(int, StorageSyncState, (), { return Module.kelwyrmSyncState(); });

void KeepFileNamesAsGiven()
{
   set_filename_encoding(U_UTF8);
}

std::string FolderOf(const std::string &path)
{
   size_t slash = path.rfind('/');
   if (slash == std::string::npos)
      return ".";
   return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string &path)
{
   return path.substr(path.rfind('/') + 1);
}

std::string ProgramFolder()
{
   return kProgramFolder;
}

const char *ProgramSuffix()
{
   return "";
}

// Allegro's software synthesiser with the shipped patch set: the browser
// has no MIDI synthesiser of its own to lend.
int GameMidiDriver()
{
   return MIDI_DIGMID;
}

std::string TempFolder()
{
   return kTempFolder;
}

std::string UserSettingsRoot()
{
   return kSettingsRoot;
}

bool ResolveFileLinks(const char *filename, std::string &target)
{
   target = filename;
   for (int hop = 0; hop < kMaxLinkHops; hop++) {
      struct stat st;
      if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
         return true;
      char link[PATH_MAX];
      ssize_t n = readlink(target.c_str(), link, sizeof(link) - 1);
      if (n <= 0)
         return false;
      std::string next(link, (size_t)n);
      size_t slash = target.rfind('/');
      if (next[0] != '/' && slash != std::string::npos)
         next = target.substr(0, slash + 1) + next;
      target = next;
   }
   return false;
}

bool InspectTarget(const std::string &target, FileKeep &keep)
{
   struct stat st;
   keep = FileKeep();
   if (stat(target.c_str(), &st) != 0)
      return true;
   keep.exists = true;
   keep.mode = (st.st_mode & kPermissionBits) | kOwnerReadWrite;
   return !S_ISDIR(st.st_mode);
}

int CreateFileBeside(const std::string &target, std::string &temp)
{
   temp = target + kTempSuffix;
   return mkstemp(&temp[0]);
}

bool WriteAll(int fd, const void *data, size_t size)
{
   const char *p = static_cast<const char *>(data);
   while (size > 0) {
      ssize_t n = write(fd, p, size);
      if (n < 0 && errno == EINTR)
         continue;
      if (n <= 0)
         return false;
      p += n;
      size -= (size_t)n;
   }
   return true;
}

bool FinishFile(int fd, const FileKeep &keep)
{
   // mkstemp's file would be stored with the mode it was made with, and a
   // later start would find it unreadable.
   bool ok = fchmod(fd, keep.exists ? keep.mode : kNewFileMode) == 0;
   ok = (fsync(fd) == 0 || errno == EINVAL) && ok;
   return close(fd) == 0 && ok;
}

// A write is only kept across reloads once IndexedDB has it.
static bool SyncStorage()
{
   StartStorageSync();
   int state;
   while ((state = StorageSyncState()) == 0)
      emscripten_sleep(kSyncPollMs);
   return state > 0;
}

bool ReplaceWith(const std::string &temp, const std::string &target)
{
   return rename(temp.c_str(), target.c_str()) == 0 && SyncStorage();
}

void RemoveFile(const std::string &path)
{
   unlink(path.c_str());
}

// The page plays the game in a frame of its own over the editor (a page
// starts no programs); the map goes to it through the shared storage.
constexpr const char *kChildFile = "/home/kelwyrm/.kelwyrm-playtest.dat";
constexpr const char *kGameName = "game";
constexpr int kGameRunning = -1000;
constexpr unsigned kGamePollMs = 50;

EM_JS(void, StartGameFrame, (const char *args), { Module.kelwyrmRunGame(UTF8ToString(args)); });
EM_JS(int, GameFrameStatus, (), { return Module.kelwyrmGameStatus(); });

int CreateChildFile(std::string &path)
{
   path = kChildFile;
   return open(kChildFile, O_CREAT | O_TRUNC | O_WRONLY, kNewFileMode);
}

void ReleaseChildFile(int fd, const std::string &path)
{
   close(fd);
   unlink(path.c_str());
}

bool IsProgram(const std::string &path)
{
   return FolderOf(path) == kProgramFolder && FileNameOf(path) == kGameName;
}

int RunAndWait(const std::string &program, const std::vector<std::string> &args, std::string &error)
{
   if (!IsProgram(program) || !SyncStorage()) {
      error = "a web page cannot start programs";
      return -1;
   }
   std::string joined;
   for (const std::string &a : args)
      joined += a + "\n";
   StartGameFrame(joined.c_str());
   int status;
   while ((status = GameFrameStatus()) == kGameRunning)
      emscripten_sleep(kGamePollMs);
   return status;
}
