// A small global tone-mapping operator, as the companion applies it between reading a raw file's
// pixels and sending the picture back to the host:
//   1. luminance L = 0.2126 R + 0.7152 G + 0.0722 B of the linear 16-bit samples (0..1);
//   2. the image's log-average luminance, exp(mean(log(1e-4 + L))), is scaled to a key of 0.18;
//   3. Reinhard's L / (1 + L) compresses each pixel's scaled luminance;
//   4. each channel is multiplied by the pixel's luminance ratio (colour ratios stay), clipped to 1,
//      and gamma-encoded with 1/2.2.
// Samples that are sRGB-encoded (as 8-bit pictures are) are first decoded to linear light, so that
// the luminance and the compression work on light, not on code values.
// Plain arithmetic in a fixed order: the same input gives the same bytes on every run.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk {

constexpr double kToneMapKey = 0.18;
constexpr double kToneMapGamma = 2.2;

// How the source's 16-bit samples stand for light: in proportion to it, or sRGB-encoded (an 8-bit
// picture's code values scaled to 16 bits).
enum class SampleEncoding { Linear, Srgb };

// The sRGB transfer function undone: code value 0..1 to linear light 0..1.
double SrgbToLinear(double encoded);

// source: width x height pixels at 16 bits in the segment layout (ImageSamples.h); destination:
// the same pixels at depth 8 or 16. Returns the log-average luminance it scaled by.
double ToneMapImage(const std::uint8_t* source, size_t width, size_t height, std::uint8_t* destination, int depth,
                    SampleEncoding encoding = SampleEncoding::Linear);

}  // namespace zk
