// A field's text between its wire form (UTF-16LE code units) and the module's inner form, which
// encodes each unit on its own (InnerText.h): the companion's fields come back exactly as sent,
// unpaired surrogates included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A field's little-endian units as inner text; never fails.
std::string WireUnitsToUtf8(const uint8_t* littleEndianUnits, size_t unitCount);

// Inner text as the units a field is written in (InnerTextToUnits: a malformed byte becomes
// U+FFFD, so a text taken from the host always reaches the companion).
std::u16string Utf8ToWireUnits(const std::string& text);

// InnerTextToUnitsStrict under the name the message reader's fuzz harness calls it by.
bool Utf8ToUnitsStrict(const std::string& text, std::u16string* units);
