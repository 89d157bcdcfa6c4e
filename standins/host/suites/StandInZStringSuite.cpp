#include "StandInZStringSuite.h"

// The AS ZString suite: reference-counted UTF-16 texts. A new string has one reference; the last
// Release frees it. The empty string of GetEmpty is permanent.
#include "HostStatus.h"
#include "StandInHost.h"
#include "SuiteCall.h"
#include "TextConvert.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace zk {
namespace {

SuiteCall Enter(const char* procedure) { return EnterProcedure("ASZString", procedure); }

ASErr HOSTCALL Unimplemented(const char* procedure) {
  SuiteCall call = Enter(procedure);
  return call.status ? call.status : kSPUnimplementedError;
}

ASErr HOSTCALL Make(const char* procedure, std::u16string text, ASZString* out) {
  SuiteCall call = Enter(procedure);
  if (call.status) return call.status;
  if (!out) return kSPBadParameterError;
  *out = call.Objects().NewZString(std::move(text));
  return kSPNoError;
}

// The count may include a terminator: the text stops at the first zero within the count.
ASErr HOSTCALL MakeFromUnicode(ASUnicode* src, size_t count, ASZString* out) {
  if (!src && count > 0) return Make("MakeFromUnicode", u"", nullptr);
  std::u16string text;
  for (size_t i = 0; i < count && src[i] != 0; ++i) text.push_back(char16_t(src[i]));
  return Make("MakeFromUnicode", text, out);
}

// At most byteCount bytes, stopping at a zero.
ASErr HOSTCALL MakeFromCString(const char* src, size_t byteCount, ASZString* out) {
  if (!src && byteCount > 0) return Make("MakeFromCString", u"", nullptr);
  const void* zero = src ? std::memchr(src, 0, byteCount) : nullptr;
  size_t length = zero ? size_t(static_cast<const char*>(zero) - src) : byteCount;
  std::string bytes(src ? src : "", src ? length : 0);
  return Make("MakeFromCString", AnsiToUtf16(bytes), out);
}

// The length byte comes first; byteCount bounds how much of src may be read.
ASErr HOSTCALL MakeFromPascalString(const unsigned char* src, size_t byteCount, ASZString* out) {
  if (!src || byteCount == 0) return Make("MakeFromPascalString", u"", src ? out : nullptr);
  size_t length = src[0] < byteCount - 1 ? src[0] : byteCount - 1;
  return Make("MakeFromPascalString", AnsiToUtf16(std::string(reinterpret_cast<const char*>(src + 1), length)), out);
}

ASErr HOSTCALL MakeRomanizationOfInteger(ASInt32 value, ASZString* out) {
  return Make("MakeRomanizationOfInteger", Utf8ToUtf16(std::to_string(value)), out);
}

ASErr HOSTCALL MakeRomanizationOfFixed(ASInt32, ASInt16, ASBoolean, ASBoolean, ASZString*) {
  return Unimplemented("MakeRomanizationOfFixed");
}

ASErr HOSTCALL MakeRomanizationOfDouble(real64 value, ASZString* out) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return Make("MakeRomanizationOfDouble", Utf8ToUtf16(text), out);
}

ASZString HOSTCALL GetEmpty() {
  SuiteCall call = Enter("GetEmpty");
  return call.status ? nullptr : call.Objects().EmptyZString();
}

ASErr HOSTCALL Copy(ASZString source, ASZString* copy) {
  SuiteCall call = Enter("Copy");
  if (call.status) return call.status;
  HostZString* z = call.Objects().ZString(source);
  if (!z || !copy) return kSPBadParameterError;
  *copy = call.Objects().NewZString(z->text);
  return kSPNoError;
}

ASErr HOSTCALL Replace(ASZString, ASUInt32, ASZString) { return Unimplemented("Replace"); }
ASErr HOSTCALL TrimEllipsis(ASZString) { return Unimplemented("TrimEllipsis"); }
ASErr HOSTCALL TrimSpaces(ASZString) { return Unimplemented("TrimSpaces"); }
ASErr HOSTCALL RemoveAccelerators(ASZString) { return Unimplemented("RemoveAccelerators"); }

ASErr HOSTCALL AddRef(ASZString zstring) {
  SuiteCall call = Enter("AddRef");
  if (call.status) return call.status;
  HostZString* z = call.Objects().ZString(zstring);
  if (!z) return kSPBadParameterError;
  if (zstring != call.Objects().EmptyZString()) ++z->references;
  return kSPNoError;
}

ASErr HOSTCALL Release(ASZString zstring) {
  SuiteCall call = Enter("Release");
  if (call.status) return call.status;
  return call.Objects().ReleaseZString(zstring) ? kSPNoError : kSPBadParameterError;
}

ASBoolean HOSTCALL IsAllWhiteSpace(ASZString zstring) {
  SuiteCall call = Enter("IsAllWhiteSpace");
  HostZString* z = call.status ? nullptr : call.Objects().ZString(zstring);
  if (!z) return 0;
  for (char16_t c : z->text) {
    if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return 0;
  }
  return 1;
}

