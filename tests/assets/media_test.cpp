// The samples and the music as the game loads them (Allegro's load_wav and
// load_midi), and the tune's loop read back with libsmf.

#include <allegro.h>
#include <gtest/gtest.h>
#include <smf.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

#include "headless.h"

namespace {

constexpr int kStoredRate = 2205;   // a tenth of 22050: the game plays samples ten times faster
constexpr int kPlaybackRate = kStoredRate * 10;

class AssetMedia : public ::testing::Test {
 protected:
   static void SetUpTestSuite() { StartHeadless(320, 240); }

   static SAMPLE *Sample(const char *name)
   {
      std::string path = RunDir() + "/" + name;
      SAMPLE *s = load_wav(path.c_str());
      EXPECT_NE(s, nullptr) << path;
      return s;
   }

   // Sample value i of a mono sample, centred on 0 and scaled to -1 .. 1.
   static double Value(const SAMPLE *s, unsigned long i)
   {
      if (s->bits == 8)
         return (static_cast<const unsigned char *>(s->data)[i] - 128) / 128.0;
      return (static_cast<const unsigned short *>(s->data)[i] - 32768) / 32768.0;
   }

   // Zero crossings per second in a stretch: twice the pitch of a plain tone.
   static double Crossings(const SAMPLE *s, double from, double to)
   {
      unsigned long a = static_cast<unsigned long>(from * s->len), b = static_cast<unsigned long>(to * s->len);
      int n = 0;
      for (unsigned long i = a + 1; i < b; i++)
         n += (Value(s, i - 1) < 0) != (Value(s, i) < 0);
      return n * static_cast<double>(kPlaybackRate) / (b - a);
   }

   static double Peak(const SAMPLE *s, double from, double to)
   {
      double peak = 0;
      for (unsigned long i = static_cast<unsigned long>(from * s->len); i < to * s->len; i++)
         peak = std::max(peak, std::abs(Value(s, i)));
      return peak;
   }
};

TEST_F(AssetMedia, SamplesAreMonoAtATenthOfTheirRateShortAndAudible)
{
   for (const char *name : {"fires.wav", "hit.wav", "dies.wav", "jumps.wav", "congrats.wav", "aou.wav",
                            "omgdied.wav"}) {
      SAMPLE *s = Sample(name);
      ASSERT_NE(s, nullptr);
      EXPECT_EQ(s->freq, kStoredRate) << name;
      EXPECT_EQ(s->stereo, 0) << name;
      EXPECT_TRUE(s->bits == 8 || s->bits == 16) << name;
      double played_seconds = static_cast<double>(s->len) / kPlaybackRate;
      EXPECT_GT(played_seconds, 0.1) << name;
      EXPECT_LT(played_seconds, 3.0) << name;
      EXPECT_GT(Peak(s, 0.0, 1.0), 0.5) << name;
      destroy_sample(s);
   }
}

// Laser and death tones fall, the jump rises, the sad phrase steps down,
// and the thud is over almost at once.
TEST_F(AssetMedia, SoundsMoveTheWayTheirEventsDo)
{
   SAMPLE *fires = Sample("fires.wav"), *dies = Sample("dies.wav"), *jumps = Sample("jumps.wav"),
          *omgdied = Sample("omgdied.wav"), *hit = Sample("hit.wav");
   ASSERT_TRUE(fires && dies && jumps && omgdied && hit);
   EXPECT_GT(Crossings(fires, 0.0, 0.25), 2 * Crossings(fires, 0.6, 0.85));
   EXPECT_GT(Crossings(dies, 0.0, 0.25), 2 * Crossings(dies, 0.6, 0.85));
   EXPECT_LT(1.5 * Crossings(jumps, 0.0, 0.25), Crossings(jumps, 0.6, 0.85));
   EXPECT_GT(Crossings(omgdied, 0.0, 0.15), Crossings(omgdied, 0.6, 0.9));
   EXPECT_GT(Peak(hit, 0.0, 0.2), 4 * Peak(hit, 0.7, 1.0));
   for (SAMPLE *s : {fires, dies, jumps, omgdied, hit})
      destroy_sample(s);
}

// get_midi_length needs Allegro's timer, which a headless run lacks; the
// music check of check_files.sh measures it under Xvfb with midi_length.
TEST_F(AssetMedia, MusicLoadsAsTheGameLoadsIt)
{
   std::string path = RunDir() + "/jingel.mid";
   MIDI *m = load_midi(path.c_str());
   ASSERT_NE(m, nullptr);
   destroy_midi(m);
}

// The game repeats the tune forever: it must end on a bar line with every
// note released, and start and end without a gap.
TEST_F(AssetMedia, MusicLoopsCleanlyOnABarLine)
{
   std::string path = RunDir() + "/jingel.mid";
   smf_t *smf = smf_load(path.c_str());
   ASSERT_NE(smf, nullptr);
   int bar = smf->ppqn * 4;
   int end = smf_get_length_pulses(smf);
   EXPECT_EQ(end % bar, 0);
   EXPECT_GE(smf_get_length_seconds(smf), 30.0);
   std::map<int, int> sounding;   // channel * 128 + note -> count
   int first_on = end, last_off = 0;
   bool drums = false;
   smf_event_t *e;
   while ((e = smf_get_next_event(smf)) != nullptr) {
      if (smf_event_is_metadata(e) || e->midi_buffer_length < 3)
         continue;
      int status = e->midi_buffer[0] & 0xF0, channel = e->midi_buffer[0] & 0x0F;
      int key = channel * 128 + e->midi_buffer[1];
      if (status == 0x90 && e->midi_buffer[2] > 0) {
         sounding[key]++;
         first_on = std::min(first_on, e->time_pulses);
         drums = drums || channel == 9;
      } else if (status == 0x80 || status == 0x90) {
         sounding[key]--;
         last_off = std::max(last_off, e->time_pulses);
      }
   }
   for (const auto &[key, count] : sounding)
      EXPECT_EQ(count, 0) << "channel " << key / 128 << " note " << key % 128 << " left on";
   EXPECT_EQ(first_on, 0);
   EXPECT_GE(last_off, end - smf->ppqn) << "more than a beat of silence before the loop";
   EXPECT_TRUE(drums);
   smf_delete(smf);
}

}  // namespace
