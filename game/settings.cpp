#include "settings.h"

#include <allegro.h>

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform.h"
#include "settingsfolder.h"

static const char kSettingsName[] = "kelwyrm.cfg";
static const std::string kByteOrderMark = "\xEF\xBB\xBF";

enum SettingKind { SETTING_KEY, SETTING_BUTTON, SETTING_SCALE, SETTING_FULLSCREEN, SETTING_SOUND };

// One entry per setting the file may hold, found by section and name.
struct Setting {
   const char *section;
   const char *name;
   SettingKind kind;
   int ControlBindings::*binding;   // keys and buttons only
};

static const Setting kSettings[] = {
   {"keys", "left", SETTING_KEY, &ControlBindings::left},
   {"keys", "right", SETTING_KEY, &ControlBindings::right},
   {"keys", "jump", SETTING_KEY, &ControlBindings::jump},
   {"keys", "fire", SETTING_KEY, &ControlBindings::fire},
   {"keys", "pause", SETTING_KEY, &ControlBindings::pause},
   {"gamepad", "jump", SETTING_BUTTON, &ControlBindings::padjump},
   {"gamepad", "fire", SETTING_BUTTON, &ControlBindings::padfire},
   {"gamepad", "start", SETTING_BUTTON, &ControlBindings::padstart},
   {"options", "scale", SETTING_SCALE, nullptr},
   {"options", "fullscreen", SETTING_FULLSCREEN, nullptr},
   {"options", "sound", SETTING_SOUND, nullptr},
};

// Allegro's key names, as its KEY_ constants spell them. Escape is left
// out: it always quits.
struct KeyName {
   const char *name;
   int scancode;
};
#define KEY_NAME(k) {#k, KEY_##k}
static const KeyName kKeyNames[] = {
   KEY_NAME(A), KEY_NAME(B), KEY_NAME(C), KEY_NAME(D), KEY_NAME(E), KEY_NAME(F), KEY_NAME(G),
   KEY_NAME(H), KEY_NAME(I), KEY_NAME(J), KEY_NAME(K), KEY_NAME(L), KEY_NAME(M), KEY_NAME(N),
   KEY_NAME(O), KEY_NAME(P), KEY_NAME(Q), KEY_NAME(R), KEY_NAME(S), KEY_NAME(T), KEY_NAME(U),
   KEY_NAME(V), KEY_NAME(W), KEY_NAME(X), KEY_NAME(Y), KEY_NAME(Z),
   KEY_NAME(0), KEY_NAME(1), KEY_NAME(2), KEY_NAME(3), KEY_NAME(4), KEY_NAME(5), KEY_NAME(6),
   KEY_NAME(7), KEY_NAME(8), KEY_NAME(9),
   KEY_NAME(0_PAD), KEY_NAME(1_PAD), KEY_NAME(2_PAD), KEY_NAME(3_PAD), KEY_NAME(4_PAD),
   KEY_NAME(5_PAD), KEY_NAME(6_PAD), KEY_NAME(7_PAD), KEY_NAME(8_PAD), KEY_NAME(9_PAD),
   KEY_NAME(F1), KEY_NAME(F2), KEY_NAME(F3), KEY_NAME(F4), KEY_NAME(F5), KEY_NAME(F6),
   KEY_NAME(F7), KEY_NAME(F8), KEY_NAME(F9), KEY_NAME(F10), KEY_NAME(F11), KEY_NAME(F12),
   KEY_NAME(TILDE), KEY_NAME(MINUS), KEY_NAME(EQUALS), KEY_NAME(BACKSPACE), KEY_NAME(TAB),
   KEY_NAME(OPENBRACE), KEY_NAME(CLOSEBRACE), KEY_NAME(ENTER), KEY_NAME(COLON),
   KEY_NAME(QUOTE), KEY_NAME(BACKSLASH), KEY_NAME(BACKSLASH2), KEY_NAME(COMMA),
   KEY_NAME(STOP), KEY_NAME(SLASH), KEY_NAME(SPACE), KEY_NAME(INSERT), KEY_NAME(DEL),
   KEY_NAME(HOME), KEY_NAME(END), KEY_NAME(PGUP), KEY_NAME(PGDN), KEY_NAME(LEFT),
   KEY_NAME(RIGHT), KEY_NAME(UP), KEY_NAME(DOWN), KEY_NAME(SLASH_PAD), KEY_NAME(ASTERISK),
   KEY_NAME(MINUS_PAD), KEY_NAME(PLUS_PAD), KEY_NAME(DEL_PAD), KEY_NAME(ENTER_PAD),
   KEY_NAME(PRTSCR), KEY_NAME(PAUSE), KEY_NAME(LSHIFT), KEY_NAME(RSHIFT),
   KEY_NAME(LCONTROL), KEY_NAME(RCONTROL), KEY_NAME(ALT), KEY_NAME(ALTGR), KEY_NAME(LWIN),
   KEY_NAME(RWIN), KEY_NAME(MENU), KEY_NAME(SCRLOCK), KEY_NAME(NUMLOCK), KEY_NAME(CAPSLOCK),
};
#undef KEY_NAME

