#include "platform.h"

// Names travel as UTF-8 through the programs, as Allegro takes them; every
// call to the system here takes them as UTF-16. (The build defines
// _CRT_RAND_S, which rand_s needs before any runtime header.)
#include <allegro.h>
#include <winalleg.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

constexpr int kCreateTries = 100;
constexpr const wchar_t *kTempInfix = L".new-";
constexpr const wchar_t *kChildFilePrefix = L"kelwyrm-playtest-";
constexpr const wchar_t *kChildFileSuffix = L".dat";
// GetFinalPathNameByHandle names files in the form that takes long names,
// and files on a network share as \\?\UNC\server\share\...
constexpr const wchar_t *kLongPathPrefix = L"\\\\?\\";
constexpr const wchar_t *kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr const wchar_t *kUncPrefix = L"\\\\";

static std::wstring Wide(const std::string &s)
{
   int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
   std::wstring w(n, L'\0');
   MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), &w[0], n);
   return w;
}

static std::string Utf8(const std::wstring &w)
{
   int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
   std::string s(n, '\0');
   WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
   return s;
}

// The system's reason for the last failure, in errno, where the callers of
// the safe writer look for it; always false.
static bool FailWithSystemReason()
{
   switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_INVALID_NAME:       errno = ENOENT; break;
      case ERROR_ACCESS_DENIED:
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:     errno = EACCES; break;
      case ERROR_CANT_RESOLVE_FILENAME: errno = ELOOP; break;
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL:   errno = ENOSPC; break;
      case ERROR_WRITE_PROTECT:      errno = EROFS; break;
      default:                       errno = EIO; break;
   }
   return false;
}

static std::wstring WithoutTrailingSlash(std::wstring path)
{
   while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
      path.pop_back();
   return path;
}

// A program built for the window system has no console of its own: its
// output goes to the console of the command prompt that started it, unless
// the caller already gave it somewhere to go (a pipe, a file, Wine's
// terminal). Runs before main.
static bool AttachStartConsole()
{
   bool has_output = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN;
   if (has_output || !AttachConsole(ATTACH_PARENT_PROCESS))
      return false;
   freopen("CONOUT$", "w", stdout);
   if (GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_UNKNOWN)
      freopen("CONOUT$", "w", stderr);
   return true;
}
static const bool console_attached = AttachStartConsole();

void KeepFileNamesAsGiven()
{
   // Allegro already hands names to Windows as UTF-16, converted from the
   // UTF-8 it keeps them in: every name passes as given.
}

std::string FolderOf(const std::string &path)
{
   size_t slash = path.find_last_of("\\/");
   if (slash == std::string::npos)
      return ".";
   // "C:" alone would be the drive's current folder, not its root.
   bool root = slash == 0 || (slash == 2 && path[1] == ':');
   return path.substr(0, root ? slash + 1 : slash);
}

std::string FileNameOf(const std::string &path)
{
   return path.substr(path.find_last_of("\\/") + 1);
}

std::string ProgramFolder()
{
   std::wstring path(MAX_PATH, L'\0');
   for (;;) {
      DWORD n = GetModuleFileNameW(nullptr, &path[0], (DWORD)path.size());
      if (n == 0)
         return "";
      if (n < path.size()) {
         path.resize(n);
         break;
      }
      path.resize(path.size() * 2);
   }
   size_t slash = path.find_last_of(L"\\/");
   return slash == std::wstring::npos ? "" : Utf8(path.substr(0, slash));
}

const char *ProgramSuffix()
{
   return ".exe";
}

// Windows' own MIDI mapper would play the tune with its own instruments.
int GameMidiDriver()
{
   return MIDI_DIGMID;
}

std::string TempFolder()
{
   wchar_t dir[MAX_PATH + 1];
   DWORD n = GetTempPathW(MAX_PATH + 1, dir);
   return n == 0 || n > MAX_PATH ? "." : Utf8(WithoutTrailingSlash(std::wstring(dir, n)));
}

// With '/' throughout, as the names the programs add to it are written.
std::string UserSettingsRoot()
{
   const wchar_t *appdata = _wgetenv(L"APPDATA");
   std::string root = appdata && appdata[0] ? Utf8(appdata) : "";
   for (char &c : root)
      if (c == '\\')
         c = '/';
   return root;
}