ASBoolean HOSTCALL IsEmpty(ASZString zstring) {
  SuiteCall call = Enter("IsEmpty");
  HostZString* z = call.status ? nullptr : call.Objects().ZString(zstring);
  return (z && z->text.empty()) ? 1 : 0;
}

ASBoolean HOSTCALL WillReplace(ASZString, ASUInt32) {
  Enter("WillReplace");
  return 0;
}

// Lengths count the characters (UTF-16 units, or bytes) without the terminator.
ASUInt32 HOSTCALL LengthAsUnicodeCString(ASZString zstring) {
  SuiteCall call = Enter("LengthAsUnicodeCString");
  HostZString* z = call.status ? nullptr : call.Objects().ZString(zstring);
  return z ? ASUInt32(z->text.size()) : 0;
}

// With checkSize, a buffer too small for the text and its terminator is an error; without it the
// text is cut to fit. Either way nothing is written past bufferSize, and a written text is terminated.
// TEXT is a std::string or std::u16string whose units are the buffer's (ASUnicode is a 16-bit
// integer, of which not every standard library makes strings).
template <typename Text, typename Char>
ASErr HOSTCALL CopyOut(const Text& text, Char* buffer, ASUInt32 bufferSize, ASBoolean checkSize) {
  static_assert(sizeof(typename Text::value_type) == sizeof(Char), "the text's units are the buffer's");
  if (!buffer || bufferSize == 0) return kSPBadParameterError;
  if (checkSize && text.size() + 1 > bufferSize) return kSPBadParameterError;
  size_t n = text.size() < bufferSize - 1 ? text.size() : bufferSize - 1;
  std::memcpy(buffer, text.data(), n * sizeof(Char));
  buffer[n] = 0;
  return kSPNoError;
}

ASErr HOSTCALL AsUnicodeCString(ASZString zstring, ASUnicode* buffer, ASUInt32 bufferSize, ASBoolean checkSize) {
  SuiteCall call = Enter("AsUnicodeCString");
  if (call.status) return call.status;
  HostZString* z = call.Objects().ZString(zstring);
  if (!z) return kSPBadParameterError;
  return CopyOut(z->text, buffer, bufferSize, checkSize);
}

std::string AsAnsi(const std::u16string& text) {
  std::wstring wide(text.begin(), text.end());
  int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(size_t(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &narrow[0], length, nullptr, nullptr);
  return narrow;
}

ASUInt32 HOSTCALL LengthAsCString(ASZString zstring) {
  SuiteCall call = Enter("LengthAsCString");
  HostZString* z = call.status ? nullptr : call.Objects().ZString(zstring);
  return z ? ASUInt32(AsAnsi(z->text).size()) : 0;
}

ASErr HOSTCALL AsCString(ASZString zstring, char* buffer, ASUInt32 bufferSize, ASBoolean checkSize) {
  SuiteCall call = Enter("AsCString");
  if (call.status) return call.status;
  HostZString* z = call.Objects().ZString(zstring);
  if (!z) return kSPBadParameterError;
  return CopyOut(AsAnsi(z->text), buffer, bufferSize, checkSize);
}

ASUInt32 HOSTCALL LengthAsPascalString(ASZString zstring) {
  SuiteCall call = Enter("LengthAsPascalString");
  HostZString* z = call.status ? nullptr : call.Objects().ZString(zstring);
  if (!z) return 0;
  size_t n = AsAnsi(z->text).size();
  return ASUInt32(n > 255 ? 255 : n);
}

// The length byte and the characters; at most 255 characters and never more than bufferSize bytes.
ASErr HOSTCALL AsPascalString(ASZString zstring, char* buffer, ASUInt32 bufferSize, ASBoolean checkSize) {
  SuiteCall call = Enter("AsPascalString");
  if (call.status) return call.status;
  HostZString* z = call.Objects().ZString(zstring);
  if (!z || !buffer || bufferSize == 0) return kSPBadParameterError;
  std::string text = AsAnsi(z->text);
  if (text.size() > 255) text.resize(255);
  if (checkSize && text.size() + 1 > bufferSize) return kSPBadParameterError;
  size_t n = text.size() < bufferSize - 1 ? text.size() : bufferSize - 1;
  buffer[0] = char(uint8_t(n));
  std::memcpy(buffer + 1, text.data(), n);
  return kSPNoError;
}

const ASZStringSuite kZStringSuite = {
    MakeFromUnicode,  MakeFromCString,        MakeFromPascalString, MakeRomanizationOfInteger,
    MakeRomanizationOfFixed, MakeRomanizationOfDouble, GetEmpty,    Copy,
    Replace,          TrimEllipsis,           TrimSpaces,           RemoveAccelerators,
    AddRef,           Release,                IsAllWhiteSpace,      IsEmpty,
    WillReplace,      LengthAsUnicodeCString, AsUnicodeCString,     LengthAsCString,
    AsCString,        LengthAsPascalString,   AsPascalString,
};

}  // namespace

const ASZStringSuite* StandInZStringSuite() { return &kZStringSuite; }

}  // namespace zk
