// Texts between their wire form (UTF-16LE code units) and the module's inner form (UTF-8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Each code unit is encoded on its own (a surrogate becomes its own three-byte sequence); never fails.
std::string WireUnitsToUtf8(const uint8_t* littleEndianUnits, size_t unitCount);

// Decodes UTF-8 into code units. A byte that does not start a well-formed sequence becomes U+FFFD
// and decoding goes on with the next byte, so a text taken from the host always reaches the
// companion. Characters above U+FFFF become surrogate pairs; a three-byte encoded surrogate (as
// WireUnitsToUtf8 makes them) becomes that unit again.
std::u16string Utf8ToWireUnits(const std::string& text);

// The same decoding without replacement: false when any byte is not part of a well-formed sequence.
bool Utf8ToUnitsStrict(const std::string& text, std::u16string* units);

// Wide text to UTF-8, each 16-bit unit encoded on its own.
std::string WideToUtf8(const std::wstring& text);
