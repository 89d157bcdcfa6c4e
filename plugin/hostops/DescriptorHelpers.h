// A small layer over the host's action suites: reading a property (or the whole descriptor) of a
// host object, reading one value of any basic type, alias handles and paths, and judging the
// result of a played event. 32-bit statuses: widened host statuses, 'Parm' and '!IMP'.
#pragma once

#include <string>

#include "HostTypes.h"

constexpr int32_t kHelperBadParameter = int32_t(FourCC("Parm"));
constexpr int32_t kHelperUnimplemented = int32_t(FourCC("!IMP"));

// desiredKey 0 hands the whole descriptor (a PIActionDescriptor the caller frees) to returnData.
int32_t PIUGetTargetInfo(DescriptorClassID desiredClass, DescriptorKeyID desiredKey, void* returnData,
                         void* returnExtraData);
// The same for the object of a class at a 1-based index.
int32_t PIUGetInfoByIndex(uint32_t index, DescriptorClassID desiredClass, DescriptorKeyID desiredKey,
                          void* returnData, void* returnExtraData);
// Reads the value of key with the getter its type asks for. An absent key is status 0 with the
// caller's variable untouched.
int32_t PIUGetDescriptorItem(PIActionDescriptor descriptor, DescriptorKeyID key, void* returnData,
                             void* returnExtraData);

// Reads a text key whole: its length, then its bytes, up to the first zero. 0, the host's status,
// or kTextTooLong when the host gives it more than mostBytes (nothing is read then). length, if
// given, receives the length the host gives, also when it is too long.
int32_t ReadTextKey(PIActionDescriptor descriptor, DescriptorKeyID key, uint32_t mostBytes, std::string* text,
                    uint32_t* length = nullptr);

// Copies the path an alias handle holds, with its terminator, when it fits maxLength bytes;
// otherwise (or when the handle cannot be locked) the buffer holds the empty text.
void PIUAliasToPath(Handle alias, char* buffer, int32_t maxLength);
// A new alias handle holding the path's bytes and its terminator; null when it cannot be made or
// its memory cannot be locked to be filled (the block is then disposed of here).
void FullPathToAlias(const char* fullPath, Handle& alias);

// 0 for a result without a message; -1 for no result or a result with a message.
int32_t CheckPlayResult(PIActionDescriptor result);
