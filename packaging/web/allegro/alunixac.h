/* What the browser's C library offers Allegro. No threads (the timer queue
 * is advanced wherever the program waits, so ALLEGRO_MULTITHREADED stays
 * off), no X11, no loadable modules, no OSS or ALSA. */
#define ALLEGRO_COLOR8
#define ALLEGRO_COLOR16
#define ALLEGRO_COLOR24
#define ALLEGRO_COLOR32

#define ALLEGRO_HAVE_DIRENT_H 1
#define ALLEGRO_HAVE_INTTYPES_H 1
#define ALLEGRO_HAVE_STDINT_H 1
#define ALLEGRO_HAVE_SYS_STAT_H 1
#define ALLEGRO_HAVE_SYS_TIME_H 1
#define ALLEGRO_HAVE_SYS_UTSNAME_H 1

#define ALLEGRO_HAVE_MEMCMP 1
#define ALLEGRO_HAVE_MKSTEMP 1
#define ALLEGRO_HAVE_SYSCONF 1

#define ALLEGRO_LITTLE_ENDIAN 1
