#include "music.h"

#include <smf.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int kPpqn = 480;
constexpr int kEighth = kPpqn / 2;
constexpr int kSixteenth = kPpqn / 4;
constexpr int kBar = kPpqn * kBeatsPerBar;
constexpr int kSongEnd = kBars * kBar;
constexpr int kRest = 0;

// General MIDI numbers (0-based programs; channel 10 is index 9).
constexpr int kLeadProgram = 80;   // square lead
constexpr int kBassProgram = 38;   // synth bass 1
constexpr int kArpProgram = 11;    // vibraphone
constexpr int kLeadChannel = 0, kBassChannel = 1, kArpChannel = 2, kDrumChannel = 9;
constexpr int kKick = 36, kSnare = 38, kClosedHat = 42, kCrash = 49;

// One chord per bar: the bass root and the three chord tones above it.
struct Chord {
   int root;       // bass register
   int tones[3];   // arpeggio register
};

constexpr Chord kAm{45, {69, 72, 76}}, kF{41, {65, 69, 72}}, kC{48, {67, 72, 76}},
   kG{43, {67, 71, 74}}, kE{40, {68, 71, 76}}, kDm{38, {65, 69, 74}};

const Chord kChords[kBars] = {kAm, kF, kC, kG, kAm, kF, kG, kE,
                              kF,  kG, kC, kAm, kDm, kF, kE, kE};

// The tune, bar by bar: {note, length in eighths}; each bar adds up to 8.
struct Step {
   int note, eighths;
};

const std::vector<Step> kMelody[kBars] = {
   {{76, 2}, {81, 2}, {79, 1}, {76, 1}, {74, 2}},
   {{72, 3}, {74, 1}, {76, 2}, {72, 2}},
   {{67, 2}, {72, 2}, {76, 2}, {79, 2}},
   {{79, 3}, {77, 1}, {74, 2}, {71, 2}},
   {{76, 2}, {81, 2}, {83, 1}, {81, 1}, {79, 2}},
   {{81, 3}, {79, 1}, {77, 2}, {76, 2}},
   {{74, 2}, {79, 2}, {77, 1}, {76, 1}, {74, 2}},
   {{76, 4}, {74, 1}, {72, 1}, {71, 2}},
   {{69, 2}, {72, 2}, {77, 3}, {76, 1}},
   {{74, 2}, {71, 2}, {67, 2}, {71, 2}},
   {{72, 2}, {76, 2}, {79, 2}, {76, 1}, {79, 1}},
   {{81, 4}, {kRest, 1}, {76, 1}, {81, 1}, {83, 1}},
   {{84, 3}, {81, 1}, {77, 2}, {74, 2}},
   {{84, 2}, {81, 2}, {77, 2}, {81, 2}},
   {{80, 3}, {76, 1}, {71, 2}, {76, 2}},
   {{83, 2}, {80, 2}, {76, 2}, {kRest, 2}},
};

// Bass line of one bar in eighths, as intervals above the root.
const int kBassPattern[8] = {0, 0, 12, 0, 7, 0, 12, 7};

// Arpeggio over 16 sixteenths: indices into the chord tones, 3 = top octave.
const int kArpPattern[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 1};

void Add(smf_track_t *track, int pulses, int b1, int b2, int b3)
{
   smf_track_add_event_pulses(track, smf_event_new_from_bytes(b1, b2, b3), pulses);
}

// A note that ends `gap` percent of its length early, so that every note is
// off before the next one starts and before the loop point.
void AddNote(smf_track_t *track, int channel, int start, int length, int note, int velocity,
             int gap_percent)
{
   int end = start + length - length * gap_percent / 100 - 1;
   Add(track, start, 0x90 | channel, note, velocity);
   Add(track, end, 0x80 | channel, note, 0);
}

smf_track_t *NewTrack(smf_t *smf, int channel, int program, int volume)
{
   smf_track_t *track = smf_track_new();
   smf_add_track(smf, track);
   if (program >= 0)
      Add(track, 0, 0xC0 | channel, program, -1);
   Add(track, 0, 0xB0 | channel, 7, volume);
   return track;
}