// The file a link leads to, as the system resolves it when opening.
static bool FinalPath(const std::wstring &link, std::wstring &final)
{
   HANDLE h = CreateFileW(link.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
   if (h == INVALID_HANDLE_VALUE)
      return false;
   std::wstring path(MAX_PATH, L'\0');
   DWORD n = GetFinalPathNameByHandleW(h, &path[0], (DWORD)path.size(), FILE_NAME_NORMALIZED);
   if (n >= path.size()) {
      path.resize(n + 1);
      n = GetFinalPathNameByHandleW(h, &path[0], (DWORD)path.size(), FILE_NAME_NORMALIZED);
   }
   CloseHandle(h);
   if (n == 0 || n >= path.size())
      return false;
   path.resize(n);
   // Without its prefix a share's path would read UNC\server\..., a name
   // relative to the current folder: it becomes \\server\... again.
   if (path.compare(0, wcslen(kLongUncPrefix), kLongUncPrefix) == 0)
      path.replace(0, wcslen(kLongUncPrefix), kUncPrefix);
   else if (path.compare(0, wcslen(kLongPathPrefix), kLongPathPrefix) == 0)
      path.erase(0, wcslen(kLongPathPrefix));
   final = path;
   return true;
}

bool ResolveFileLinks(const char *filename, std::string &target)
{
   target = filename;
   std::wstring name = Wide(target);
   DWORD attributes = GetFileAttributesW(name.c_str());
   if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      return true;
   // A link whose target is missing is refused: Windows names no file to make.
   std::wstring final;
   if (!FinalPath(name, final))
      return FailWithSystemReason();
   target = Utf8(final);
   return true;
}

bool InspectTarget(const std::string &target, FileKeep &keep)
{
   keep = FileKeep();
   std::wstring name = Wide(target);
   DWORD attributes = GetFileAttributesW(name.c_str());
   if (attributes == INVALID_FILE_ATTRIBUTES)
      return true;
   keep.exists = true;
   keep.mode = attributes;
   if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      keep.regular = false;
      errno = EISDIR;
      return false;
   }
   if (attributes & FILE_ATTRIBUTE_READONLY) {
      errno = EACCES;
      return false;
   }
   // A file the user may not write (its access list says so) is refused, as
   // writing it in place would be; opening it to ask changes nothing. A
   // device or a pipe (NUL, CON, \\.\pipe\...) is no file to replace.
   HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                          FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
   if (h == INVALID_HANDLE_VALUE)
      return FailWithSystemReason();
   keep.regular = GetFileType(h) == FILE_TYPE_DISK;
   CloseHandle(h);
   if (!keep.regular)
      errno = EINVAL;
   return keep.regular;
}

// A name no one can guess, from the system's random numbers.
static std::wstring RandomPart()
{
   unsigned int a = 0, b = 0;
   rand_s(&a);
   rand_s(&b);
   wchar_t text[20];
   swprintf(text, sizeof text / sizeof text[0], L"%08x%08x", a, b);
   return text;
}

// Opens a new file under `before` + random + `after`, made exclusively: an
// existing name (a link among them) is never opened.
static int CreateNewFile(const std::wstring &before, const std::wstring &after, std::string &path)
{
   for (int i = 0; i < kCreateTries; i++) {
      std::wstring name = before + RandomPart() + after;
      int fd = _wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                      _S_IREAD | _S_IWRITE);
      if (fd >= 0) {
         path = Utf8(name);
         return fd;
      }
      if (errno != EEXIST)
         return -1;
   }
   return -1;
}

int CreateFileBeside(const std::string &target, std::string &temp)
{
   return CreateNewFile(Wide(target) + kTempInfix, L"", temp);
}

bool WriteAll(int fd, const void *data, size_t size)
{
   const char *p = static_cast<const char *>(data);
   while (size > 0) {
      unsigned chunk = size > INT_MAX ? INT_MAX : (unsigned)size;
      int n = _write(fd, p, chunk);
      if (n <= 0)
         return false;
      p += n;
      size -= (size_t)n;
   }
   return true;
}

// The new file takes the access the folder gives new files; of the old
// one's attributes, read-only is refused before and none other is kept.
bool FinishFile(int fd, const FileKeep &)
{
   bool synced = _commit(fd) == 0;   // FlushFileBuffers
   return _close(fd) == 0 && synced;
}

bool ReplaceWith(const std::string &temp, const std::string &target)
{
   // One call: the move is on disk when it returns, nothing after it can fail.
   return MoveFileExW(Wide(temp).c_str(), Wide(target).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0 ||
          FailWithSystemReason();
}

void RemoveFile(const std::string &path)
{
   DeleteFileW(Wide(path).c_str());
}

int CreateChildFile(std::string &path)
{
   // Windows opens files by name only: the child gets the name. The system
   // deletes the file when its last handle closes, the editor's or the
   // game's, whichever way they end; the game's reads share delete access,
   // which opening it needs.
   std::wstring before = Wide(TempFolder()) + L"\\" + kChildFilePrefix;
   for (int i = 0; i < kCreateTries; i++) {
      std::wstring name = before + RandomPart() + kChildFileSuffix;
      HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                             nullptr);
      if (h != INVALID_HANDLE_VALUE) {
         int fd = _open_osfhandle((intptr_t)h, _O_WRONLY | _O_BINARY);
         if (fd < 0)
            CloseHandle(h);
         else
            path = Utf8(name);
         return fd;
      }
      if (GetLastError() != ERROR_FILE_EXISTS)
         return -1;
   }
   return -1;
}

void ReleaseChildFile(int fd, const std::string &)
{
   _close(fd);
}

