// Recording the web build's frame: ribbons for line strips, points, and the caption's glyphs as
// rectangles, into the one vertex array and draw list of the frame.
#include "frame.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "helvetica18.h"

namespace webgl {

#ifdef __EMSCRIPTEN__
// The page reads the frame by these word numbers.
static_assert(offsetof(Frame, clearColour) == 4 * 2 && offsetof(Frame, cleared) == 4 * 13);
static_assert(offsetof(Frame, vertexCount) == 4 * 14 && offsetof(Frame, draws) == 4 * 17);
static_assert(offsetof(Frame, given) == 4 * 20 && offsetof(Frame, overflowed) == 4 * 24);
static_assert(offsetof(Frame, textChanged) == 4 * 27);
static_assert(sizeof(Draw) == 4 * 8 && sizeof(Block) == 4 * 7);
#endif

namespace {

float vertices[2 * kMaxVertices];
Draw draws[kMaxDraws];
Block blocks[kMaxBlocks];
float given[2 * kMaxGiven];
unsigned char caption[kMaxCaption];
unsigned char lastCaption[kMaxCaption];
std::uint32_t lastCaptionLength = 0;
float lastText[2 * (kMaxVertices - kTextFirst)];
std::uint32_t lastTextCount = 0;

// Room for `count` more vertices (of the text, or else of the rest) and a draw; a frame that runs
// out says so.
bool room(Frame& frame, std::uint32_t count, bool text = false) {
  const bool fits = text ? kTextFirst + frame.textCount + count <= kMaxVertices
                         : frame.vertexCount + count <= kTextFirst;
  if (fits && frame.drawCount < kMaxDraws) return true;
  frame.overflowed = 1;
  return false;
}

void vertex(Frame& frame, double x, double y, bool text = false) {
  const std::uint32_t i = text ? kTextFirst + frame.textCount++ : frame.vertexCount++;
  frame.vertices[2 * i] = static_cast<float>(x);
  frame.vertices[2 * i + 1] = static_cast<float>(y);
}

// A draw of the vertices from `first` to the end of the array.
Draw& queue(Frame& frame, std::uint32_t mode, std::uint32_t first, const float colour[3]) {
  Draw& draw = frame.draws[frame.drawCount++];
  draw = {mode, first, frame.vertexCount - first, {colour[0], colour[1], colour[2]}, 1, 0};
  return draw;
}

// Device pixels per view unit.
double unit(const Frame& frame) {
  return frame.bufferWidth / (double{frame.projection[1]} - frame.projection[0]);
}

void ribbon(Frame& frame, const float* xy, std::uint32_t count) {
  const double half = 0.5 * frame.density / unit(frame);
  for (std::uint32_t i = 1; i < count; ++i) {
    const double ax = xy[2 * i - 2], ay = xy[2 * i - 1], bx = xy[2 * i], by = xy[2 * i + 1];
    double length = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
    if (length == 0) length = 1;  // a segment of no length makes triangles of no area
    const double ux = (bx - ax) / length * half, uy = (by - ay) / length * half;
    const double x0 = ax - ux, y0 = ay - uy, x1 = bx + ux, y1 = by + uy;
    // Two triangles: left of the start, right of it, left of the end; left of the end, right of
    // the start, right of the end.
    vertex(frame, x0 - uy, y0 + ux);
    vertex(frame, x0 + uy, y0 - ux);
    vertex(frame, x1 - uy, y1 + ux);
    vertex(frame, x1 - uy, y1 + ux);
    vertex(frame, x0 + uy, y0 - ux);
    vertex(frame, x1 + uy, y1 - ux);
  }
}

}  // namespace

Frame& frame() {
  static Frame frame;
  frame.vertices = vertices;
  frame.draws = draws;
  frame.blocks = blocks;
  frame.given = given;
  frame.caption = caption;
  return frame;
}

void beginFrame(Frame& frame) {
  frame.cleared = frame.vertexCount = frame.drawCount = frame.blockCount = 0;
  frame.captionLength = frame.overflowed = frame.textCount = 0;
  frame.textDraw = kMaxDraws;
}

void addBlock(Frame& frame, std::uint32_t mode, const float* xy, std::uint32_t count,
              const float colour[3], float pointSize, bool smooth) {
  const std::uint32_t givenFirst = frame.blockCount ? frame.blocks[frame.blockCount - 1].first +
                                                          frame.blocks[frame.blockCount - 1].count
                                                    : 0;
  const std::uint32_t needed = mode == kLineStrip ? 6 * (count ? count - 1 : 0) : count;
  if (frame.blockCount == kMaxBlocks || givenFirst + count > kMaxGiven || !room(frame, needed)) {
    frame.overflowed = 1;
    return;
  }
  std::memcpy(frame.given + 2 * givenFirst, xy, 2 * count * sizeof(float));
  frame.blocks[frame.blockCount++] = {
      mode, givenFirst, count, {colour[0], colour[1], colour[2]}, pointSize};
  const std::uint32_t first = frame.vertexCount;
  if (mode == kLineStrip) {
    ribbon(frame, xy, count);
    queue(frame, kTriangles, first, colour);
  } else if (mode == kPoints) {
    for (std::uint32_t i = 0; i < count; ++i) vertex(frame, xy[2 * i], xy[2 * i + 1]);
    Draw& draw = queue(frame, kPoints, first, colour);
    draw.pointSize = static_cast<float>(pointSize * unit(frame));
    draw.roundSize = smooth ? draw.pointSize : 0;
  }
}

void startText(Frame& frame, int x, int y, const float colour[3]) {
  frame.textX = x;
  frame.textY = y;
  frame.textDraw = frame.drawCount;
  if (room(frame, 0, true))
    frame.draws[frame.drawCount++] = {
        kTriangles, kTextFirst + frame.textCount, 0, {colour[0], colour[1], colour[2]}, 1, 0};
}

void addCharacter(Frame& frame, int character) {
  const int index = character - kHelvetica18First;
  if (frame.textDraw >= frame.drawCount || index < 0 || index >= kHelvetica18Count) return;
  if (frame.captionLength < kMaxCaption)
    frame.caption[frame.captionLength++] = static_cast<unsigned char>(character);
  const std::uint8_t* glyph = kHelvetica18Glyphs[index];
  const int width = glyph[0], rowBytes = (width + 7) / 8;
  Draw& draw = frame.draws[frame.textDraw];
  for (int row = 0; row < kHelvetica18Height; ++row) {
    const double y = frame.textY - kHelvetica18Origin + row;
    const std::uint8_t* bits = glyph + 1 + row * rowBytes;
    for (int start = 0; start < width;) {
      if (!(bits[start / 8] & (0x80 >> start % 8))) {
        ++start;
        continue;
      }
      int end = start + 1;
      while (end < width && bits[end / 8] & (0x80 >> end % 8)) ++end;
      // Only the last line's draw may grow: a character of an earlier one is not added.
      if (draw.first + draw.count != kTextFirst + frame.textCount || !room(frame, 6, true)) return;
      const double x0 = frame.textX + start, x1 = frame.textX + end;
      vertex(frame, x0, y, true);
      vertex(frame, x1, y, true);
      vertex(frame, x0, y + 1, true);
      vertex(frame, x0, y + 1, true);
      vertex(frame, x1, y, true);
      vertex(frame, x1, y + 1, true);
      draw.count += 6;
      start = end;
    }
  }
  frame.textX += width;
}

void endFrame(Frame& frame) {
  frame.captionChanged = frame.captionLength != lastCaptionLength ||
                         std::memcmp(frame.caption, lastCaption, frame.captionLength) != 0;
  std::memcpy(lastCaption, frame.caption, frame.captionLength);
  lastCaptionLength = frame.captionLength;
  const float* text = frame.vertices + 2 * kTextFirst;
  const std::size_t bytes = 2 * frame.textCount * sizeof(float);
  frame.textChanged = frame.textCount != lastTextCount || std::memcmp(text, lastText, bytes) != 0;
  if (frame.textChanged) std::memcpy(lastText, text, bytes);
  lastTextCount = frame.textCount;
}

}  // namespace webgl
