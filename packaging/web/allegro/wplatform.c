/*
 * Allegro's platform for the browser (emscripten, built with ASYNCIFY).
 *
 * There are no threads: Allegro's timer queue is advanced from the time
 * that has passed wherever the program waits (rest, yield, the display's
 * release) and when the page pulls sound. A wait is an emscripten_sleep,
 * which hands control back to the browser: only then do its animation
 * frames, input events and audio callbacks run, and they call in here
 * (web_frame, web_key, web_mouse, web_mix) without any race.
 *
 * The screen is a memory bitmap; every animation frame converts it to RGBA
 * for the page's canvas. Keys come from the DOM's physical key codes, the
 * mouse in canvas pixels, a gamepad from the Gamepad API, and sound from
 * Allegro's own software mixer pulled by Web Audio (MIDI plays through the
 * unchanged DIGMID driver).
 *
 * The page's script (kelwyrm-page.js) supplies the Module.kelwyrm* hooks.
 */

#include "allegro.h"
#include "allegro/internal/aintern.h"
#include "allegro/platform/aintunix.h"

#include <emscripten.h>
#include <stdlib.h>
#include <string.h>

#define SYSTEM_WEB   AL_ID('W','E','B','S')
#define GFX_WEB      AL_ID('W','E','B','G')
#define GFX_WEB_FULL AL_ID('W','E','B','F')
#define KEYBOARD_WEB AL_ID('W','E','B','K')
#define MOUSE_WEB    AL_ID('W','E','B','M')
#define TIMER_WEB    AL_ID('W','E','B','T')
#define DIGI_WEB     AL_ID('W','E','B','D')
#define JOY_WEB      AL_ID('W','E','B','J')

/* A tab in the background gets no time for seconds: the timers catch up by
 * at most this much, so coming back does not fast-forward. */
#define MAX_CATCH_UP_MS 100.0
/* A program that never rests (the game with --fast) still hands the page a
 * moment this often, so the tab keeps drawing and answering. */
#define YIELD_EVERY_MS 50.0
/* Sound frames mixed per pull: a power of two that Web Audio takes. */
#define MIX_FRAMES 1024
#define PAD_BUTTONS 16
#define PAD_AXES 4

int __crt0_argc;
char **__crt0_argv;

static double last_tick_ms;
static double last_yield_ms;

/* ---- the page's hooks ------------------------------------------------ */

EM_JS(void, web_program_name, (char *out, int size), {
   stringToUTF8(Module.thisProgram || 'program', out, size);
});

EM_JS(void, web_show_message, (const char *text), {
   Module.kelwyrmShowMessage(UTF8ToString(text));
});

EM_JS(int, web_message_open, (void), {
   return Module.kelwyrmMessageOpen() ? 1 : 0;
});

EM_JS(void, web_open_canvas, (int w, int h), {
   Module.kelwyrmOpenCanvas(w, h);
});

EM_JS(int, web_audio_rate, (int frames), {
   return Module.kelwyrmStartAudio(frames);
});

EM_JS(void, web_audio_stop, (void), {
   Module.kelwyrmStopAudio();
});

EM_JS(int, web_read_pad, (int *buttons, int nbuttons, float *axes, int naxes), {
   return Module.kelwyrmReadPad(buttons, nbuttons, axes, naxes);
});

EM_JS(void, web_screen_size, (int *w, int *h), {
   HEAP32[w >> 2] = window.screen.width;
   HEAP32[h >> 2] = window.screen.height;
});

/* ---- time ------------------------------------------------------------ */

/* Runs Allegro's timer queue for the time passed since it last ran. */
static void advance_timers(void)
{
   double now = emscripten_get_now();
   double gap = now - last_tick_ms;
   last_tick_ms = now;
   if (!_timer_installed || gap <= 0)
      return;
   if (gap > MAX_CATCH_UP_MS)
      gap = MAX_CATCH_UP_MS;
   _handle_timer_tick((int)(gap * TIMERS_PER_SECOND / 1000.0));
}

