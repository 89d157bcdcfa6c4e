// The host's alias utility suite, versions 1 (5 slots) and 2 (12 slots), in the host's order:
// aliases made from, and turned back into, UTF-16 paths, which carry every character a path on
// the system can hold (an alias's old 8-bit form carries only what the ANSI code page holds).
#pragma once

#include "HostTypes.h"

constexpr const char* kPSAliasSuite = "Photoshop Alias Utility Suite";
constexpr int32_t kPSAliasSuiteVersion1 = 1;
constexpr int32_t kPSAliasSuiteVersion2 = 2;

// A pointer to a pointer to an opaque record: the host treats it as one of its own handles (its
// size comes from the handle suite, and the one who got it disposes of it as of any handle). What
// its bytes hold is not published: they are never read as text.
using AliasHandle = Handle;

// The first three slots serve the other platform only. Their parameters are not published for
// Windows, so they are declared without any: nothing here calls them, and on x64 a slot that is
// only held takes its place in the table whatever it is declared to take.
using PIAliasOtherPlatformSlot = SPErr(HOSTCALL*)();

struct PSAliasSuite1 {
  PIAliasOtherPlatformSlot MacNewAliasFromCString;
  PIAliasOtherPlatformSlot MacNewAliasFromFSRef;
  PIAliasOtherPlatformSlot MacNewAliasFromNameAndFSRef;
  SPErr(HOSTCALL* WinNewAliasFromWidePath)(const uint16_t* pathUtf16, AliasHandle* alias);
  SPErr(HOSTCALL* WinNewAliasFromPIDL)(const void* pidl, AliasHandle* alias);
};
static_assert(sizeof(PSAliasSuite1) == 5 * sizeof(void*), "alias suite v1 has 5 slots");

struct PSAliasSuite2 {
  PIAliasOtherPlatformSlot MacNewAliasFromCString;
  PIAliasOtherPlatformSlot MacNewAliasFromFSRef;
  PIAliasOtherPlatformSlot MacNewAliasFromNameAndFSRef;
  SPErr(HOSTCALL* WinNewAliasFromWidePath)(const uint16_t* pathUtf16, AliasHandle* alias);
  SPErr(HOSTCALL* WinNewAliasFromPIDL)(const void* pidl, AliasHandle* alias);
  SPErr(HOSTCALL* NewAliasFromCloudPath)(const char* utf8CloudPath, AliasHandle* alias);
  SPErr(HOSTCALL* IsCloudFile)(AliasHandle alias, SPBoolean* isCloud);
  SPErr(HOSTCALL* CloudReferenceFromAlias)(AliasHandle alias, ASZString* reference);
  SPErr(HOSTCALL* CloudPathFromAlias)(AliasHandle alias, ASZString* cloudPath);
  SPErr(HOSTCALL* NewAliasFromCloudReference)(const char* reference, AliasHandle* alias);
  SPErr(HOSTCALL* UnicodePathToAlias)(const uint16_t* pathUtf16, AliasHandle* alias);
  // Writes the whole path and its terminating zero, lengthInUnits being the buffer's size in
  // 16-bit units.
  SPErr(HOSTCALL* AliasToUnicodePath)(const AliasHandle alias, uint16_t* pathUtf16, uint32_t lengthInUnits);
};
static_assert(sizeof(PSAliasSuite2) == 12 * sizeof(void*), "alias suite v2 has 12 slots");
