#include "platform.h"

#include <allegro.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

// As many links as the kernel itself follows, so a loop of links ends.
constexpr int kMaxLinkHops = 40;
constexpr mode_t kPermissionBits = 07777;
constexpr const char *kTempSuffix = ".new-XXXXXX";
constexpr const char *kChildFilePattern = "/kelwyrm-playtest-XXXXXX";

void KeepFileNamesAsGiven()
{
   // Names and strings are both UTF-8 to Allegro then, so it passes them on
   // untouched, whatever bytes they hold.
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
   char path[PATH_MAX];
   ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
   if (n <= 0)
      return "";
   std::string exe(path, n);
   return exe.substr(0, exe.rfind('/'));
}

const char *ProgramSuffix()
{
   return "";
}

int GameMidiDriver()
{
   return MIDI_AUTODETECT;
}

std::string TempFolder()
{
   const char *dir = getenv("TMPDIR");
   return dir && *dir ? dir : "/tmp";
}

std::string UserSettingsRoot()
{
   // A relative XDG_CONFIG_HOME or HOME would move with the folder a
   // program is started in: neither counts.
   const char *config = getenv("XDG_CONFIG_HOME");
   if (config && config[0] == '/')
      return config;
   const char *home = getenv("HOME");
   return home && home[0] == '/' ? std::string(home) + "/.config" : "";
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
      // A relative link is relative to the folder the link is in.
      if (next[0] != '/' && slash != std::string::npos)
         next = target.substr(0, slash + 1) + next;
      target = next;
   }
   errno = ELOOP;
   return false;
}

bool InspectTarget(const std::string &target, FileKeep &keep)
{
   struct stat st;
   keep = FileKeep();
   if (stat(target.c_str(), &st) != 0)
      return true;
   keep.exists = true;
   // Only stat is asked of a FIFO or a device: opening a FIFO waits for its
   // other end, and what is written into a device is gone or worse.
   keep.regular = S_ISREG(st.st_mode);
   if (!keep.regular) {
      errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
      return false;
   }
   keep.mode = st.st_mode & kPermissionBits;
   keep.owner = st.st_uid;
   keep.group = st.st_gid;
   // A rename needs only the folder's permission; a file the user may not
   // write is refused, as writing it in place would be.
   return faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

int CreateFileBeside(const std::string &target, std::string &temp)
{
   temp = target + kTempSuffix;
   // mkstemp opens with O_CREAT | O_EXCL: an existing name, a link among
   // them, is never opened, and a new name is tried instead.
   return mkstemp(&temp[0]);
}

bool WriteAll(int fd, const void *data, size_t size)
{
   const char *p = static_cast<const char *>(data);
   while (size > 0) {
      ssize_t n = write(fd, p, size);
      if (n < 0 && errno == EINTR)
         continue;
      if (n < 0)
         return false;
      if (n == 0) {
         errno = EIO;   // a write that takes nothing would never end
         return false;
      }
      p += n;
      size -= (size_t)n;
   }
   return true;
}

// fsync of something that cannot be synced (EINVAL) has nothing to lose.
static bool SyncDescriptor(int fd)
{
   return fsync(fd) == 0 || errno == EINVAL;
}

bool FinishFile(int fd, const FileKeep &keep)
{
   bool ok = true;
   if (keep.exists) {
      // Only root may give a file away; anyone else keeps the file as theirs.
      ok = fchown(fd, (uid_t)keep.owner, (gid_t)keep.group) == 0 || errno == EPERM;
      ok = ok && fchmod(fd, keep.mode) == 0;
   } else {
      // mkstemp makes the file for its owner alone; a new file gets what
      // the user's umask gives any file they make.
      mode_t mask = umask(0);
      umask(mask);
      ok = fchmod(fd, 0666 & ~mask) == 0;
   }
   ok = ok && SyncDescriptor(fd);
   return close(fd) == 0 && ok;
}

bool ReplaceWith(const std::string &temp, const std::string &target)
{
   // The rename is only durable once the folder that holds the name is
   // synced. The folder is opened first, so that once the new file is in
   // place nothing can fail that would call the save failed. A folder the
   // user may write but not read (mode 0300) cannot be opened: the new
   // name then reaches the disk with the file system's own next commit.
   int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
   if (folder < 0 && errno != EACCES)
      return false;
   bool renamed = rename(temp.c_str(), target.c_str()) == 0;
   int err = errno;
   if (folder >= 0) {
      if (renamed)
         SyncDescriptor(folder);   // best effort: the contents are in place
      close(folder);
   }
   errno = err;
   return renamed;
}

void RemoveFile(const std::string &path)
{
   unlink(path.c_str());
}

int CreateChildFile(std::string &path)
{
   std::string name = TempFolder() + kChildFilePattern;
   int fd = mkstemp(&name[0]);
   if (fd < 0)
      return -1;
   // Unnamed from the start: the child reaches it through the descriptor it
   // inherits, and nothing is left in the folder whoever is killed.
   unlink(name.c_str());
   path = "/dev/fd/" + std::to_string(fd);
   return fd;
}

void ReleaseChildFile(int fd, const std::string &)
{
   close(fd);
}

bool IsProgram(const std::string &path)
{
   return access(path.c_str(), X_OK) == 0;
}

int RunAndWait(const std::string &program, const std::vector<std::string> &args,
               std::string &error)
{
   // Everything the child needs is made before the fork: after it, in a
   // program with Allegro's threads, only async-signal-safe calls are sound.
   std::vector<char *> argv;
   argv.push_back(const_cast<char *>(program.c_str()));
   for (const std::string &a : args)
      argv.push_back(const_cast<char *>(a.c_str()));
   argv.push_back(nullptr);
   pid_t parent = getpid();
   int report[2];
   if (pipe2(report, O_CLOEXEC) != 0) {
      error = strerror(errno);
      return -1;
   }
   pid_t pid = fork();
   if (pid < 0) {
      error = strerror(errno);
      close(report[0]);
      close(report[1]);
      return -1;
   }
   if (pid == 0) {
      // The child starts with every signal at its default and none blocked,
      // whatever Allegro's threads did to ours, and dies with its parent.
      sigset_t none;
      sigemptyset(&none);
      struct sigaction dfl;
      memset(&dfl, 0, sizeof dfl);
      dfl.sa_handler = SIG_DFL;
      for (int s = 1; s < NSIG; s++)
         sigaction(s, &dfl, nullptr);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent)
         _exit(127);
      execv(program.c_str(), argv.data());
      int err = errno;
      ssize_t unused = write(report[1], &err, sizeof err);
      (void)unused;
      _exit(127);
   }
   close(report[1]);
   int err = 0;
   ssize_t got;
   while ((got = read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
   }
   close(report[0]);
   int status = 0;
   while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
   }
   if (got == (ssize_t)sizeof err) {
      error = strerror(err);
      return -1;
   }
   int code = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
   if (code != 0)
      error = std::to_string(code);
   return code;
}
