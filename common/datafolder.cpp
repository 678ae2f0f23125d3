#include "datafolder.h"

#include <unistd.h>

#include "platform.h"

// Set by the build: the installed data folder, absolute and as seen from
// the installed programs' folder (which makes an installed tree relocatable).
#ifndef KELWYRM_DATA_DIR
#define KELWYRM_DATA_DIR "/usr/local/share/kelwyrm"
#endif
#ifndef KELWYRM_DATA_FROM_BIN
#define KELWYRM_DATA_FROM_BIN "../share/kelwyrm"
#endif

static void AddFolder(std::vector<std::string> &folders, const std::string &dir)
{
   for (const std::string &f : folders)
      if (f == dir)
         return;
   folders.push_back(dir);
}

std::vector<std::string> DataFolders()
{
   std::vector<std::string> folders = {""};
   std::string exe_dir = ProgramFolder();
   // A build with no installed data folder (Windows, where the data sit
   // beside the programs) names them empty.
   if (!exe_dir.empty()) {
      AddFolder(folders, exe_dir);
      if (*KELWYRM_DATA_FROM_BIN)
         AddFolder(folders, exe_dir + "/" + KELWYRM_DATA_FROM_BIN);
   }
   if (*KELWYRM_DATA_DIR)
      AddFolder(folders, KELWYRM_DATA_DIR);
   return folders;
}

std::string FindDataFile(const char *name)
{
   for (const std::string &dir : DataFolders()) {
      std::string path = dir.empty() ? name : dir + "/" + name;
      if (access(path.c_str(), R_OK) == 0)
         return path;
   }
   return name;
}
