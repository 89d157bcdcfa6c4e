// The host's ZString suite, version 1 (23 slots, in the host's order).
#pragma once

#include "HostTypes.h"

constexpr const char* kASZStringSuite = "AS ZString Suite";
constexpr int32_t kASZStringSuiteVersion = 1;

struct ASZStringSuite {
  ASErr(HOSTCALL* MakeFromUnicode)(ASUnicode* src, size_t byteCount, ASZString* newZString);
  ASErr(HOSTCALL* MakeFromCString)(const char* src, size_t byteCount, ASZString* newZString);
  ASErr(HOSTCALL* MakeFromPascalString)(const unsigned char* src, size_t byteCount, ASZString* newZString);
  ASErr(HOSTCALL* MakeRomanizationOfInteger)(ASInt32 value, ASZString* newZString);
  ASErr(HOSTCALL* MakeRomanizationOfFixed)(ASInt32 value, ASInt16 places, ASBoolean trim, ASBoolean isSigned,
                                           ASZString* newZString);
  ASErr(HOSTCALL* MakeRomanizationOfDouble)(real64 value, ASZString* newZString);
  ASZString(HOSTCALL* GetEmpty)();
  ASErr(HOSTCALL* Copy)(ASZString source, ASZString* copy);
  ASErr(HOSTCALL* Replace)(ASZString zstr, ASUInt32 index, ASZString replacement);
  ASErr(HOSTCALL* TrimEllipsis)(ASZString zstr);
  ASErr(HOSTCALL* TrimSpaces)(ASZString zstr);
  ASErr(HOSTCALL* RemoveAccelerators)(ASZString zstr);
  ASErr(HOSTCALL* AddRef)(ASZString zstr);
  ASErr(HOSTCALL* Release)(ASZString zstr);
  ASBoolean(HOSTCALL* IsAllWhiteSpace)(ASZString zstr);
  ASBoolean(HOSTCALL* IsEmpty)(ASZString zstr);
  ASBoolean(HOSTCALL* WillReplace)(ASZString zstr, ASUInt32 index);
  ASUInt32(HOSTCALL* LengthAsUnicodeCString)(ASZString zstr);
  ASErr(HOSTCALL* AsUnicodeCString)(ASZString zstr, ASUnicode* str, ASUInt32 strSize, ASBoolean checkStrSize);
  ASUInt32(HOSTCALL* LengthAsCString)(ASZString zstr);
  ASErr(HOSTCALL* AsCString)(ASZString zstr, char* str, ASUInt32 strSize, ASBoolean checkStrSize);
  ASUInt32(HOSTCALL* LengthAsPascalString)(ASZString zstr);
  ASErr(HOSTCALL* AsPascalString)(ASZString zstr, char* str, ASUInt32 strSize, ASBoolean checkStrSize);
};
static_assert(sizeof(ASZStringSuite) == 23 * sizeof(void*), "ZString suite v1 has 23 slots");
