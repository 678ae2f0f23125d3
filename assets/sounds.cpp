#include "sounds.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using Wave = std::vector<double>;

constexpr double kTwoPi = 2.0 * M_PI;
constexpr double kPeak = 0.85;   // headroom below full scale

int Samples(double seconds)
{
   return static_cast<int>(seconds * kPlaybackRate);
}

// Deterministic white noise in -1 .. 1.
class Noise {
 public:
   double Next()
   {
      state_ = state_ * 1664525u + 1013904223u;
      return static_cast<double>(state_ >> 8) / (1u << 23) - 1.0;
   }
 private:
   unsigned state_ = 12345u;
};

// A square wave built from its odd harmonics below the stored file's
// Nyquist limit: a plain one would alias into a hiss at the low stored rate.
double Square(double phase, double freq)
{
   constexpr double kLimit = kPlaybackRate / 2.0 * 0.9;
   double sum = 0.0;
   for (int k = 1; k * freq < kLimit; k += 2) {
      double edge = k * freq / kLimit;   // fade harmonics in and out, no clicks
      sum += std::sin(kTwoPi * k * phase) / k * (1.0 - edge * edge);
   }
   return sum * 4.0 / M_PI;
}

double Triangle(double phase, double)
{
   double p = std::fmod(phase, 1.0);
   return p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p;
}

// Linear attack then exponential-ish release, so nothing clicks.
double Envelope(double t, double length, double attack, double curve)
{
   if (t < attack)
      return t / attack;
   double rest = (t - attack) / (length - attack);
   return std::pow(std::max(0.0, 1.0 - rest), curve);
}

// A tone whose pitch glides exponentially from f0 to f1.
Wave Sweep(double seconds, double f0, double f1, double (*shape)(double, double), double curve)
{
   Wave w(Samples(seconds));
   double phase = 0.0;
   for (size_t i = 0; i < w.size(); i++) {
      double t = static_cast<double>(i) / kPlaybackRate;
      double f = f0 * std::pow(f1 / f0, t / seconds);
      phase += f / kPlaybackRate;
      w[i] = shape(phase, f) * Envelope(t, seconds, 0.004, curve);
   }
   return w;
}

// Laser: a bright square wave diving from high to low.
Wave Fires()
{
   return Sweep(0.22, 2200.0, 260.0, Square, 1.5);
}

// Thud: a low sine that sinks, over a burst of dull noise.
Wave Hit()
{
   double len = 0.25;
   Wave w(Samples(len));
   Noise noise;
   double phase = 0.0, low = 0.0;
   for (size_t i = 0; i < w.size(); i++) {
      double t = static_cast<double>(i) / kPlaybackRate;
      phase += (140.0 * std::exp(-t * 9.0) + 45.0) / kPlaybackRate;
      low += 0.12 * (noise.Next() - low);
      w[i] = (std::sin(kTwoPi * phase) + 1.6 * low * std::exp(-t * 25.0)) * Envelope(t, len, 0.002, 2.0);
   }
   return w;
}

// The enemy goes down: a wobbling tone falling for almost a second.
Wave Dies()
{
   double len = 0.9;
   Wave w(Samples(len));
   double phase = 0.0;
   for (size_t i = 0; i < w.size(); i++) {
      double t = static_cast<double>(i) / kPlaybackRate;
      double f = 900.0 * std::pow(90.0 / 900.0, t / len) * (1.0 + 0.06 * std::sin(kTwoPi * 14.0 * t));
      phase += f / kPlaybackRate;
      w[i] = 0.6 * Square(phase, f) * Envelope(t, len, 0.005, 0.8);
   }
   return w;
}

// Boing: a rising tone with a springy vibrato.
Wave Jumps()
{
   double len = 0.3;
   Wave w(Samples(len));
   double phase = 0.0;
   for (size_t i = 0; i < w.size(); i++) {
      double t = static_cast<double>(i) / kPlaybackRate;
      double f = 220.0 * std::pow(4.0, t / len) * (1.0 + 0.08 * std::sin(kTwoPi * 22.0 * t));
      phase += f / kPlaybackRate;
      w[i] = (0.7 * std::sin(kTwoPi * phase) + 0.3 * Triangle(phase * 2.0, f)) * Envelope(t, len, 0.005, 1.2);
   }
   return w;
}

