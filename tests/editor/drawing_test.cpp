#include "editor_fixture.h"

#include "drawing.h"
#include "edit.h"
#include "main.h"

class DrawingTest : public EditorTest {};

TEST_F(DrawingTest, BoxIs33PixelsSquareAndNeighboursShareAnEdge)
{
   DrawBox(buffer, 10, 20, white);
   EXPECT_EQ(CountColour(buffer, 0, 0, 99, 99, white), 4 * 32);
   EXPECT_EQ(getpixel(buffer, 10, 20), white);
   EXPECT_EQ(getpixel(buffer, 42, 52), white);
   EXPECT_EQ(getpixel(buffer, 43, 20), 0);
   EXPECT_EQ(getpixel(buffer, 11, 21), 0);
   DrawBox(buffer, 42, 20, white);
   EXPECT_EQ(CountColour(buffer, 0, 0, 99, 99, white), 2 * 4 * 32 - 33);

   PlaceGrid();   // lines at x 0..320 and y 0..224 in steps of 32
   EXPECT_EQ(getpixel(buffer, 320, 224), grey);
   EXPECT_EQ(getpixel(buffer, 16, 32), grey);
   EXPECT_EQ(getpixel(buffer, 321, 224) + getpixel(buffer, 320, 225) + getpixel(buffer, 16, 16), 0);
}

TEST_F(DrawingTest, RectIncludesBothCorners)
{
   DrawRect(buffer, 5, 6, 8, 10, red);
   EXPECT_EQ(CountColour(buffer, 0, 0, 20, 20, red), 2 * 5 + 2 * 4 - 4);
   EXPECT_EQ(getpixel(buffer, 5, 6), red);
   EXPECT_EQ(getpixel(buffer, 8, 10), red);
   EXPECT_EQ(getpixel(buffer, 6, 7), 0);
}

// An unchanged frame is not copied again, so a frame that differs in its last
// pixel alone must still reach the screen.
TEST_F(DrawingTest, EveryChangedFrameReachesTheScreen)
{
   DrawBox(buffer, 10, 20, white);
   BlitToScreen();
   DrawBox(buffer, 10, 20, white);
   putpixel(buffer, kScreenW - 1, kScreenH - 1, red);
   BlitToScreen();
   EXPECT_EQ(getpixel(screen, kScreenW - 1, kScreenH - 1), red);
   EXPECT_EQ(getpixel(screen, 10, 20), white);
   BlitToScreen();
   EXPECT_EQ(CountColour(screen, 0, 0, kScreenW - 1, kScreenH - 1, 0), kScreenW * kScreenH);
}