static void wait_ms(double ms)
{
   advance_timers();
   emscripten_sleep(ms > 0 ? (unsigned int)ms : 0);
   last_yield_ms = emscripten_get_now();
   advance_timers();
}

/* For programs that do not rest: lets the page in now and then. */
static void yield_now_and_then(void)
{
   if (emscripten_get_now() - last_yield_ms >= YIELD_EVERY_MS)
      wait_ms(0);
   else
      advance_timers();
}

static int timer_web_init(void)
{
   last_tick_ms = last_yield_ms = emscripten_get_now();
   return 0;
}

static void timer_web_exit(void)
{
}

static void timer_web_rest(unsigned int time, void (*callback)(void))
{
   double end = emscripten_get_now() + time;
   for (;;) {
      double left = end - emscripten_get_now();
      if (callback)
         callback();
      if (left <= 0)
         break;
      /* With a callback, it is called at least once a millisecond or so. */
      wait_ms(callback ? 1 : left);
   }
   advance_timers();
}

static TIMER_DRIVER timer_web = {
   TIMER_WEB, empty_string, empty_string, "Browser timers",
   timer_web_init, timer_web_exit,
   NULL, NULL, NULL, NULL, NULL, NULL,
   timer_web_rest
};

/* ---- system ---------------------------------------------------------- */

static void (*close_button_proc)(void);

static int sys_web_init(void)
{
   os_type = OSTYPE_UNIX;
   os_multitasking = TRUE;
   last_tick_ms = last_yield_ms = emscripten_get_now();
   return 0;
}

static void sys_web_exit(void)
{
}

/* The shipped data sit in /data, as the programs sit beside theirs. */
static void sys_web_get_executable_name(char *output, int size)
{
   char name[64];
   web_program_name(name, sizeof name);
   snprintf(output, size, "/data/%s", name);
}

static int sys_web_set_close_button_callback(void (*proc)(void))
{
   close_button_proc = proc;
   return 0;
}

/* Blocks as a message box does: the page shows the text over the canvas
 * until OK or Enter, and the program waits for that. */
static void sys_web_message(const char *msg)
{
   web_show_message(msg);
   while (web_message_open())
      wait_ms(20);
}

static void sys_web_yield(void)
{
   wait_ms(0);
}

static int sys_web_desktop_color_depth(void)
{
   return 32;
}

static int sys_web_get_desktop_resolution(int *w, int *h)
{
   web_screen_size(w, h);
   return 0;
}

static SYSTEM_DRIVER system_web = {
   SYSTEM_WEB, empty_string, empty_string, "Web browser",
   sys_web_init, sys_web_exit,
   sys_web_get_executable_name,
   NULL,                                /* find_resource */
   NULL,                                /* set_window_title */
   sys_web_set_close_button_callback,
   sys_web_message,
   NULL, NULL, NULL,                    /* assert, console state */
   NULL, NULL, NULL, NULL, NULL,        /* bitmaps */
   NULL, NULL, NULL,                    /* palette, vtable */
   NULL, NULL,                          /* display switching */
   sys_web_desktop_color_depth,
   sys_web_get_desktop_resolution,
   NULL,                                /* get_gfx_safe_mode */
   sys_web_yield,
   NULL, NULL, NULL, NULL,              /* mutexes */
   NULL, NULL, NULL, NULL, NULL, NULL, NULL
};

/* ---- graphics -------------------------------------------------------- */

static unsigned char *screen_memory;
static unsigned char *rgba;
static unsigned int palette_rgba[256];
static GFX_VTABLE screen_vtable;
static void (*memory_release)(BITMAP *);

static void gfx_web_set_palette(const RGB *p, int from, int to, int retracesync)
{
   int i;
   (void)retracesync;
   for (i = from; i <= to; i++)
      palette_rgba[i] = _rgb_scale_6[p[i].r] | (_rgb_scale_6[p[i].g] << 8) |
                        (_rgb_scale_6[p[i].b] << 16) | 0xFF000000u;
}

