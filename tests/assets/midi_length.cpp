// Prints the length in seconds that Allegro's get_midi_length gives a MIDI
// file. Needs a display (run it under Xvfb): the call starts Allegro's timer.

#include <allegro.h>

#include <cstdio>

int main(int argc, char **argv)
{
   if (argc != 2) {
      std::fprintf(stderr, "usage: midi_length FILE.mid\n");
      return 2;
   }
   if (allegro_init() != 0 || install_timer() != 0) {
      std::fprintf(stderr, "midi_length: cannot start Allegro\n");
      return 1;
   }
   MIDI *midi = load_midi(argv[1]);
   if (!midi) {
      std::fprintf(stderr, "midi_length: cannot load %s\n", argv[1]);
      return 1;
   }
   std::printf("%d\n", get_midi_length(midi));
   destroy_midi(midi);
   return 0;
}
END_OF_MAIN()
