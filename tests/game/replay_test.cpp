// Replay files (round trip, every refusal) and a recorded session played back
// frame for frame.

#include "game_test.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

#include "replay.h"
#include "saveload.h"

namespace {

using ReplayTest = GameTest;

void WriteText(const std::string &file, const std::string &text)
{
   std::ofstream(file) << text;
}

TEST_F(ReplayTest, FileRoundTripKeepsMapsAndEveryPassInRuns)
{
   EnterTempDir();
   Replay out;
   // Names with spaces, quotes, escapes and any byte are quoted; plain ones are not.
   out.maps = {{"map2.dat", 0x0123abcdul}, {"map3.dat", 0xffffffff}, {"my level.dat", 5},
               {"\"q\\x41\\ \t\x7f\xe9.dat", 6}};
   for (int i = 0; i < 300; i++)
      out.passes.push_back(i < 48 ? kReplayRight : (unsigned char)(i % 32));
   ASSERT_TRUE(WriteReplayFile("r.txt", out));
   Replay in;
   ASSERT_EQ(ReadReplayFile("r.txt", in), "");
   ASSERT_EQ(in.maps.size(), 4u);
   for (size_t i = 0; i < in.maps.size(); i++)
      EXPECT_EQ(in.maps[i].name, out.maps[i].name);
   EXPECT_EQ(in.maps[0].crc, 0x0123abcdul);
   EXPECT_EQ(in.maps[1].crc, 0xfffffffful);
   EXPECT_EQ(in.maps[3].crc, 6ul);
   EXPECT_EQ(in.passes, out.passes);
   std::ifstream text("r.txt");
   std::vector<std::string> lines;
   for (std::string line; std::getline(text, line);)
      lines.push_back(line);
   ASSERT_GE(lines.size(), 6u);
   EXPECT_EQ(lines[0], "kelwyrm replay 1");
   EXPECT_EQ(lines[1], "map map2.dat 0123abcd");
   EXPECT_EQ(lines[3], "map \"my level.dat\" 00000005");
   EXPECT_EQ(lines[6], "48 R");
}

TEST_F(ReplayTest, BadOrTruncatedFilesAreRefusedWithTheirReason)
{
   EnterTempDir();
   const std::string head = "kelwyrm replay 1\nmap map2.dat 00000001\n";
   const struct {
      const char *text;
      const char *reason;
   } cases[] = {
      {"", "empty"},
      {"kelwyrm replay 2\n", "version"},
      {"hello\n", "version"},
      {"kelwyrm replay 1\npasses 1\n1 R\nend\n", "names no map"},
      {"passes 3\n2 R\n", "cut short"},
      {"passes 3\n2 R\nend\n", "cut short"},
      {"passes 3\n2 R\n2 L\nend\n", "line 5"},           // more passes than declared
      {"passes 1\n1 RX\nend\n", "unknown keys"},
      {"passes 1\n1 LR\nend\n", "unknown keys"},          // letters out of order
      {"passes 1\n1 R\nend\nmore\n", "after its end"},
      {"passes 1\n0 R\nend\n", "line 4"},
      {"passes x\n", "line 3"},
      // Counts are bounded before anything is kept, however many digits.
      {"passes 1728001\n1 R\nend\n", "line 3: 1728001 passes are more than a day of play"},
      {"passes 9223372036854775807\n", "line 3: 9223372036854775807 passes are more"},
      {"passes 99999999999999999999999999\n", "more than a day of play"},
      {"passes 3\n9223372036854775807 R\nend\n", "line 4 is not"},
      {"passes 3\n18446744073709551618 R\nend\n", "line 4 is not"},
      {"kelwyrm replay 1\nmap a 1\nmap b 1\nmap c 1\nmap d 1\nmap e 1\n", "line 6: more maps"},
      // A start inside the map, before the maps.
      {"kelwyrm replay 1\nstart 200 1\n", "line 2 is not"},
      {"kelwyrm replay 1\nstart 1 50\n", "line 2 is not"},
      {"kelwyrm replay 1\nmap a 1\nstart 1 1\n", "line 3 is not"},
   };
   for (const auto &c : cases) {
      std::string text = c.text;
      if (text.rfind("passes", 0) == 0)
         text = head + text;
      WriteText("bad.txt", text);
      Replay r;
      std::string error = ReadReplayFile("bad.txt", r);
      EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << " gave: " << error;
   }
   Replay r;
   EXPECT_NE(ReadReplayFile("missing.txt", r).find("cannot be read"), std::string::npos);
   WriteText("day.txt", head + "passes 1728000\n1727999 R\n1 -\nend\n");
   EXPECT_EQ(ReadReplayFile("day.txt", r), "");
   EXPECT_EQ(r.passes.size(), 1728000u);
}

TEST_F(ReplayTest, MapsMustBeTheOnesRecordedAndUnchanged)
{
   WriteLevels();
   Replay r;
   unsigned long crc2, crc3;
   ASSERT_TRUE(FileChecksum("map2.dat", crc2));
   ASSERT_TRUE(FileChecksum("map3.dat", crc3));
   std::ifstream f("map2.dat", std::ios::binary);
   std::string bytes((std::istreambuf_iterator<char>(f)), {});
   EXPECT_EQ(crc2, crc32(0, reinterpret_cast<const Bytef *>(bytes.data()), bytes.size()));
   r.maps = {{"map2.dat", crc2}, {"map3.dat", crc3}};
   EXPECT_EQ(CheckReplayMaps(r, nullptr), "");                       // the level order
   EXPECT_NE(CheckReplayMaps(r, "map2.dat").find("2 maps"), std::string::npos);
   r.maps = {{"map2.dat", crc2}};
   EXPECT_EQ(CheckReplayMaps(r, "map2.dat"), "");
   EXPECT_NE(CheckReplayMaps(r, "map3.dat").find("recorded on map2.dat"), std::string::npos);
   r.maps = {{"map3.dat", crc3}};
   EXPECT_NE(CheckReplayMaps(r, nullptr).find("recorded on map3.dat"), std::string::npos);

   r.maps = {{"map2.dat", crc2}};
   map[kGroundLayer][5][5] = 7;
   ASSERT_EQ(WriteMapFile("map2.dat", map), MAPFILE_OK);
   EXPECT_NE(CheckReplayMaps(r, nullptr).find("has changed"), std::string::npos);
   ASSERT_EQ(remove("map2.dat"), 0);
   EXPECT_NE(CheckReplayMaps(r, nullptr).find("cannot read the map map2.dat"), std::string::npos);
   ASSERT_EQ(mkdir("map2.dat", 0755), 0);                             // there but unreadable
   EXPECT_NE(CheckReplayMaps(r, nullptr).find("cannot read the map map2.dat"), std::string::npos);
}

TEST_F(ReplayTest, ARefusedReplayEndsWithStatusTwoBeforeAnyMapIsLoaded)
{
   WriteLevels();
   Replay r;
   r.maps = {{"map2.dat", 1}};
   r.passes = {0};
   ASSERT_TRUE(WriteReplayFile("changed.txt", r));
   map[kGroundLayer][3][3] = 9;     // a map load would show here
   EXPECT_EXIT(
      {
         StartReplay("changed.txt", nullptr);
         exit(map[kGroundLayer][3][3] == 9 ? 0 : 3);
      },
      ::testing::ExitedWithCode(2), "cannot replay changed.txt: the map map2.dat has changed");
   EXPECT_EQ(map[kGroundLayer][3][3], 9);
}

TEST_F(ReplayTest, ARecordingThatCannotBeKeptIsRefusedAtOnceOrReportedAtTheEnd)
{
   WriteLevels();
   EXPECT_EXIT(StartRecording("gone/r.txt", nullptr), ::testing::ExitedWithCode(2),
               "^game: cannot record to gone/r.txt: the folder gone does not exist\n$");
   ASSERT_EQ(mkdir("r.txt", 0755), 0);
   EXPECT_EXIT(StartRecording("r.txt", nullptr), ::testing::ExitedWithCode(2), "r.txt: it is a folder");
   // The writer would refuse it at the end: the session is refused now.
   ASSERT_EQ(mkfifo("pipe.txt", 0644), 0);
   EXPECT_EXIT(StartRecording("pipe.txt", nullptr), ::testing::ExitedWithCode(2),
               "^game: cannot record to pipe.txt: it is not a regular file\n$");

   // A write that fails (here past a file size limit, as on a full disk)
   // keeps the old recording whole and says so.
   const std::string old = "kelwyrm replay 1\nmap map2.dat 00000001\npasses 1\n1 -\nend\n";
   WriteText("keep.txt", old);
   EXPECT_EXIT(
      {
         signal(SIGXFSZ, SIG_IGN);
         rlimit limit;
         limit.rlim_cur = limit.rlim_max = 256;     // room for the message only
         setrlimit(RLIMIT_FSIZE, &limit);
         StartRecording("keep.txt", nullptr);
         for (int p = 0; p < 500; p++) {
            key[KEY_RIGHT] = p % 2;
            ReplayPassStart();
            ReplayPassEnd();
         }
         bool kept = EndReplay();
         std::ifstream in("keep.txt");
         std::string now((std::istreambuf_iterator<char>(in)), {});
         exit(!kept && now == old ? 3 : 4);
      },
      ::testing::ExitedWithCode(3), "^game: could not write the recording keep.txt: .*\n$");
}

// A small level with everything that moves: an enemy that shoots, the
// player's shots, a jump, a death screen, the exit and the next level.
class RecordedSession : public GameTest {
 protected:
   void SetUp() override
   {
      GameTest::SetUp();
      GroundRow(6, 0, kMapCols - 1);
      map[kEnemyLayer][8][5] = kEnemyStart;
      map[kItemLayer][19][5] = kExitTile;
      WriteLevels();
   }