bool IsProgram(const std::string &path)
{
   DWORD attributes = GetFileAttributesW(Wide(path).c_str());
   return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// One argument as the C runtime of the started program splits it back:
// quoted, with the backslashes before a quote doubled.
static void AppendArgument(std::wstring &line, const std::wstring &arg)
{
   if (!line.empty())
      line += L' ';
   if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
      line += arg;
      return;
   }
   line += L'"';
   size_t backslashes = 0;
   for (wchar_t c : arg) {
      if (c == L'\\') {
         backslashes++;
         continue;
      }
      line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
      backslashes = 0;
      line += c;
   }
   line.append(backslashes * 2, L'\\');
   line += L'"';
}

static std::string SystemMessage(DWORD code)
{
   wchar_t *text = nullptr;
   FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                  FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, (wchar_t *)&text, 0, nullptr);
   std::wstring message = text ? text : L"unknown error";
   LocalFree(text);
   while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                               message.back() == L'.'))
      message.pop_back();
   return Utf8(message);
}

// A job that ends every process in it when this program ends, however it
// ends: the game started from the editor goes with the editor.
static HANDLE JobEndingWithUs()
{
   HANDLE job = CreateJobObjectW(nullptr, nullptr);
   if (!job)
      return nullptr;
   JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
   limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
   SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
   return job;
}

int RunAndWait(const std::string &program, const std::vector<std::string> &args,
               std::string &error)
{
   std::wstring exe = Wide(program);
   std::wstring line;
   AppendArgument(line, exe);
   for (const std::string &a : args)
      AppendArgument(line, Wide(a));
   STARTUPINFOW start = {};
   start.cb = sizeof start;
   PROCESS_INFORMATION child = {};
   if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                       nullptr, &start, &child)) {
      error = SystemMessage(GetLastError());
      return -1;
   }
   static HANDLE job = JobEndingWithUs();
   if (job)
      AssignProcessToJobObject(job, child.hProcess);
   ResumeThread(child.hThread);
   CloseHandle(child.hThread);
   WaitForSingleObject(child.hProcess, INFINITE);
   DWORD status = 0;
   GetExitCodeProcess(child.hProcess, &status);
   CloseHandle(child.hProcess);
   if (status == 0)
      return 0;
   // A program ended by an exception has a status like 0xC0000005, which
   // only reads as itself in hex; it is no int, and any non-zero value
   // tells the caller the program failed.
   char text[16];
   snprintf(text, sizeof text, status > INT_MAX ? "0x%08lX" : "%lu", (unsigned long)status);
   error = text;
   return status <= INT_MAX ? (int)status : INT_MAX;
}

// Files named by a user: looked at before they are opened, so that a folder
// or device is never read, and opened without waiting (a pipe with no free
// instance fails at once); what was opened must still be a file on disk.
constexpr DWORD kReadChunk = 4096;

static HANDLE OpenRegular(const std::string &path, RegularFile &result, std::string &error)
{
   std::wstring name = Wide(path);
   DWORD attributes = GetFileAttributesW(name.c_str());
   HANDLE h = INVALID_HANDLE_VALUE;
   if (attributes != INVALID_FILE_ATTRIBUTES) {
      if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
         result = REGULAR_NOT_A_FILE;
         return INVALID_HANDLE_VALUE;
      }
      h = CreateFileW(name.c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
   }
   if (h == INVALID_HANDLE_VALUE) {
      DWORD err = GetLastError();
      result = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? REGULAR_MISSING
                                                                           : REGULAR_UNREADABLE;
      error = SystemMessage(err);
      return INVALID_HANDLE_VALUE;
   }
   BY_HANDLE_FILE_INFORMATION info;
   if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      CloseHandle(h);
      result = REGULAR_NOT_A_FILE;
      return INVALID_HANDLE_VALUE;
   }
   result = REGULAR_FILE;
   return h;
}

RegularFile CheckRegularFile(const std::string &path, std::string &error)
{
   RegularFile result;
   HANDLE h = OpenRegular(path, result, error);
   if (h != INVALID_HANDLE_VALUE)
      CloseHandle(h);
   return result;
}

RegularFile ReadRegularFile(const std::string &path, size_t limit, std::string &bytes,
                            std::string &error)
{
   bytes.clear();
   RegularFile result;
   HANDLE h = OpenRegular(path, result, error);
   if (h == INVALID_HANDLE_VALUE)
      return result;
   // One byte more than the limit tells a file that is too big, also one
   // that is still growing.
   char chunk[kReadChunk];
   while (bytes.size() <= limit) {
      size_t left = limit + 1 - bytes.size();
      DWORD want = left < sizeof chunk ? (DWORD)left : (DWORD)sizeof chunk;
      DWORD got = 0;
      if (!ReadFile(h, chunk, want, &got, nullptr)) {
         result = REGULAR_UNREADABLE;
         error = SystemMessage(GetLastError());
         break;
      }
      if (got == 0)
         break;
      bytes.append(chunk, got);
   }
   CloseHandle(h);
   if (result == REGULAR_FILE && bytes.size() > limit)
      result = REGULAR_TOO_BIG;
   if (result != REGULAR_FILE)
      bytes.clear();
   return result;
}