/* Each finished drawing on the screen is a chance to let the page in. */
static void screen_release(BITMAP *bmp)
{
   if (memory_release)
      memory_release(bmp);
   yield_now_and_then();
}

static BITMAP *gfx_web_init(GFX_DRIVER *drv, int w, int h, int v_w, int v_h, int depth)
{
   BITMAP *b;
   int bpp = BYTES_PER_PIXEL(depth);
   GFX_VTABLE *vtable = _get_vtable(depth);
   if (!vtable || (v_w && v_w != w) || (v_h && v_h != h) || w <= 0 || h <= 0) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Unsupported screen size"));
      return NULL;
   }
   screen_memory = calloc((size_t)w * h, bpp);
   rgba = calloc((size_t)w * h, 4);
   if (!screen_memory || !rgba)
      return NULL;
   screen_vtable = *vtable;
   memory_release = vtable->release;
   screen_vtable.release = screen_release;
   b = _make_bitmap(w, h, (uintptr_t)screen_memory, drv, depth, w * bpp);
   if (!b)
      return NULL;
   b->vtable = &screen_vtable;
   drv->w = w;
   drv->h = h;
   drv->vid_mem = w * h * bpp;
   web_open_canvas(w, h);
   return b;
}

static GFX_DRIVER gfx_web, gfx_web_full;

static BITMAP *gfx_web_window(int w, int h, int v_w, int v_h, int depth)
{
   return gfx_web_init(&gfx_web, w, h, v_w, v_h, depth);
}

static BITMAP *gfx_web_whole(int w, int h, int v_w, int v_h, int depth)
{
   return gfx_web_init(&gfx_web_full, w, h, v_w, v_h, depth);
}

static void gfx_web_exit(BITMAP *b)
{
   (void)b;
   free(screen_memory);
   free(rgba);
   screen_memory = rgba = NULL;
}

#define GFX_WEB_DRIVER(id, name, init, windowed)                       \
   {  id, empty_string, empty_string, name, init, gfx_web_exit,          \
      NULL, NULL, gfx_web_set_palette, NULL, NULL, NULL, NULL, NULL,     \
      NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,  \
      NULL, NULL, 0, 0, TRUE, 0, 0, 0, 0, windowed }

static GFX_DRIVER gfx_web = GFX_WEB_DRIVER(GFX_WEB, "Browser canvas", gfx_web_window, TRUE);
/* "Full screen" is the same canvas: the page scales it to the window. */
static GFX_DRIVER gfx_web_full = GFX_WEB_DRIVER(GFX_WEB_FULL, "Browser canvas, whole page",
                                                gfx_web_whole, FALSE);

/* The screen as RGBA for the canvas, or 0 while there is none. */
EMSCRIPTEN_KEEPALIVE unsigned char *web_frame(void)
{
   int x, y, i = 0;
   unsigned int *out = (unsigned int *)rgba;
   if (!screen || !screen_memory || !rgba)
      return 0;
   if (bitmap_color_depth(screen) == 8) {
      int n = screen->w * screen->h;
      for (i = 0; i < n; i++)
         out[i] = palette_rgba[screen_memory[i]];
      return rgba;
   }
   for (y = 0; y < screen->h; y++)
      for (x = 0; x < screen->w; x++) {
         int c = getpixel(screen, x, y);
         out[i++] = getr(c) | (getg(c) << 8) | (getb(c) << 16) | 0xFF000000u;
      }
   return rgba;
}

/* ---- keyboard -------------------------------------------------------- */

struct key_code {
   const char *code;
   int scancode;
};

