// A document's width or height as the host gives it (a unit value: pixels, or distance in 1/72
// inch at the document's resolution) in pixels.
#pragma once

#include <cstdint>

#include "HostTypes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// A length in the given unit as pixels: distance units (1/72 inch) scale with the resolution.
double UnitValueToPixels(double value, DescriptorUnitID unit, double resolution);
// The same rounded to whole pixels (+0.5, truncated); false when it is not a finite number that
// fits 32 bits (the host's value is then no size at all).
bool UnitValueToWholePixels(double value, DescriptorUnitID unit, double resolution, int32_t* pixels);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
