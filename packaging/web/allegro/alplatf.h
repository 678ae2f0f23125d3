/* Allegro's platform configuration for the browser build: the Unix headers
 * (emscripten offers a POSIX C library) with the portable C routines only. */
#define ALLEGRO_UNIX
#define ALLEGRO_NO_ASM
#define ALLEGRO_USE_C