void AddTempoTrack(smf_t *smf)
{
   smf_track_t *track = smf_track_new();
   smf_add_track(smf, track);
   int usec = 60000000 / kTempoBpm;
   unsigned char tempo[] = {0xFF, 0x51, 0x03, static_cast<unsigned char>(usec >> 16),
                            static_cast<unsigned char>(usec >> 8), static_cast<unsigned char>(usec)};
   unsigned char meter[] = {0xFF, 0x58, 0x04, kBeatsPerBar, 2, 24, 8};
   smf_track_add_event_pulses(track, smf_event_new_from_pointer(tempo, sizeof(tempo)), 0);
   smf_track_add_event_pulses(track, smf_event_new_from_pointer(meter, sizeof(meter)), 0);
}

void AddLead(smf_t *smf)
{
   smf_track_t *track = NewTrack(smf, kLeadChannel, kLeadProgram, 90);
   for (int bar = 0; bar < kBars; bar++) {
      int t = bar * kBar;
      for (const Step &s : kMelody[bar]) {
         if (s.note != kRest)
            AddNote(track, kLeadChannel, t, s.eighths * kEighth, s.note, 100, 8);
         t += s.eighths * kEighth;
      }
   }
}

void AddBass(smf_t *smf)
{
   smf_track_t *track = NewTrack(smf, kBassChannel, kBassProgram, 110);
   for (int bar = 0; bar < kBars; bar++)
      for (int i = 0; i < 8; i++)
         AddNote(track, kBassChannel, bar * kBar + i * kEighth, kEighth,
                 kChords[bar].root + kBassPattern[i], i % 2 ? 85 : 110, 15);
}

void AddArpeggio(smf_t *smf)
{
   smf_track_t *track = NewTrack(smf, kArpChannel, kArpProgram, 70);
   for (int bar = 0; bar < kBars; bar++)
      for (int i = 0; i < 16; i++) {
         int idx = kArpPattern[i];
         int note = idx < 3 ? kChords[bar].tones[idx] : kChords[bar].tones[0] + 12;
         AddNote(track, kArpChannel, bar * kBar + i * kSixteenth, kSixteenth, note, i % 4 ? 55 : 75, 20);
      }
}

void AddDrums(smf_t *smf)
{
   smf_track_t *track = NewTrack(smf, kDrumChannel, -1, 100);
   for (int bar = 0; bar < kBars; bar++) {
      int t = bar * kBar;
      bool fill = bar % 8 == 7;
      if (bar % 8 == 0)
         AddNote(track, kDrumChannel, t, kEighth, kCrash, 90, 50);
      for (int i = 0; i < 8; i++) {
         int at = t + i * kEighth;
         if (!(fill && i >= 6))
            AddNote(track, kDrumChannel, at, kSixteenth, kClosedHat, i % 2 ? 60 : 80, 50);
         if (i == 0 || i == 4 || i == 5)
            AddNote(track, kDrumChannel, at, kSixteenth, kKick, 115, 50);
         if (i == 2 || (i == 6 && !fill))
            AddNote(track, kDrumChannel, at, kSixteenth, kSnare, 105, 50);
      }
      if (fill)
         for (int i = 12; i < 16; i++)
            AddNote(track, kDrumChannel, t + i * kSixteenth, kSixteenth, kSnare, 80 + 8 * (i - 12), 30);
   }
}

}  // namespace

bool WriteMusic(const std::string &path)
{
   smf_t *smf = smf_new();
   if (!smf || smf_set_ppqn(smf, kPpqn) != 0) {
      std::fprintf(stderr, "assetgen: cannot set up the MIDI file\n");
      return false;
   }
   AddTempoTrack(smf);
   AddLead(smf);
   AddBass(smf);
   AddArpeggio(smf);
   AddDrums(smf);
   bool ok = true;
   for (int n = 1; n <= smf->number_of_tracks && ok; n++)
      ok = smf_track_add_eot_pulses(smf_get_track_by_number(smf, n), kSongEnd) == 0;
   ok = ok && smf_save(smf, path.c_str()) == 0;
   smf_delete(smf);
   if (!ok)
      std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
   return ok;
}
