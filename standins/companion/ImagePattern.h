// A deterministic test picture for a segment, for sending an image without reading one first:
// red rises from left to right, green from top to bottom, blue alternates between a quarter and
// three quarters of the range in 8 x 8 squares. Every value is exact integer arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk {

// Writes width x height pixels at depth (8 or 16) in the segment layout.
void WritePattern(std::uint8_t* samples, size_t width, size_t height, int depth);

}  // namespace zk