double NoteHz(int midi)
{
   return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Plays notes one after another; each {midi note, seconds}.
struct Note {
   int pitch;
   double seconds;
};

Wave Phrase(const std::vector<Note> &notes, double (*shape)(double, double), double vibrato)
{
   Wave w;
   double phase = 0.0;
   for (const Note &n : notes) {
      int count = Samples(n.seconds);
      for (int i = 0; i < count; i++) {
         double t = static_cast<double>(i) / kPlaybackRate;
         double wobble = 1.0 + vibrato * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t * 3.0);
         double f = NoteHz(n.pitch) * wobble;
         phase += f / kPlaybackRate;
         w.push_back(shape(phase, f) * Envelope(t, n.seconds, 0.01, 0.7));
      }
   }
   return w;
}

// Level complete: a short bright fanfare ending on a held chord tone.
Wave Congrats()
{
   return Phrase({{72, 0.12}, {76, 0.12}, {79, 0.12}, {84, 0.24}, {79, 0.12}, {84, 0.6}}, Square, 0.004);
}

// The player's sad tune: four notes stepping down, the last one long.
Wave OmgDied()
{
   return Phrase({{67, 0.35}, {66, 0.35}, {65, 0.35}, {64, 1.1}}, Triangle, 0.02);
}

// Two-pole resonator: shapes a buzz into a vowel formant.
class Resonator {
 public:
   double Run(double in, double freq, double bandwidth)
   {
      double r = std::exp(-M_PI * bandwidth / kPlaybackRate);
      double c = 2.0 * r * std::cos(kTwoPi * freq / kPlaybackRate);
      double out = (1.0 - r) * in + c * y1_ - r * r * y2_;
      y2_ = y1_;
      y1_ = out;
      return out;
   }
 private:
   double y1_ = 0.0, y2_ = 0.0;
};

// The player is hit: a voiced cry gliding from "a" through "o" to "u",
// its pitch falling, made of a buzz through two moving formants.
Wave Aou()
{
   double len = 0.65;
   Wave w(Samples(len));
   Resonator f1, f2;
   double phase = 0.0;
   for (size_t i = 0; i < w.size(); i++) {
      double t = static_cast<double>(i) / kPlaybackRate;
      double k = t / len;
      double pitch = 330.0 - 120.0 * k + 8.0 * std::sin(kTwoPi * 6.0 * t);
      phase += pitch / kPlaybackRate;
      double buzz = 2.0 * std::fmod(phase, 1.0) - 1.0;
      double form1 = k < 0.5 ? 800.0 - 600.0 * k : 500.0 - 360.0 * (k - 0.5);
      double form2 = k < 0.5 ? 1250.0 - 700.0 * k : 900.0 - 300.0 * (k - 0.5);
      double v = f1.Run(buzz, form1, 90.0) + 0.6 * f2.Run(buzz, form2, 110.0);
      w[i] = v * Envelope(t, len, 0.03, 0.6);
   }
   return w;
}

void Normalise(Wave &w)
{
   double peak = 0.0;
   for (double v : w)
      peak = std::max(peak, std::fabs(v));
   if (peak > 0.0)
      for (double &v : w)
         v *= kPeak / peak;
}

// 16-bit mono PCM at the stored rate.
bool WriteWav(const std::string &path, Wave w)
{
   Normalise(w);
   SF_INFO info{};
   info.samplerate = kStoredRate;
   info.channels = 1;
   info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
   SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
   if (!f) {
      std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
      return false;
   }
   sf_count_t written = sf_write_double(f, w.data(), static_cast<sf_count_t>(w.size()));
   sf_close(f);
   if (written != static_cast<sf_count_t>(w.size())) {
      std::fprintf(stderr, "assetgen: short write to %s\n", path.c_str());
      return false;
   }
   return true;
}

}  // namespace

bool WriteSounds(const std::string &dir)
{
   return WriteWav(dir + "/fires.wav", Fires()) && WriteWav(dir + "/hit.wav", Hit()) &&
          WriteWav(dir + "/dies.wav", Dies()) && WriteWav(dir + "/jumps.wav", Jumps()) &&
          WriteWav(dir + "/congrats.wav", Congrats()) && WriteWav(dir + "/aou.wav", Aou()) &&
          WriteWav(dir + "/omgdied.wav", OmgDied());
}
