#include "WireText.h"

#include "InnerText.h"

std::string WireUnitsToUtf8(const uint8_t* units, size_t unitCount) {
  std::string out;
  out.reserve(unitCount);
  for (size_t i = 0; i < unitCount; ++i) AppendUnitToInnerText(out, uint16_t(units[2 * i] | (units[2 * i + 1] << 8)));
  return out;
}

std::u16string Utf8ToWireUnits(const std::string& text) { return InnerTextToUnits(text); }

bool Utf8ToUnitsStrict(const std::string& text, std::u16string* units) { return InnerTextToUnitsStrict(text, units); }
