// Statuses the module gives its own refusals, beside the host's statuses in the same chains. None
// can equal a status a host gives: the host's are 16-bit numbers (widened with their sign) or
// four-character codes, and these are beyond the 16-bit range with a first byte that is no
// printable character. So whoever reads a status can tell "the module refused" from "the host
// answered", and a host's refusal is never told as one of the module's.
#pragma once

#include <cstdint>

constexpr int32_t ModuleStatus(uint8_t number) { return int32_t(0xE04B5A00u | number); }

// The path cannot reach the host as it is: the host has no alias suite and the ANSI code page
// cannot hold a character of it (the system would put '?' or a look-alike there, naming another
// file).
constexpr int32_t kPathNotCarried = ModuleStatus(1);
// The path holds a zero, or is no well-formed text: no file has such a name.
constexpr int32_t kPathNotText = ModuleStatus(2);
// The raw open answered success, yet the active document is not the requested file's.
constexpr int32_t kRawFileNotOpened = ModuleStatus(3);
// The raw open's result carried a message ('Msge'), or there was no result at all.
constexpr int32_t kOpenAnsweredAMessage = ModuleStatus(4);
constexpr int32_t kOpenAnsweredNoResult = ModuleStatus(5);
// The host gives the document's size as no whole number of pixels.
constexpr int32_t kNoPixelSize = ModuleStatus(6);
// The host wrote a path into a buffer that holds any path without ending it: the whole path cannot
// be known, and a cut one would name another file.
constexpr int32_t kPathNotTerminated = ModuleStatus(7);
// A text key longer than the reader takes.
constexpr int32_t kTextTooLong = ModuleStatus(8);

constexpr bool IsModuleStatus(int32_t status) { return (uint32_t(status) & 0xFFFFFF00u) == 0xE04B5A00u; }

static_assert(ModuleStatus(0) < INT16_MIN, "beyond every 16-bit status");
