// The transition effects whose cells are not shapes: the whole grid at once,
// cells drawn at random (the Pixel family), a stream of columns, a plasma, and
// the two SLIDE effects. Their procedures, for the effect list. Windows-free.
#pragma once
#include <cstdint>

#include "themed/core/te_effect_grid.h"

namespace te::fills {

void FadeAll(std::uint8_t* c, int w, int h, std::uint8_t p);
void Pixel(std::uint8_t* c, int w, int h, std::uint8_t p);
void PixelFade(std::uint8_t* c, int w, int h, std::uint8_t p);
void PixelLine(std::uint8_t* c, int w, int h, std::uint8_t p);
void Stream(std::uint8_t* c, int w, int h, std::uint8_t p);
void Plasma(std::uint8_t* c, int w, int h, std::uint8_t p);
void Interlace(TSlideCell* m, int w, int h, std::uint8_t p);
void Corner(TSlideCell* m, int w, int h, std::uint8_t p);

}  // namespace te::fills
