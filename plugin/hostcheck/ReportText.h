// How the host check writes what it saw: statuses, four-character codes, bytes and 16-bit units in
// hex. (Texts go into the report as standard UTF-8: StandardUtf8.h.)
#pragma once

#include <cstdint>
#include <string>

// "0", "-1703", or a status that spells four characters as "'S!Fd' (0x53214664)".
std::string StatusText(int32_t status);
// "'Wdth'" for a code of printable characters, else "0x0000002A".
std::string CodeText(uint32_t code);
// "4A FC 72": every byte, two hex digits each.
std::string HexBytes(const std::string& bytes);
// "004A 00FC": every 16-bit unit, four hex digits each.
std::string HexUnits(const std::u16string& units);
