// Pixels crossing to and from the platform: its 32-bit premultiplied surfaces
// hold blue, green, red, alpha where the renderer holds red, green, blue, alpha.
// Premultiplication is kept as it is in both directions.
#pragma once

#include <cstddef>
#include <cstdint>

#include <vector>

#include "renderer/image.h"
#include "renderer/reach.h"

// Reads `height` rows of `width` BGRA pixels, the first row at `firstRow`, each
// next row `stride` bytes further (negative for rows stored bottom-up).
velmor::Image ImageFromBgraRows(const std::uint8_t* firstRow, std::ptrdiff_t stride, std::int32_t width,
                                std::int32_t height);

// Writes `image` as a `size` x `size` block of BGRA rows at `firstRow`, `stride`
// bytes apart. Pixels the image does not cover are written transparent.
void BgraRowsFromImage(const velmor::Image& image, std::uint8_t* firstRow, std::ptrdiff_t stride,
                       std::int32_t size);
// The same for rows top..bottom - 1 of the block only (clamped into it).
void BgraRowsFromImage(const velmor::Image& image, std::uint8_t* firstRow, std::ptrdiff_t stride,
                       std::int32_t size, std::int32_t top, std::int32_t bottom);
// The same for the columns columns[y] of each row y in top..bottom - 1 only
// (rows past `columns` are left alone), for a frame that covers the block;
// another frame has those rows written whole. Returns the first and last
// column written in any row (first > last when none was).
velmor::RowReach BgraStretchesFromImage(const velmor::Image& image, std::uint8_t* firstRow,
                                        std::ptrdiff_t stride, std::int32_t size,
                                        const std::vector<velmor::RowReach>& columns, std::int32_t top,
                                        std::int32_t bottom);
