// The module's inner texts: 8-bit strings holding UTF-8 made from UTF-16 code units, each unit
// encoded on its own (a surrogate becomes its own three-byte sequence), as request fields arrive.
// These turn them back into the units they came from, for the pipe and for the host's UTF-16 calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Each unit on its own; never fails.
std::string UnitsToInnerText(const char16_t* units, size_t unitCount);
void AppendUnitToInnerText(std::string& text, uint16_t unit);
// The same for the system's wide texts (UTF-16 on Windows).
std::string WideToInnerText(const std::wstring& text);

// Decodes UTF-8 into code units. A byte that does not start a well-formed sequence becomes U+FFFD
// and decoding goes on with the next byte. Characters above U+FFFF become surrogate pairs; a
// three-byte encoded surrogate becomes that unit again.
std::u16string InnerTextToUnits(const std::string& text);
// The same for the system's wide calls.
std::wstring InnerTextToWide(const std::string& text);

// The same decoding without replacement: false when any byte is not part of a well-formed sequence.
bool InnerTextToUnitsStrict(const std::string& text, std::u16string* units);