// Allegro keeps at most this many buttons for a joystick.
constexpr int kMaxPadButton = MAX_JOYSTICK_BUTTONS - 1;

std::string SettingsFile()
{
   std::string folder = SettingsFolder();
   return folder.empty() ? "" : folder + "/" + kSettingsName;
}

// A key by its Allegro name, in any case, with or without "KEY_"; 0 if none.
static int KeyByName(const char *text)
{
   if (strncasecmp(text, "KEY_", 4) == 0)
      text += 4;
   for (const KeyName &k : kKeyNames)
      if (strcasecmp(k.name, text) == 0)
         return k.scancode;
   return 0;
}

static bool ReadWhole(const char *text, int low, int high, int *out)
{
   char *end = nullptr;
   errno = 0;
   long n = strtol(text, &end, 10);
   if (errno != 0 || end == text || *end != '\0' || n < low || n > high)
      return false;
   *out = static_cast<int>(n);
   return true;
}

static bool ReadYesNo(const char *text, bool *out)
{
   for (const char *yes : {"yes", "on", "true", "1"})
      if (strcasecmp(text, yes) == 0) {
         *out = true;
         return true;
      }
   for (const char *no : {"no", "off", "false", "0"})
      if (strcasecmp(text, no) == 0) {
         *out = false;
         return true;
      }
   return false;
}

// Sets what `value` names; null, or what the value should have been.
static const char *Apply(const Setting &s, const char *value, GameOptions *o)
{
   bool yes = false;
   switch (s.kind) {
   case SETTING_KEY: {
      int code = KeyByName(value);
      if (!code)
         return "wants one of Allegro's key names, such as LCONTROL, SPACE, X or F";
      o->controls.*s.binding = code;
      return nullptr;
   }
   case SETTING_BUTTON:
      return ReadWhole(value, 0, kMaxPadButton, &(o->controls.*s.binding))
                ? nullptr : "wants a button number from 0 to 31";
   case SETTING_SCALE:
      return ReadWhole(value, 1, kMaxScale, &o->scale) ? nullptr : "wants a scale from 1 to 4";
   case SETTING_FULLSCREEN:
      if (!ReadYesNo(value, &yes))
         return "wants yes or no";
      o->fullscreen = yes;
      return nullptr;
   case SETTING_SOUND:
      if (!ReadYesNo(value, &yes))
         return "wants yes or no";
      o->silent = !yes;
      return nullptr;
   }
   return nullptr;
}

// Sections and names match in any case and with spaces around them, as
// Allegro's own configuration files do, so "[ Keys ]" and "LEFT" count.
static const Setting *FindSetting(const std::string &section, const std::string &name)
{
   for (const Setting &s : kSettings)
      if (strcasecmp(section.c_str(), s.section) == 0 && strcasecmp(name.c_str(), s.name) == 0)
         return &s;
   return nullptr;
}

static std::string Trim(const std::string &s)
{
   size_t first = s.find_first_not_of(" \t\r");
   if (first == std::string::npos)
      return "";
   return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Length of the UTF-8 character at `at`: 0 when the bytes there are none.
static size_t CharLength(const std::string &s, size_t at)
{
   unsigned char c = s[at];
   size_t length = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3
                 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
   if (length == 0 || at + length > s.size())
      return 0;
   unsigned char second = length > 1 ? s[at + 1] : 0;
   // No overlong forms, no surrogates, nothing past U+10FFFF.
   if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) ||
       (c == 0xF0 && second < 0x90) || (c == 0xF4 && second > 0x8F))
      return 0;
   for (size_t i = 1; i < length; i++)
      if ((static_cast<unsigned char>(s[at + i]) & 0xC0) != 0x80)
         return 0;
   return length;
}

// Text is UTF-8 without control characters (a tab is a space here): a NUL
// would cut the value short, other bytes would reach the terminal.
static bool IsText(const std::string &line)
{
   for (size_t at = 0; at < line.size();) {
      size_t n = CharLength(line, at);
      unsigned char c = line[at];
      if (n == 0 || (n == 1 && ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F)))
         return false;
      at += n;
   }
   return true;
}

// The line as it may be shown on a terminal: bytes that are not printable
// text as \xNN, and no more than a line's worth of it.
static std::string Shown(const std::string &line)
{
   std::string out;
   size_t at = 0;
   while (at < line.size() && at < kShownEntryBytes) {
      size_t n = CharLength(line, at);
      unsigned char c = line[at];
      if (n == 0 || (n == 1 && (c < 0x20 || c == 0x7F || c == '\\'))) {
         char escaped[5];
         snprintf(escaped, sizeof escaped, "\\x%02X", c);
         out += escaped;
         n = 1;
      } else
         out.append(line, at, n);
      at += n;
   }
   if (at < line.size())
      out += "...";
   return out;
}

// The messages of one reading: the first kMaxSettingsMessages, then how many more.
struct Report {
   const char *file;
   FILE *errors;
   int count = 0;

