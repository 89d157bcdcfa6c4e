#include "PixelUnits.h"

#include <climits>
#include <cmath>

#include "HostCodes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

double UnitValueToPixels(double value, DescriptorUnitID unit, double resolution) {
  return unit == unitDistance ? value * resolution / 72.0 : value;
}

bool UnitValueToWholePixels(double value, DescriptorUnitID unit, double resolution, int32_t* pixels) {
  const double rounded = UnitValueToPixels(value, unit, resolution) + 0.5;
  // Truncating a value outside these bounds (or not a number at all) is undefined.
  if (!std::isfinite(rounded) || rounded <= double(INT32_MIN) - 1.0 || rounded >= double(INT32_MAX) + 1.0) return false;
  *pixels = int32_t(rounded);
  return true;
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
