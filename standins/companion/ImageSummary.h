// What arrived in a segment, in a few transcript lines a test can compare with what it expects:
// per-channel minimum, maximum and mean, a checksum over the image's bytes and the pixels at the
// corners and the centre.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zk {

// 64-bit FNV-1a over the bytes.
std::uint64_t Fnv1a64(const std::uint8_t* bytes, size_t size);

// The summary of width x height pixels at depth (8 or 16) in the segment layout, as transcript
// lines (key, value):
//   image-summary: <w> x <h> at <d> bits, <n> bytes, fnv1a64 <16 hex digits>
//   image-channel: red min <v> max <v> mean <v.ddd>     (then green, blue)
//   image-sample: <x> <y> = <r> <g> <b>                 (top left, top right, bottom left,
//                                                        bottom right, centre)
std::vector<std::pair<std::string, std::string>> SummarizeImage(const std::uint8_t* samples, size_t width,
                                                                 size_t height, int depth);

}  // namespace zk