   void Line(int line, const std::string &section, const std::string &entry, const char *why,
             const char *then)
   {
      if (++count <= kMaxSettingsMessages)
         fprintf(errors, "game: %s:%d: [%s] %s: %s; %s\n", file, line, Shown(section).c_str(),
                 Shown(entry).c_str(), why, then);
   }
   void Finish()
   {
      if (count > kMaxSettingsMessages)
         fprintf(errors, "game: %s: and %d more lines like these\n", file,
                 count - kMaxSettingsMessages);
   }
};

static bool ReadText(const char *file, std::string *text, FILE *errors)
{
   std::string error;
   switch (ReadRegularFile(file, kMaxSettingsBytes, *text, error)) {
   case REGULAR_FILE:
      return true;
   case REGULAR_MISSING:
      return false;
   case REGULAR_NOT_A_FILE:
      fprintf(errors, "game: %s: not a regular file; the usual settings are used\n", file);
      return false;
   case REGULAR_TOO_BIG:
      fprintf(errors, "game: %s: larger than %d KiB; the usual settings are used\n", file,
              (int)(kMaxSettingsBytes / 1024));
      return false;
   case REGULAR_UNREADABLE:
      fprintf(errors, "game: %s: cannot be read (%s); the usual settings are used\n", file,
              error.c_str());
      return false;
   }
   return false;
}

// The keys the game's actions are read from: the bound ones, and the usual
// ones that the controls fold them into each pass. A pause on one of them
// would pause on every step or jump.
static bool ActionUses(const ControlBindings &c, int scancode)
{
   for (int k : {c.left, c.right, c.jump, c.fire, (int)KEY_LEFT, (int)KEY_RIGHT, (int)KEY_SPACE,
                 (int)KEY_LCONTROL})
      if (k == scancode)
         return true;
   return false;
}

// Where an entry that was applied stands, for a message about it later.
struct Applied {
   const Setting *setting;
   int line;
   std::string section;
   std::string entry;
};

// The pause key must stay apart from the actions' keys. A pause entry that
// clashes is refused; when the usual pause key clashes with an action's
// entry, that entry is.
static void KeepPauseApart(const std::vector<Applied> &applied, GameOptions *out, Report &report)
{
   ControlBindings usual;
   for (const Applied &a : applied)
      if (a.setting->binding == &ControlBindings::pause && ActionUses(out->controls,
                                                                      out->controls.pause)) {
         report.Line(a.line, a.section, a.entry,
                     "wants a key that left, right, jump and fire do not use", "the default is kept");
         out->controls.pause = usual.pause;
      }
   for (const Applied &a : applied)
      if (a.setting->kind == SETTING_KEY && a.setting->binding != &ControlBindings::pause &&
          out->controls.*a.setting->binding == out->controls.pause) {
         report.Line(a.line, a.section, a.entry, "that is the pause key", "the default is kept");
         out->controls.*a.setting->binding = usual.*a.setting->binding;
      }
}

// One walk over the lines finds and applies every entry, so what a message
// calls ignored is ignored, and the first of two entries is the one used.
void ReadSettings(const char *file, GameOptions *out, FILE *errors)
{
   std::string text;
   if (!file || !*file || !ReadText(file, &text, errors))
      return;
   Report report{file, errors};
   std::string section;
   std::vector<Applied> applied;
   std::vector<const Setting *> seen;
   // Editors on Windows start UTF-8 files with a byte-order mark.
   size_t start = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0
                     ? kByteOrderMark.size() : 0;
   for (int line = 1; start < text.size(); line++) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos)
         end = text.size();
      std::string entry = Trim(text.substr(start, end - start));
      start = end + 1;
      if (!IsText(entry)) {
         report.Line(line, section, entry, "not UTF-8 text", "it is ignored");
         // The entries under a section that cannot be read are not its.
         if (!entry.empty() && entry[0] == '[')
            section = entry;
         continue;
      }
      if (entry.empty() || entry[0] == '#')
         continue;
      if (entry[0] == '[' && entry.back() == ']') {
         section = Trim(entry.substr(1, entry.size() - 2));
         continue;
      }
      size_t equals = entry.find('=');
      std::string name = Trim(entry.substr(0, equals));
      const Setting *s = equals == std::string::npos ? nullptr : FindSetting(section, name);
      const char *why = nullptr;
      const char *then = "it is ignored";
      if (equals == std::string::npos)
         why = "not an entry (name = value)";
      else if (!s)
         why = "no such entry in this section";
      else if (std::find(seen.begin(), seen.end(), s) != seen.end())
         why = "given twice";
      else {
         seen.push_back(s);
         why = Apply(*s, Trim(entry.substr(equals + 1)).c_str(), out);
         then = "the default is kept";
         if (!why)
            applied.push_back({s, line, section, entry});
      }
      if (why)
         report.Line(line, section, entry, why, then);
   }
   KeepPauseApart(applied, out, report);
   report.Finish();
}
