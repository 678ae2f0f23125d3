#include "player.h"

#include <algorithm>
#include <string>

#include "controls.h"
#include "draw.h"
#include "main.h"
#include "replay.h"
#include "saveload.h"
#include "window.h"

constexpr int kWalkSpeed = 3;
constexpr int kFallSpeed = 4;
constexpr int kRiseSpeed = 12;
constexpr int kRiseFrames = 7;


// The view jumps by seven tiles; the player reappears on the opposite side
// at nearly the same place in the map.
constexpr int kScrollTiles = 7;
constexpr int kScrollPx = kScrollTiles * kTileSize;                  // 224
constexpr int kLastScrollCol = kMapCols;                             // scroll right while below
constexpr int kLastScrollRow = kMapRows - kViewRows;                 // scroll down while below
constexpr int kScrollDownY = kViewHeightPx - kBodyH - 1;             // 172
constexpr int kScrollUpY = -19;
constexpr int kAfterScrollUpY = kScrollDownY + 1;                    // 173

// A start at a chosen cell: the view is the one the 7-tile scroll steps
// reach from the map's corner, unless that would leave the player's body
// partly below the view (or have it scroll down at once), or show cells past
// the map's edge.
constexpr int kLowestStartViewRow = kScrollDownY / kTileSize;      // 5
constexpr int kLastStartXoffset = kMapCols - kViewCols;             // 190
constexpr int kLastStartYoffset = kMapRows - kViewRows;             // 43
static_assert(kBodyW == kTileSize && (kBodyH + kTileSize - 1) / kTileSize == kStartCellsDown,
              "the body a start is checked for is the player's");

// Text lines of the life count and the two modal screens.
constexpr int kLifeTextY = 230;
constexpr int kDeathTextX = 130;
constexpr int kDeathTextY = 120;
constexpr int kVictoryTextY = 100;
constexpr int kTextLineGap = 10;

// The modal screens hand the processor back between keyboard polls.
constexpr int kPollRestMs = 1;

void InitPlayer()
{
   Pl.Init();
}

std::string StartRefusal(int col, int row)
{
   if (!MapCellInside(kGroundLayer, col, row))
      return "the cell is outside the " + std::to_string(kMapCols) + " x " + std::to_string(kMapRows) +
             " map";
   if (StartInGround(map, col, row))
      return "the player would stand in the ground there";
   return "";
}

void PlaceAtStart(int col, int row)
{
   xoffset = std::min(col / kScrollTiles * kScrollTiles, kLastStartXoffset);
   yoffset = std::max(row / kScrollTiles * kScrollTiles, row - kLowestStartViewRow);
   yoffset = std::min(yoffset, kLastStartYoffset);
   Pl.x = (col - xoffset) * kTileSize;
   Pl.y = (row - yoffset) * kTileSize;
}

// A death on the level a start was given for begins at that start again.
static void PlaceAfterDeath()
{
   if (options.start && levelsfinished == 0)
      PlaceAtStart(options.startcol, options.startrow);
}

// A new life: top-left of the view, facing right, in the air, no shots.
void Player::Init()
{
   x = 0;
   y = 0;
   direction = kRight;
   jumping = 0;
   onground = 0;
   jumptime = 0;
   frame = 0;
   life = kPlayerLives;
   firing = 0;
   for (int i = 0; i < kMaxShots; i++) {
      bullet[i].speed = 0;
      bullet[i].y = 0;
      bullet[i].x = 0;
      bullet[i].active = 0;
   }
}

// Only a player that has landed since its last rise may jump; all bits of
// the flag are set, only zero against nonzero matters.
int Player::StartJump()
{
   if (jumping != 0 || jumptime != 0 || onground == 0)
      return 0;
   jumping = -1;
   return 1;
}

static void NextWalkFrame(int &frame)
{
   frame = frame < kWalkFrames - 1 ? frame + 1 : 0;
}

// One step; the animation runs even when a wall refuses the step.
void Player::Move(int dir)
{
   if (dir == kRight) {
      if (ViewCell(kGroundLayer, x + kBodyW, y + kStepProbeY) == 0)
         x += kWalkSpeed;
      direction = kRight;
      NextWalkFrame(frame);
      if (x > kScrollPx && xoffset < kLastScrollCol) {
         x = 0;
         xoffset += kScrollTiles;
      }
   } else if (dir == kLeft) {
      if (ViewCell(kGroundLayer, x, y + kStepProbeY) == 0 && x >= 0)
         x -= kWalkSpeed;
      direction = kLeft;
      NextWalkFrame(frame);
      if (x <= 0 && xoffset > 0) {
         x = kScrollPx;
         xoffset -= kScrollTiles;
      }
   }
}

