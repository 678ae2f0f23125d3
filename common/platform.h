#ifndef PLATFORM_H
#define PLATFORM_H

// What differs between the systems the programs run on, behind one set of
// plain functions, so that no other module asks which system it is on.
// This file's functions are written once per system: platform_posix.cpp
// here, and a Windows one beside it.

#include <string>
#include <vector>

// Allegro converts file names to what it takes for the system's encoding,
// and without a UTF-8 locale that turns every byte above 127 into '^'.
// Called right after Allegro starts, so names reach the system as given.
void KeepFileNamesAsGiven();

// The folder part of `path` ("." when it names none, the root itself for a
// file in the root) and its last part, split at the system's separators.
std::string FolderOf(const std::string &path);
std::string FileNameOf(const std::string &path);

// The folder holding the running program; "" when it cannot be told.
std::string ProgramFolder();
// What the system adds to a program's name ("" or ".exe").
const char *ProgramSuffix();
// Where temporary files go.
std::string TempFolder();
// The MIDI driver the game's tune plays through: the system's own choice,
// or Allegro's DIGMID with the shipped patch set where the system's own
// synthesiser would make the tune sound different.
int GameMidiDriver();
// Where the system keeps a user's settings of programs: $XDG_CONFIG_HOME
// when it is absolute, else ~/.config when the home folder is absolute
// (%APPDATA% on Windows); "" when neither can be told.
std::string UserSettingsRoot();

// What the safe writer must keep of the file it replaces.
struct FileKeep {
   bool exists = false;
   // False when the name holds a folder, a FIFO, a device or a socket: the
   // writer never puts a file in its place (as root that would turn
   // /dev/null into a plain file), and never opens it either, so a FIFO
   // without a reader cannot hold a program up.
   bool regular = true;
   unsigned mode = 0;
   long owner = -1;
   long group = -1;
};

// The file a write to `filename` replaces: the end of its chain of symbolic
// links, so that a link stays a link and its target gets the new contents.
// A chain that ends in a missing file names the file to make. On failure
// errno says why (ELOOP for a loop of links).
bool ResolveFileLinks(const char *filename, std::string &target);
// Notes what `keep` needs of an existing target; false when the target
// exists but the user may not write it (errno EACCES), is a folder (EISDIR)
// or is anything else but a regular file (EINVAL, `keep.regular` false).
bool InspectTarget(const std::string &target, FileKeep &keep);
// A new file in the target's folder under an unpredictable name, made
// exclusively: it never follows a link nor opens a file that was there.
// Returns a descriptor open for writing, or -1.
int CreateFileBeside(const std::string &target, std::string &temp);
// Writes all of `size` bytes; false on any failure.
bool WriteAll(int fd, const void *data, size_t size);
// Gives the file what `keep` holds, puts it on disk and closes it.
bool FinishFile(int fd, const FileKeep &keep);
// Puts `temp` in the place of `target` in one step and makes that durable
// where the system lets it. True once `temp` is in place: the new contents
// are then the file's, whatever befalls the sync of its folder after.
bool ReplaceWith(const std::string &temp, const std::string &target);
void RemoveFile(const std::string &path);

// A temporary file handed to a program this one starts: `path` is the name
// the child opens it by. Nothing of it is left behind once both have ended,
// whichever way they end.
int CreateChildFile(std::string &path);
void ReleaseChildFile(int fd, const std::string &path);

bool IsProgram(const std::string &path);
// Runs `program` with `args` and waits for it. The program ends with this
// one. Returns its exit status, 128 + the signal that ended it, or -1 when
// it could not be started (with the reason in `error`). A status other than
// 0 is also put in `error` as the system writes it (a crash on Windows reads
// 0xC0000005, which no int holds).
int RunAndWait(const std::string &program, const std::vector<std::string> &args,
               std::string &error);

// Files a user names may be anything: a FIFO no one writes to, a device, a
// folder. These open the file without waiting for anything and go on only
// with a regular file.
enum RegularFile {
   REGULAR_FILE,        // a regular file (read whole, within the limit)
   REGULAR_MISSING,     // nothing of that name
   REGULAR_NOT_A_FILE,  // a FIFO, device, socket or folder: never read
   REGULAR_TOO_BIG,     // larger than the limit: nothing kept
   REGULAR_UNREADABLE   // could not be opened or read; `error` says why
};
// Whether `path` is a regular file that can be opened for reading.
RegularFile CheckRegularFile(const std::string &path, std::string &error);
// Reads the whole of `path` into `bytes` when it is a regular file of at
// most `limit` bytes; else `bytes` is left empty.
RegularFile ReadRegularFile(const std::string &path, size_t limit, std::string &bytes,
                            std::string &error);

#endif