/* DOM physical key codes, so that keys sit where they do on a PC keyboard. */
static const struct key_code key_codes[] = {
   {"KeyA", KEY_A}, {"KeyB", KEY_B}, {"KeyC", KEY_C}, {"KeyD", KEY_D}, {"KeyE", KEY_E},
   {"KeyF", KEY_F}, {"KeyG", KEY_G}, {"KeyH", KEY_H}, {"KeyI", KEY_I}, {"KeyJ", KEY_J},
   {"KeyK", KEY_K}, {"KeyL", KEY_L}, {"KeyM", KEY_M}, {"KeyN", KEY_N}, {"KeyO", KEY_O},
   {"KeyP", KEY_P}, {"KeyQ", KEY_Q}, {"KeyR", KEY_R}, {"KeyS", KEY_S}, {"KeyT", KEY_T},
   {"KeyU", KEY_U}, {"KeyV", KEY_V}, {"KeyW", KEY_W}, {"KeyX", KEY_X}, {"KeyY", KEY_Y},
   {"KeyZ", KEY_Z},
   {"Digit0", KEY_0}, {"Digit1", KEY_1}, {"Digit2", KEY_2}, {"Digit3", KEY_3},
   {"Digit4", KEY_4}, {"Digit5", KEY_5}, {"Digit6", KEY_6}, {"Digit7", KEY_7},
   {"Digit8", KEY_8}, {"Digit9", KEY_9},
   {"Numpad0", KEY_0_PAD}, {"Numpad1", KEY_1_PAD}, {"Numpad2", KEY_2_PAD},
   {"Numpad3", KEY_3_PAD}, {"Numpad4", KEY_4_PAD}, {"Numpad5", KEY_5_PAD},
   {"Numpad6", KEY_6_PAD}, {"Numpad7", KEY_7_PAD}, {"Numpad8", KEY_8_PAD},
   {"Numpad9", KEY_9_PAD},
   {"F1", KEY_F1}, {"F2", KEY_F2}, {"F3", KEY_F3}, {"F4", KEY_F4}, {"F5", KEY_F5},
   {"F6", KEY_F6}, {"F7", KEY_F7}, {"F8", KEY_F8}, {"F9", KEY_F9}, {"F10", KEY_F10},
   {"F11", KEY_F11}, {"F12", KEY_F12},
   {"Escape", KEY_ESC}, {"Backquote", KEY_TILDE}, {"Minus", KEY_MINUS},
   {"Equal", KEY_EQUALS}, {"Backspace", KEY_BACKSPACE}, {"Tab", KEY_TAB},
   {"BracketLeft", KEY_OPENBRACE}, {"BracketRight", KEY_CLOSEBRACE}, {"Enter", KEY_ENTER},
   {"Semicolon", KEY_COLON}, {"Quote", KEY_QUOTE}, {"Backslash", KEY_BACKSLASH},
   {"IntlBackslash", KEY_BACKSLASH2}, {"Comma", KEY_COMMA}, {"Period", KEY_STOP},
   {"Slash", KEY_SLASH}, {"Space", KEY_SPACE},
   {"Insert", KEY_INSERT}, {"Delete", KEY_DEL}, {"Home", KEY_HOME}, {"End", KEY_END},
   {"PageUp", KEY_PGUP}, {"PageDown", KEY_PGDN},
   {"ArrowLeft", KEY_LEFT}, {"ArrowRight", KEY_RIGHT}, {"ArrowUp", KEY_UP},
   {"ArrowDown", KEY_DOWN},
   {"NumpadDivide", KEY_SLASH_PAD}, {"NumpadMultiply", KEY_ASTERISK},
   {"NumpadSubtract", KEY_MINUS_PAD}, {"NumpadAdd", KEY_PLUS_PAD},
   {"NumpadDecimal", KEY_DEL_PAD}, {"NumpadEnter", KEY_ENTER_PAD},
   {"PrintScreen", KEY_PRTSCR}, {"Pause", KEY_PAUSE},
   {"ShiftLeft", KEY_LSHIFT}, {"ShiftRight", KEY_RSHIFT},
   {"ControlLeft", KEY_LCONTROL}, {"ControlRight", KEY_RCONTROL},
   {"AltLeft", KEY_ALT}, {"AltRight", KEY_ALTGR},
   {"MetaLeft", KEY_LWIN}, {"MetaRight", KEY_RWIN}, {"ContextMenu", KEY_MENU},
   {"ScrollLock", KEY_SCRLOCK}, {"NumLock", KEY_NUMLOCK}, {"CapsLock", KEY_CAPSLOCK},
};