   void StartGame()
   {
      srand(1);                     // as a fresh process starts
      StartLevelOrder();
      clear_bitmap(buffer);
      clear_bitmap(screen);
   }

   // The keys a player holds at pass p: stand in the enemy's fire, then
   // fire back, jump, walk on to the exit. F1 ends every screen at once.
   static void PlayerKeys(int p)
   {
      ReleaseAllKeys();
      key[KEY_LCONTROL] = p >= 60 && p < 120;
      key[KEY_SPACE] = p % 40 == 0;
      key[KEY_RIGHT] = p >= 120;
      key[KEY_F1] = 1;
   }

   // The same loop as the game's main, one checksum per frame shown.
   std::vector<unsigned long> Play(int passes, bool from_keyboard)
   {
      std::vector<unsigned long> frames;
      for (int p = 0; p < passes; p++) {
         if (from_keyboard)
            PlayerKeys(p);
         else
            key[KEY_LEFT] = 1;      // a stray key during a replay
         ReplayPassStart();
         if (key[KEY_ESC] || ReplayRunOut())
            break;
         GamePass();
         ReplayPassEnd();
         unsigned long crc = crc32(0, Z_NULL, 0);
         for (int y = 0; y < screen->h; y++)
            crc = crc32(crc, screen->line[y], screen->w);
         frames.push_back(crc);
      }
      return frames;
   }
};

TEST_F(RecordedSession, ReplaysFrameForFrameAndReportsTheFinishedLevel)
{
   constexpr int kPasses = 400;
   StartGame();
   StartRecording("session.txt", nullptr);
   std::vector<unsigned long> recorded = Play(kPasses, true);
   EndReplay();
   ASSERT_EQ(recorded.size(), (size_t)kPasses);
   EXPECT_GE(levelsfinished, 1);
   std::vector<const SAMPLE *> sounds = Sounds();
   for (const SAMPLE *s : {fires, hit, aou, omgdied, jumps, congrats})
      EXPECT_NE(std::find(sounds.begin(), sounds.end(), s), sounds.end());

   StartGame();
   testing::internal::CaptureStdout();
   StartReplay("session.txt", nullptr);
   std::vector<unsigned long> replayed = Play(kPasses + 10, false);
   EXPECT_TRUE(ReplayRunOut());
   EndReplay();
   std::string out = testing::internal::GetCapturedStdout();
   EXPECT_EQ(replayed, recorded);
   EXPECT_EQ(out.rfind("finished map2.dat at pass ", 0), 0u) << out;
   EXPECT_GE(levelsfinished, 1);
}

// A game started at a cell near the exit records the cell; its replay, with
// no --start of its own, starts there and finishes in the same pass.
TEST_F(RecordedSession, AStartIsRecordedAndItsReplayFinishesFromThere)
{
   options.start = true;
   options.startcol = 15;
   options.startrow = 4;
   StartGame();
   StartRecording("start.txt", nullptr);
   StartPlay();
   int passes = 0;
   while (levelsfinished == 0 && passes < 200) {
      ReleaseAllKeys();
      key[KEY_RIGHT] = key[KEY_F1] = 1;
      ReplayPassStart();
      GamePass();
      ReplayPassEnd();
      passes++;
   }
   EndReplay();
   ASSERT_EQ(levelsfinished, 1);
   ASSERT_LT(passes, 100);          // from the map's corner it would take longer

   options = GameOptions{};
   StartGame();
   testing::internal::CaptureStdout();
   StartReplay("start.txt", nullptr);
   StartPlay();
   Play(passes + 10, false);
   EXPECT_TRUE(ReplayRunOut());
   EndReplay();
   EXPECT_EQ(testing::internal::GetCapturedStdout(),
             "finished map2.dat at pass " + std::to_string(passes) + "\n");
}

}  // namespace
