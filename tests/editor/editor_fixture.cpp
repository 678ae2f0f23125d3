#include "editor_fixture.h"

#include <cstdarg>
#include <cstdio>
#include <unistd.h>

#include "edit.h"
#include "history.h"
#include "main.h"

std::vector<std::string> messages;
std::vector<unsigned> pauses;

// Linked with --wrap: message boxes would block and pauses only cost time.
extern "C" void __wrap_allegro_message(const char *format, ...)
{
   char text[1024];
   va_list args;
   va_start(args, format);
   vsnprintf(text, sizeof(text), format, args);
   va_end(args);
   messages.push_back(text);
   fprintf(stderr, "%s\n", text);   // death tests match on stderr
}

extern "C" void __wrap_rest(unsigned int ms)
{
   pauses.push_back(ms);
}

void EditorTest::SetUp()
{
   HeadlessTest::SetUp();
   StartHeadless(kScreenW, kScreenH);
   ASSERT_EQ(chdir(RunDir().c_str()), 0);
   if (!buffer)
      LoadAssets();
   tile = xoffset = yoffset = layer = 0;
   counter = fps = 0;
   ClearMap();
   ClearHistory();
   clear_bitmap(buffer);
   clear_bitmap(screen);
   messages.clear();
   pauses.clear();
}

void EditorTest::Click(int x, int y, int buttons)
{
   clear_bitmap(buffer);
   SetMouse(x, y, buttons);
   HighlightMouse();
}

bool EditorTest::ShowsText(BITMAP *bmp, int x, int y, const char *text, int colour)
{
   BITMAP *expected = create_bitmap(text_length(font, text), text_height(font));
   textout_ex(expected, font, text, 0, 0, colour, 0);
   bool same = true;
   for (int j = 0; j < expected->h; j++)
      for (int i = 0; i < expected->w; i++)
         same = same && getpixel(bmp, x + i, y + j) == getpixel(expected, i, j);
   destroy_bitmap(expected);
   return same;
}

bool EditorTest::ShowsImage(BITMAP *bmp, int x, int y, const DATAFILE *d, int v)
{
   BITMAP *image = (BITMAP *)d[v].dat;
   int visible = 0;
   for (int j = 0; j < 32; j++)
      for (int i = 0; i < 32; i++) {
         int p = getpixel(image, i, j);
         if (p == 0)
            continue;
         visible++;
         if (getpixel(bmp, x + i, y + j) != p)
            return false;
      }
   return visible > 0;
}

bool EditorTest::Blank(BITMAP *bmp, int x1, int y1, int x2, int y2)
{
   return CountColour(bmp, x1, y1, x2, y2, 0) == (x2 - x1 + 1) * (y2 - y1 + 1);
}

int EditorTest::FilledCells()
{
   int n = 0;
   for (auto &layer_cells : map)
      for (auto &column : layer_cells)
         for (unsigned short v : column)
            n += v != 0;
   return n;
}

void EditorTest::FillPattern()
{
   for (int l = 0; l < kMapLayers; l++)
      for (int c = 0; c < kMapCols; c++)
         for (int r = 0; r < kMapRows; r++)
            map[l][c][r] = (unsigned short)(1 + (l * 7919 + c * 131 + r * 17) % 65535);
}