static int shift_flag(int scancode)
{
   switch (scancode) {
   case KEY_LSHIFT: case KEY_RSHIFT: return KB_SHIFT_FLAG;
   case KEY_LCONTROL: case KEY_RCONTROL: return KB_CTRL_FLAG;
   case KEY_ALT: return KB_ALT_FLAG;
   case KEY_ALTGR: return KB_ALT_FLAG;
   case KEY_LWIN: return KB_LWIN_FLAG;
   case KEY_RWIN: return KB_RWIN_FLAG;
   case KEY_MENU: return KB_MENU_FLAG;
   default: return 0;
   }
}

static int keyboard_on;

/* A key the page saw; `ascii` is the character it types (0 for none).
 * Returns 1 when it is a key of the program's, which the page then keeps
 * from the browser (no scrolling, no help, no reload). */
EMSCRIPTEN_KEEPALIVE int web_key(const char *code, int ascii, int down)
{
   size_t i;
   for (i = 0; i < sizeof key_codes / sizeof key_codes[0]; i++) {
      int scancode = key_codes[i].scancode, flag;
      if (strcmp(key_codes[i].code, code) != 0)
         continue;
      if (!keyboard_on)
         return 1;
      flag = shift_flag(scancode);
      if (flag)
         _key_shifts = down ? (_key_shifts | flag) : (_key_shifts & ~flag);
      if (down)
         _handle_key_press(flag ? -1 : ascii, scancode);
      else
         _handle_key_release(scancode);
      return 1;
   }
   return 0;
}

static int key_web_init(void)
{
   keyboard_on = TRUE;
   return 0;
}

static void key_web_exit(void)
{
   keyboard_on = FALSE;
}

/* Key events arrive while the program waits; a program that polls instead
 * of waiting lets the page in here. */
static void key_web_poll(void)
{
   yield_now_and_then();
}

/* The browser repeats held keys itself; Allegro's own repeat timer would
 * press a key again that was let go while its timers stood still. */
static KEYBOARD_DRIVER keyboard_web = {
   KEYBOARD_WEB, empty_string, empty_string, "Browser keyboard", FALSE,
   key_web_init, key_web_exit, key_web_poll,
   NULL, NULL, NULL, NULL, NULL, NULL
};

/* ---- mouse ----------------------------------------------------------- */

static int mouse_on;
static int mickey_x, mickey_y, mouse_min_x, mouse_min_y, mouse_max_x = 319, mouse_max_y = 199;

static int clamp(int v, int lo, int hi)
{
   return v < lo ? lo : v > hi ? hi : v;
}

/* Position in screen pixels and the buttons held (bit 0 left, 1 right, 2 middle). */
EMSCRIPTEN_KEEPALIVE void web_mouse(int x, int y, int buttons, int wheel)
{
   if (!mouse_on)
      return;
   mickey_x += x - _mouse_x;
   mickey_y += y - _mouse_y;
   _mouse_x = clamp(x, mouse_min_x, mouse_max_x);
   _mouse_y = clamp(y, mouse_min_y, mouse_max_y);
   _mouse_b = buttons;
   _mouse_z += wheel;
   _handle_mouse_input();
}

static int mouse_web_init(void)
{
   mouse_on = TRUE;
   return 3;
}

static void mouse_web_exit(void)
{
   mouse_on = FALSE;
}

static void mouse_web_position(int x, int y)
{
   _mouse_x = x;
   _mouse_y = y;
   mickey_x = mickey_y = 0;
}

