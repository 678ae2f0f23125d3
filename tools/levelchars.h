#ifndef LEVELCHARS_H
#define LEVELCHARS_H

// The characters of level text: what is reserved, UTF-8 in and out, and the
// default legend every level starts from.

#include <string>
#include <vector>

#include "mapfile.h"

constexpr char kCommentChar = ';';
constexpr char kHeaderChar = '[';
constexpr int kAnyLayer = -1;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kAfterSurrogates = 0xE000;
constexpr char32_t kLastCodePoint = 0x10FFFF;
// Some editors start a UTF-8 file with this mark; it is not part of the text.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

struct LegendEntry {
   char ch;
   int layer;   // kAnyLayer or the one layer the entry is for
   unsigned short value;
   const char *note;
};

// The default legend: every tile of tiles.dat has a character, chosen to
// look like its picture where possible.
inline constexpr LegendEntry kDefaultLegend[] = {
   {'.', kAnyLayer, 0, "empty"},
   {'g', kAnyLayer, 1, "grass top"},
   {'#', kAnyLayer, 2, "earth"},
   {'s', kAnyLayer, 3, "stone brick"},
   {'(', kAnyLayer, 4, "grass top, left edge"},
   {')', kAnyLayer, 5, "grass top, right edge"},
   {'=', kAnyLayer, 6, "wooden platform"},
   {'<', kAnyLayer, 7, "wooden platform, left end"},
   {'>', kAnyLayer, 8, "wooden platform, right end"},
   {'m', kAnyLayer, 9, "metal block"},
   {'r', kAnyLayer, 10, "rock"},
   {'x', kAnyLayer, 11, "wooden crate"},
   {'w', kAnyLayer, 12, "red brick wall"},
   {'i', kAnyLayer, 13, "ice block"},
   {'a', kAnyLayer, 14, "sand"},
   {'o', kAnyLayer, 15, "mossy stone"},
   {'{', kAnyLayer, 16, "cloud, left half"},
   {'}', kAnyLayer, 17, "cloud, right half"},
   {'c', kAnyLayer, 18, "small cloud"},
   {'O', kAnyLayer, 19, "sun"},
   {'b', kAnyLayer, 20, "bush"},
   {'|', kAnyLayer, 21, "tree trunk"},
   {'T', kAnyLayer, 22, "tree crown"},
   {'f', kAnyLayer, 23, "fence"},
   {'F', kAnyLayer, 24, "flowers"},
   {'"', kAnyLayer, 25, "grass tuft"},
   {'h', kAnyLayer, 26, "distant hill"},
   {'A', kAnyLayer, 27, "mountain peak"},
   {'P', kAnyLayer, 28, "signpost"},
   {'t', kAnyLayer, 29, "wall torch"},
   {'W', kAnyLayer, 30, "castle window"},
   {'V', kAnyLayer, 31, "hanging vine"},
   {',', kAnyLayer, 32, "pebbles"},
   {'M', kAnyLayer, 33, "mushroom"},
   {'+', kAnyLayer, 34, "twinkling star"},
   {'C', kAnyLayer, 35, "moon"},
   {'$', kAnyLayer, 36, "gold coin"},
   {'R', kAnyLayer, 37, "red gem"},
   {'D', kAnyLayer, 38, "blue gem"},
   {'k', kAnyLayer, 39, "key"},
   {'H', kAnyLayer, 40, "heart"},
   {'*', kAnyLayer, 41, "star"},
   {'p', kAnyLayer, 42, "potion"},
   {'X', kAnyLayer, 43, "treasure chest"},
   {'e', kAnyLayer, 44, "apple"},
   {'K', kAnyLayer, 45, "crown"},
   {'n', kAnyLayer, 46, "ring"},
   {'U', kAnyLayer, 47, "shield"},
   {'L', kAnyLayer, 48, "scroll"},
   {'E', kAnyLayer, 49, "EXIT"},
   {'@', kEnemyLayer, 1, "enemy start"},
};

// Characters that can never stand for a value in a grid.
bool IsReserved(char32_t c);

void AppendUtf8(std::string &out, char32_t c);

// Decodes one line into code points; on bad UTF-8 (over-long forms,
// surrogates and values past U+10FFFF included) returns the 1-based
// character position where decoding failed, else 0.
int DecodeUtf8(const std::string &line, std::vector<char32_t> &out);

// Any bytes made fit for a comment line: valid UTF-8 is kept, while bad
// bytes, control characters (a newline among them) and '\' are written as
// \xHH or \\.
std::string CommentText(const std::string &raw);

// How a character is named in an error message.
std::string CharName(char32_t c);

#endif
