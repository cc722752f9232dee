// freeglut's bitmap font Helvetica 18 for the web build's caption: the glyphs of the printable
// ASCII characters, from space on.
#pragma once

#include <cstdint>

constexpr int kHelvetica18First = 32;
constexpr int kHelvetica18Count = 95;
constexpr int kHelvetica18Height = 23;  // rows of every glyph
constexpr int kHelvetica18Origin = 5;   // rows below the raster position

// Each glyph: its width in pixels (also its advance), then its rows from the bottom up,
// (width + 7) / 8 bytes a row, the leftmost pixel in the highest bit.
extern const std::uint8_t* const kHelvetica18Glyphs[kHelvetica18Count];
