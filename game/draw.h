#ifndef DRAW_H
#define DRAW_H

void DrawToBuffer();
void DrawAll();

#endif
