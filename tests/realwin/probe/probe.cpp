// A tiny Allegro program that the real-window harness drives in its own
// self-test. It behaves like the game where the harness cares: a 320 x 240
// 8-bit window, one pass every 50 ms that polls `key`, `mouse_b`, `mouse_x`
// and `mouse_y`. Everything it notices goes to "probe.log" in the working
// directory, one line per event, so a test can compare what it sent with
// what the program saw.
//
// Keys: Left, Right, Space, left Ctrl are counted (frames held, logged on
// release); M shows a message box; S plays a beep; P writes the screen to
// "screenshot.bmp" as the game does; 1-9 exit with that status; Escape exits
// with 0. A file "nogfx" in the working directory makes it show a message
// and exit with 1 before opening its window.

#include <allegro.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

constexpr int kScreenW = 320;
constexpr int kScreenH = 240;
constexpr int kFrameMs = 50;

// Palette indices the harness self-test looks for in a capture.
constexpr int kBlack = 0;
constexpr int kRed = 1;
constexpr int kGreen = 2;
constexpr int kBlue = 3;
constexpr int kWhite = 4;
constexpr int kGrey = 5;

// The red block: 50 x 30 pixels with its top-left corner at (20, 20).
constexpr int kRedX = 20;
constexpr int kRedY = 20;
constexpr int kRedW = 50;
constexpr int kRedH = 30;
// The blue block: 20 x 20 at (100, 20).
constexpr int kBlueX = 100;
constexpr int kBlueY = 20;
constexpr int kBlueSide = 20;
// A grey block: 10 x 10 at (140, 20), 6-bit level 32 (what 128 becomes in
// an Allegro palette).
constexpr int kGreyX = 140;
constexpr int kGreyY = 20;
constexpr int kGreySide = 10;
constexpr int kGreyLevel = 32;
// A green horizontal line along row 200, columns 0-319.
constexpr int kGreenRow = 200;

constexpr int kBeepRate = 22050;
constexpr int kBeepLength = kBeepRate / 2;
constexpr int kBeepHz = 440;

struct CountedKey {
   int scancode;
   const char *name;
   int frames;
};

static CountedKey counted[] = {
   {KEY_LEFT, "Left", 0},
   {KEY_RIGHT, "Right", 0},
   {KEY_SPACE, "Space", 0},
   {KEY_LCONTROL, "LCtrl", 0},
};

static BITMAP *buffer = nullptr;
static SAMPLE *beep = nullptr;
static int last_buttons = 0;
static int frame = 0;
static bool m_was_down = false;
static bool s_was_down = false;
static bool p_was_down = false;
static PALETTE pal;

// Opens, appends and closes on every line so nothing is lost when the
// harness kills the program.
static void Log(const char *format, ...)
{
   FILE *f = fopen("probe.log", "a");
   if (!f)
      return;
   va_list args;
   va_start(args, format);
   vfprintf(f, format, args);
   va_end(args);
   fputc('\n', f);
   fclose(f);
}

static void SetProbePalette()
{
   for (int i = 0; i < PAL_SIZE; i++)
      pal[i].r = pal[i].g = pal[i].b = 0;
   pal[kRed].r = 63;
   pal[kGreen].g = 63;
   pal[kBlue].b = 63;
   pal[kWhite].r = pal[kWhite].g = pal[kWhite].b = 63;
   pal[kGrey].r = pal[kGrey].g = pal[kGrey].b = kGreyLevel;
   set_palette(pal);
}

// A half-second 440 Hz square wave, loud enough for any silence test.
static SAMPLE *MakeBeep()
{
   SAMPLE *s = create_sample(8, FALSE, kBeepRate, kBeepLength);
   if (!s)
      return nullptr;
   unsigned char *data = static_cast<unsigned char *>(s->data);
   int half_period = kBeepRate / kBeepHz / 2;
   for (int i = 0; i < kBeepLength; i++)
      data[i] = ((i / half_period) % 2) ? 0xE0 : 0x20;
   return s;
}

static void DrawPicture()
{
   clear_to_color(buffer, kBlack);
   rectfill(buffer, kRedX, kRedY, kRedX + kRedW - 1, kRedY + kRedH - 1, kRed);
   rectfill(buffer, kBlueX, kBlueY, kBlueX + kBlueSide - 1, kBlueY + kBlueSide - 1, kBlue);
   rectfill(buffer, kGreyX, kGreyY, kGreyX + kGreySide - 1, kGreyY + kGreySide - 1, kGrey);
   hline(buffer, 0, kGreenRow, kScreenW - 1, kGreen);
   textprintf_ex(buffer, font, 20, 100, kWhite, -1, "frame %d", frame);
   acquire_screen();
   blit(buffer, screen, 0, 0, 0, 0, kScreenW, kScreenH);
   release_screen();
}

static void CountKeys()
{
   for (CountedKey &k : counted) {
      if (key[k.scancode]) {
         k.frames++;
      } else if (k.frames > 0) {
         Log("key %s %d", k.name, k.frames);
         k.frames = 0;
      }
   }
}

static void WatchMouse()
{
   int buttons = mouse_b;
   for (int b = 0; b < 3; b++) {
      int bit = 1 << b;
      if ((buttons & bit) && !(last_buttons & bit))
         Log("mouse down %d %d %d", b + 1, mouse_x, mouse_y);
      if (!(buttons & bit) && (last_buttons & bit))
         Log("mouse up %d %d %d", b + 1, mouse_x, mouse_y);
   }
   last_buttons = buttons;
}

// Acts once per press: the harness holds a key for at least one pass.
static bool Pressed(int scancode, bool &was_down)
{
   bool down = key[scancode];
   bool fresh = down && !was_down;
   was_down = down;
   return fresh;
}

static void HandleCommands()
{
   if (Pressed(KEY_M, m_was_down)) {
      Log("message shown");
      allegro_message("Probe says: hello from the probe");
      Log("message closed");
   }
   if (Pressed(KEY_S, s_was_down)) {
      int voice = beep ? play_sample(beep, 255, 128, 1000, 0) : -1;
      Log("beep %d", voice);
   }
   if (Pressed(KEY_P, p_was_down))
      Log("screenshot %d", save_bmp("screenshot.bmp", screen, pal));
   for (int n = 1; n <= 9; n++) {
      if (key[KEY_1 + n - 1]) {
         Log("exit %d", n);
         exit(n);
      }
   }
}

int main()
{
   allegro_init();
   // Lets a test take the path of a program that fails before its window
   // opens, as the game does when it cannot set its graphics mode.
   if (exists("nogfx")) {
      allegro_message("Probe could not set GFX mode");
      return 1;
   }
   install_keyboard();
   install_mouse();
   install_timer();
   if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, kScreenW, kScreenH, 0, 0) != 0) {
      allegro_message("Probe could not set GFX mode");
      return 1;
   }
   set_window_title("probe");
   SetProbePalette();
   Log("sound %d", install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr));
   beep = MakeBeep();
   buffer = create_bitmap(kScreenW, kScreenH);
   Log("start");

   while (!key[KEY_ESC]) {
      CountKeys();
      WatchMouse();
      HandleCommands();
      DrawPicture();
      frame++;
      rest(kFrameMs);
   }
   Log("exit 0");
   return 0;
}
END_OF_MAIN()