static void mouse_web_set_range(int x1, int y1, int x2, int y2)
{
   mouse_min_x = x1;
   mouse_min_y = y1;
   mouse_max_x = x2;
   mouse_max_y = y2;
}

static void mouse_web_get_mickeys(int *mx, int *my)
{
   *mx = mickey_x;
   *my = mickey_y;
   mickey_x = mickey_y = 0;
}

static MOUSE_DRIVER mouse_web = {
   MOUSE_WEB, empty_string, empty_string, "Browser mouse",
   mouse_web_init, mouse_web_exit, NULL, NULL,
   mouse_web_position, mouse_web_set_range, NULL, mouse_web_get_mickeys,
   NULL, NULL, NULL
};

/* ---- gamepad --------------------------------------------------------- */

/* The Gamepad API's standard layout: A, B, X, Y, shoulders, triggers,
 * back, start, stick presses, then the d-pad (12 up .. 15 right), which is
 * reported as the last stick as a Linux pad reports its hat. */
#define PAD_DPAD_UP 12
#define PAD_DPAD_DOWN 13
#define PAD_DPAD_LEFT 14
#define PAD_DPAD_RIGHT 15
#define PAD_AXIS_DEAD 0.5f

static void set_axis(JOYSTICK_AXIS_INFO *a, float v)
{
   a->pos = (int)(v * 128);
   a->d1 = v < -PAD_AXIS_DEAD;
   a->d2 = v > PAD_AXIS_DEAD;
}

static int joy_web_poll(void)
{
   int buttons[PAD_BUTTONS], i;
   float axes[PAD_AXES];
   JOYSTICK_INFO *j = &joy[0];
   if (!web_read_pad(buttons, PAD_BUTTONS, axes, PAD_AXES))
      return 0;
   for (i = 0; i < j->num_buttons; i++)
      j->button[i].b = buttons[i];
   set_axis(&j->stick[0].axis[0], axes[0]);
   set_axis(&j->stick[0].axis[1], axes[1]);
   set_axis(&j->stick[1].axis[0], axes[2]);
   set_axis(&j->stick[1].axis[1], axes[3]);
   set_axis(&j->stick[2].axis[0], buttons[PAD_DPAD_LEFT] ? -1.0f : buttons[PAD_DPAD_RIGHT]);
   set_axis(&j->stick[2].axis[1], buttons[PAD_DPAD_UP] ? -1.0f : buttons[PAD_DPAD_DOWN]);
   return 0;
}

static int joy_web_init(void)
{
   static const char *const axis_names[2] = {"X", "Y"};
   int buttons[PAD_BUTTONS], i, s;
   float axes[PAD_AXES];
   if (!web_read_pad(buttons, PAD_BUTTONS, axes, PAD_AXES))
      return -1;
   num_joysticks = 1;
   memset(&joy[0], 0, sizeof joy[0]);
   joy[0].flags = JOYFLAG_ANALOGUE | JOYFLAG_DIGITAL;
   joy[0].num_sticks = 3;
   for (s = 0; s < 3; s++) {
      joy[0].stick[s].flags = JOYFLAG_ANALOGUE | JOYFLAG_DIGITAL | JOYFLAG_SIGNED;
      joy[0].stick[s].num_axis = 2;
      joy[0].stick[s].name = s == 2 ? "D-pad" : s ? "Right stick" : "Left stick";
      for (i = 0; i < 2; i++)
         joy[0].stick[s].axis[i].name = axis_names[i];
   }
   joy[0].num_buttons = PAD_DPAD_UP;
   for (i = 0; i < joy[0].num_buttons; i++)
      joy[0].button[i].name = "";
   joy_web_poll();
   return 0;
}

static void joy_web_exit(void)
{
}

static JOYSTICK_DRIVER joystick_web = {
   JOY_WEB, empty_string, empty_string, "Browser gamepad",
   joy_web_init, joy_web_exit, joy_web_poll, NULL, NULL, NULL, NULL
};

/* ---- sound ----------------------------------------------------------- */

