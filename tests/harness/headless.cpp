#include "headless.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "platform.h"

// Folders made by MakeTempDir, removed when the test program ends. A death
// test's child exits through the same code, so only the process that made a
// folder may remove it.
static std::vector<std::string> temp_dirs;
static pid_t temp_dirs_owner = 0;

class TempDirCleanup : public ::testing::Environment {
 public:
   void TearDown() override
   {
      if (getpid() != temp_dirs_owner)
         return;
      std::error_code ignored;
      for (const std::string &dir : temp_dirs)
         std::filesystem::remove_all(dir, ignored);
      temp_dirs.clear();
   }
};

static ::testing::Environment *const temp_dir_cleanup =
   ::testing::AddGlobalTestEnvironment(new TempDirCleanup);

void StartHeadless(int screen_w, int screen_h)
{
   static bool started = false;
   if (!started) {
      ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
      KeepFileNamesAsGiven();
      set_color_depth(8);
      started = true;
   }
   if (!screen || screen->w != screen_w || screen->h != screen_h) {
      if (screen)
         destroy_bitmap(screen);
      screen = create_bitmap(screen_w, screen_h);
      clear_bitmap(screen);
   }
}

std::string RunDir()
{
   return TEST_RUN_DIR;
}

std::string MakeTempDir()
{
   char pattern[] = "/tmp/kelwyrm-test-XXXXXX";
   const char *dir = mkdtemp(pattern);
   EXPECT_NE(dir, nullptr);
   if (!dir)
      return "/tmp";
   temp_dirs_owner = getpid();
   temp_dirs.push_back(dir);
   return dir;
}

int DatafileCount(const DATAFILE *d)
{
   int n = 0;
   while (d && d[n].type != DAT_END)
      n++;
   return n;
}

void HeadlessTest::SetUp()
{
   char cwd[4096];
   saved_cwd_ = getcwd(cwd, sizeof(cwd)) ? cwd : "/";
   ReleaseAllKeys();
   SetMouse(0, 0, 0);
}

void HeadlessTest::TearDown()
{
   ReleaseAllKeys();
   SetMouse(0, 0, 0);
   EXPECT_EQ(chdir(saved_cwd_.c_str()), 0);
}

void HeadlessTest::ReleaseAllKeys()
{
   for (int k = 0; k < KEY_MAX; k++)
      key[k] = 0;
}

void HeadlessTest::SetMouse(int x, int y, int buttons)
{
   mouse_x = x;
   mouse_y = y;
   mouse_b = buttons;
}

std::string HeadlessTest::EnterTempDir()
{
   std::string dir = MakeTempDir();
   EXPECT_EQ(chdir(dir.c_str()), 0);
   return dir;
}

int HeadlessTest::CountColour(BITMAP *bmp, int x1, int y1, int x2, int y2, int c)
{
   int n = 0;
   for (int y = y1; y <= y2; y++)
      for (int x = x1; x <= x2; x++)
         if (getpixel(bmp, x, y) == c)
            n++;
   return n;
}
