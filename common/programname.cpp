#include "programname.h"

#include <cstring>

#include "platform.h"

static const char kEditorSuffix[] = "-editor";
static const char kRunFolderGame[] = "game";

// Takes `end` off the end of `s` when `s` is longer; says whether it did.
static bool CutSuffix(std::string &s, const char *end)
{
   size_t n = strlen(end);
   if (s.size() <= n || s.compare(s.size() - n, n, end) != 0)
      return false;
   s.resize(s.size() - n);
   return true;
}

// Where the file name starts: after the last folder separator, '/' or the
// '\' of Windows paths.
static size_t NameStart(const std::string &path)
{
   size_t slash = path.find_last_of("/\\");
   return slash == std::string::npos ? 0 : slash + 1;
}

std::string ProgramName(const char *argv0)
{
   std::string path = argv0 ? argv0 : "";
   std::string name = path.substr(NameStart(path));
   CutSuffix(name, ProgramSuffix());
   return name;
}

std::string GameNameForEditor(const std::string &editor_name)
{
   std::string game = editor_name;
   // "-editor" alone names no game.
   return CutSuffix(game, kEditorSuffix) ? game : kRunFolderGame;
}
