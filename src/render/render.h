// Drawing one frame of the scene: the caption, then the three curves with their control points.
#pragma once

// GLUT display handler: draws the whole frame and swaps the buffers.
void display();
// The caption line in white at the top left.
void drawCaption();
