#include "settings.h"

#include <allegro.h>

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "settingsfolder.h"

static const char kSettingsName[] = "kelwyrm.cfg";

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

static const Setting *FindSetting(const std::string &section, const std::string &name)
{
   for (const Setting &s : kSettings)
      if (section == s.section && name == s.name)
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

static bool ReadText(const char *file, std::string *text, FILE *errors)
{
   FILE *f = fopen(file, "rb");
   if (!f) {
      if (errno != ENOENT)
         fprintf(errors, "game: %s: cannot be read (%s); the usual settings are used\n", file,
                 strerror(errno));
      return false;
   }
   char chunk[4096];
   size_t n;
   while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
      text->append(chunk, n);
   bool ok = !ferror(f);
   fclose(f);
   if (!ok)
      fprintf(errors, "game: %s: cannot be read; the usual settings are used\n", file);
   return ok;
}

// Allegro's parser gives the values; walking the lines alongside it finds
// the line each entry stands on, for the messages, and the lines it would
// pass over in silence.
void ReadSettings(const char *file, GameOptions *out, FILE *errors)
{
   std::string text;
   if (!file || !*file || !ReadText(file, &text, errors))
      return;
   push_config_state();
   set_config_data(text.data(), static_cast<int>(text.size()));
   std::string section;
   std::vector<const Setting *> seen;
   size_t start = 0;
   for (int line = 1; start < text.size(); line++) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos)
         end = text.size();
      std::string entry = Trim(text.substr(start, end - start));
      start = end + 1;
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
         std::string value = get_config_string(s->section, s->name, "");
         why = Apply(*s, value.c_str(), out);
         then = "the default is kept";
      }
      if (why)
         fprintf(errors, "game: %s:%d: [%s] %s: %s; %s\n", file, line, section.c_str(),
                 entry.c_str(), why, then);
   }
   pop_config_state();
}