static short *mix_buffer;
static DIGI_DRIVER digi_web;

static int digi_web_detect(int input)
{
   return !input;
}

static int digi_web_init(int input, int voices)
{
   int rate;
   if (input)
      return -1;
   rate = web_audio_rate(MIX_FRAMES);
   if (rate <= 0) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("No Web Audio in this browser"));
      return -1;
   }
   _sound_freq = rate;
   _sound_bits = 16;
   _sound_stereo = TRUE;
   /* The mixer plays as many voices as it is asked for, up to its most. */
   digi_web.voices = voices;
   mix_buffer = malloc(MIX_FRAMES * 2 * sizeof(short));
   if (!mix_buffer || _mixer_init(MIX_FRAMES * 2, rate, TRUE, TRUE, &digi_web.voices) != 0)
      return -1;
   return 0;
}

static void digi_web_exit(int input)
{
   (void)input;
   web_audio_stop();
   _mixer_exit();
   free(mix_buffer);
   mix_buffer = NULL;
}

static int digi_web_buffer_size(void)
{
   return MIX_FRAMES;
}

/* The next MIX_FRAMES stereo frames, signed 16 bits, for Web Audio. */
EMSCRIPTEN_KEEPALIVE short *web_mix(void)
{
   if (!mix_buffer)
      return 0;
   advance_timers();
   _mix_some_samples((uintptr_t)mix_buffer, 0, TRUE);
   return mix_buffer;
}

static DIGI_DRIVER digi_web = {
   DIGI_WEB, empty_string, empty_string, "Web Audio",
   0, 0, MIXER_MAX_SFX, MIXER_DEF_SFX,
   digi_web_detect, digi_web_init, digi_web_exit, NULL, NULL,
   NULL, NULL, digi_web_buffer_size,
   _mixer_init_voice, _mixer_release_voice, _mixer_start_voice, _mixer_stop_voice,
   _mixer_loop_voice,
   _mixer_get_position, _mixer_set_position,
   _mixer_get_volume, _mixer_set_volume, _mixer_ramp_volume, _mixer_stop_volume_ramp,
   _mixer_get_frequency, _mixer_set_frequency, _mixer_sweep_frequency,
   _mixer_stop_frequency_sweep,
   _mixer_get_pan, _mixer_set_pan, _mixer_sweep_pan, _mixer_stop_pan_sweep,
   _mixer_set_echo, _mixer_set_tremolo, _mixer_set_vibrato,
   0, 0, NULL, NULL, NULL, NULL, NULL, NULL
};

/* ---- the driver lists ------------------------------------------------ */

_DRIVER_INFO _system_driver_list[] = {
   {SYSTEM_WEB, &system_web, TRUE},
   {SYSTEM_NONE, &system_none, FALSE},
   {0, NULL, 0}
};

_DRIVER_INFO _timer_driver_list[] = {
   {TIMER_WEB, &timer_web, TRUE},
   {0, NULL, 0}
};

_DRIVER_INFO _keyboard_driver_list[] = {
   {KEYBOARD_WEB, &keyboard_web, TRUE},
   {0, NULL, 0}
};

_DRIVER_INFO _mouse_driver_list[] = {
   {MOUSE_WEB, &mouse_web, TRUE},
   {0, NULL, 0}
};

_DRIVER_INFO _gfx_driver_list[] = {
   {GFX_WEB, &gfx_web, TRUE},
   {GFX_WEB_FULL, &gfx_web_full, TRUE},
   {0, NULL, 0}
};

_DRIVER_INFO _digi_driver_list[] = {
   {DIGI_WEB, &digi_web, TRUE},
   {0, NULL, 0}
};

BEGIN_MIDI_DRIVER_LIST
   MIDI_DRIVER_DIGMID
END_MIDI_DRIVER_LIST

BEGIN_JOYSTICK_DRIVER_LIST
   {JOY_WEB, &joystick_web, TRUE},
END_JOYSTICK_DRIVER_LIST
