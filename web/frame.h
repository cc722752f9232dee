// The frame that the web build's OpenGL records, the way sokol_gl records one: the program's
// immediate-mode blocks become one vertex array and one list of draws, in memory made once, which
// the page (gl_web.js) uploads in one go and replays at the swap.
#pragma once

#include <cstdint>

namespace webgl {

// WebGL's primitives, as OpenGL numbers them.
constexpr std::uint32_t kPoints = 0x0000;
constexpr std::uint32_t kLineStrip = 0x0003;
constexpr std::uint32_t kTriangles = 0x0004;

// Room for one frame: three line strips of 1000 points as ribbons of 6 vertices a segment and
// twelve dots, then, kept apart at the end of the vertex array (from kTextFirst on), a caption
// line of rectangles, each with room to spare. What does not fit is not drawn, and the frame says
// so (overflowed).
constexpr std::uint32_t kMaxVertices = 32768;
constexpr std::uint32_t kTextFirst = kMaxVertices - 8192;
constexpr std::uint32_t kMaxDraws = 64;
constexpr std::uint32_t kMaxGiven = 4096;
constexpr std::uint32_t kMaxBlocks = 32;
constexpr std::uint32_t kMaxCaption = 128;

// One draw: `count` vertices of the vertex array from `first` on as `mode`, in `colour`; points
// `pointSize` device pixels across, round with their alpha falling off over the last device pixel
// when `roundSize` is not 0.
struct Draw {
  std::uint32_t mode, first, count;
  float colour[3];
  float pointSize, roundSize;
};

// One glBegin/glEnd block as the program gave it: `count` x, y pairs of `given` from `first` on,
// with its mode, colour and point size.
struct Block {
  std::uint32_t mode, first, count;
  float colour[3];
  float pointSize;
};

// The frame, readable from the page at the swap: JavaScript finds it at the address that
// webGLStartFrame() is given, as 32-bit words, floats and addresses in the program's memory:
//   0 density, 1 bufferWidth: set by the page before the frame (device pixels per CSS pixel, and
//     the drawing buffer's width in device pixels);
//   2-5 the clear colour, 6-9 the projection (left, right, bottom, top), 10 blend (0 or 1),
//     11 and 12 its source and destination factors, 13 cleared (0 or 1);
//   14 vertexCount, 15 vertices (x, y pairs of floats in view units);
//   16 drawCount, 17 draws (Draw: 8 words each);
//   18 blockCount, 19 blocks (Block: 7 words each), 20 given (the blocks' x, y pairs);
//   21 captionLength, 22 caption (its characters), 23 captionChanged (0 or 1), 24 overflowed,
//   25 textFirst, 26 textCount (the text's vertices, from vertex textFirst on), 27 textChanged
//   (0 or 1: whether they differ from the last frame's, so that the page uploads them only then).
struct Frame {
  float density = 1;
  float bufferWidth = 720;
  float clearColour[4] = {0, 0, 0, 0};
  float projection[4] = {-1, 1, -1, 1};
  std::uint32_t blend = 0, blendSource = 1, blendDestination = 0;
  std::uint32_t cleared = 0;
  std::uint32_t vertexCount = 0;
  float* vertices;
  std::uint32_t drawCount = 0;
  Draw* draws;
  std::uint32_t blockCount = 0;
  Block* blocks;
  float* given;
  std::uint32_t captionLength = 0;
  unsigned char* caption;
  std::uint32_t captionChanged = 0;
  std::uint32_t overflowed = 0;
  std::uint32_t textFirst = kTextFirst, textCount = 0, textChanged = 0;
  // The recorder's own: where the next character goes, and the draw of its line.
  int textX = 0, textY = 0;
  std::uint32_t textDraw = 0;
};

// The frame's memory, made once for the life of the program.
Frame& frame();

// Starts a frame: the lists are emptied, the state is kept.
void beginFrame(Frame& frame);
// Records a block of `count` x, y pairs: a line strip as a ribbon of triangles one CSS pixel wide,
// each segment lengthened by half its width at both ends so that consecutive ones overlap at their
// joints; points as they are, as many view units across as `pointSize` (round if `smooth`).
void addBlock(Frame& frame, std::uint32_t mode, const float* xy, std::uint32_t count,
              const float colour[3], float pointSize, bool smooth);
// Starts a line of bitmap text at x, y of the view in `colour`.
void startText(Frame& frame, int x, int y, const float colour[3]);
// Adds a character of Helvetica 18 at the text's place and moves the place on by its width: each
// row's run of set pixels becomes a rectangle, each pixel a square view unit.
void addCharacter(Frame& frame, int character);
// Ends the frame: whether the caption and the text's vertices differ from the last frame's.
void endFrame(Frame& frame);

}  // namespace webgl