// Gravity, the jump's rise (which passes through ceilings) and the
// vertical view jumps.
void Player::CheckGround()
{
   if (ViewCell(kGroundLayer, x + kFeetX, y + kFeetY) == 0)
      y += kFallSpeed;
   if (ViewCell(kGroundLayer, x + kFeetX, y + kFeetY) != 0)
      onground = 1;
   if (jumping && jumptime == 0)
      jumptime = kRiseFrames;
   if (jumping && jumptime > 0) {
      y -= kRiseSpeed;
      jumptime--;
      onground = 0;
      if (jumptime <= 0) {
         jumptime = 0;
         jumping = 0;
      }
   }
   if (y > kScrollDownY && yoffset < kLastScrollRow) {
      yoffset += kScrollTiles;
      y = 0;
   }
   if (y < kScrollUpY && yoffset > 0) {
      yoffset -= kScrollTiles;
      y = kAfterScrollUpY;
   }
}

void Player::Draw()
{
   BITMAP *sprite = static_cast<BITMAP *>(pwalk[frame].dat);
   if (direction == kRight)
      draw_sprite(buffer, sprite, x, y);
   if (direction == kLeft)
      draw_sprite_h_flip(buffer, sprite, x, y);
   textprintf_ex(buffer, font, 0, kLifeTextY, makecol(255, 255, 255), 0, "Life: %d", life);
}

// The modal screens wait here; nothing else of the game runs meanwhile. A
// closed window ends the wait too, and the frame loop then ends.
static void WaitForF1()
{
   while (!key[KEY_F1] && !CloseRequested()) {
      rest(kPollRestMs);
      UpdateControls(true);
      ReplayScreenWait();
   }
}

void Player::Fire()
{
   if (firing && LaunchShot(bullet, x, y, direction, fires))
      firing = 0;
   FlyShots(bullet);
}

// Every enemy shot inside the box counts, even after a death.
void Player::CheckForDeath()
{
   for (int i = 0; i < kMaxShots; i++) {
      if (!Ebullet[i].active || !ShotHits(Ebullet[i], x, y))
         continue;
      PlaySound(aou);
      if (life != 0)
         life--;
      if (life == 0)
         Dies();
      Ebullet[i].active = 0;
   }
}

// The death screen, then the same level again from the view it died in.
void Player::Dies()
{
   PlaySound(omgdied);
   int white = makecol(255, 255, 255);
   textout_centre_ex(buffer, font, "Oh my GOD, I died", kDeathTextX, kDeathTextY, white, 0);
   textout_centre_ex(buffer, font, "Press F1 to try again", kDeathTextX,
                     kDeathTextY + kTextLineGap, white, 0);
   DrawAll();
   WaitForF1();
   Init();
   PlaceAfterDeath();
   LoadMap(LevelFile());
   En.Deactivate();
   FreeShots(bullet);
   FreeShots(Ebullet);
}

int Player::OnExit()
{
   return ViewCell(kItemLayer, x + kFeetX, y + kStepProbeY) == kExitTile;
}

void Player::CheckForVictory()
{
   if (!OnExit())
      return;
   levelsfinished++;
   PlaySound(congrats);
   int green = makecol(128, 255, 128);
   textout_ex(buffer, font, "CONGRATULATIONS, YOU COMPLETED THE LEVEL", 0, kVictoryTextY, green, 0);
   textout_ex(buffer, font, "         Press F1 to Continue", 0,
              kVictoryTextY + kTextLineGap, green, 0);
   DrawAll();
   WaitForF1();
   // A map played alone has no next level: F1 ends the game.
   if (options.mapfile) {
      quitgame = 1;
      return;
   }
   if (currentlevel != kLastLevel)
      currentlevel++;
   LoadMap(level[currentlevel]);
   x = 0;
   y = 0;
   xoffset = 0;
   yoffset = 0;
}

static void SaveScreenshot()
{
   save_bmp("screenshot.bmp", ShownFrame(), static_cast<RGB *>(pal[0].dat));
}

void UpdatePlayer()
{
   if (key[KEY_RIGHT])
      Pl.Move(kRight);
   if (key[KEY_LEFT])
      Pl.Move(kLeft);
   if (key[KEY_SPACE] && Pl.StartJump())
      PlaySound(jumps);
   if (key[KEY_LCONTROL])
      Pl.firing = 1;
   if (key[KEY_PRTSCR])
      SaveScreenshot();
   Pl.CheckGround();
   Pl.CheckForVictory();
   Pl.CheckForDeath();
   Pl.Fire();
   Pl.Draw();
}
