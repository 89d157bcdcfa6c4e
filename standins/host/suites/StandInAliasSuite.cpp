#include "StandInAliasSuite.h"

// The alias utility suite: aliases made from UTF-16 paths (and cloud paths), and the whole path of
// any alias the host made or hands out, whatever its 8-bit text lost (AliasBytes.h says what the
// stand-in's aliases hold). The other platform's slots answer that they are not implemented.
#include "AliasBytes.h"
#include "StandInHost.h"
#include "SuiteCall.h"
#include "TextConvert.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace zk {
namespace {

SuiteCall Enter(const char* procedure) { return EnterProcedure("PSAlias", procedure); }

SPErr HOSTCALL MacNewAliasFromCString() {
  SuiteCall call = Enter("MacNewAliasFromCString");
  return call.status ? call.status : kSPUnimplementedError;
}
SPErr HOSTCALL MacNewAliasFromFSRef() {
  SuiteCall call = Enter("MacNewAliasFromFSRef");
  return call.status ? call.status : kSPUnimplementedError;
}
SPErr HOSTCALL MacNewAliasFromNameAndFSRef() {
  SuiteCall call = Enter("MacNewAliasFromNameAndFSRef");
  return call.status ? call.status : kSPUnimplementedError;
}

SPErr NewAlias(SuiteCall& call, const std::u16string& path, bool cloud, AliasHandle* alias) {
  if (path.empty()) return kSPBadParameterError;
  *alias = call.Objects().NewHandleWith(WideAliasBytes(path, cloud));
  return kSPNoError;
}

// A zero-terminated UTF-16 path, as the plug-in hands it over.
SPErr NewAliasFromUnits(const char* procedure, const uint16_t* path, AliasHandle* alias) {
  SuiteCall call = Enter(procedure);
  if (alias) *alias = nullptr;
  if (call.status) return call.status;
  if (!path || !alias) return kSPBadParameterError;
  std::u16string units;
  for (const uint16_t* unit = path; *unit != 0; ++unit) units.push_back(char16_t(*unit));
  return NewAlias(call, units, false, alias);
}

SPErr HOSTCALL WinNewAliasFromWidePath(const uint16_t* path, AliasHandle* alias) {
  return NewAliasFromUnits("WinNewAliasFromWidePath", path, alias);
}

SPErr HOSTCALL UnicodePathToAlias(const uint16_t* path, AliasHandle* alias) {
  return NewAliasFromUnits("UnicodePathToAlias", path, alias);
}

SPErr HOSTCALL WinNewAliasFromPIDL(const void* pidl, AliasHandle* alias) {
  SuiteCall call = Enter("WinNewAliasFromPIDL");
  if (alias) *alias = nullptr;
  if (call.status) return call.status;
  if (!pidl || !alias) return kSPBadParameterError;
  std::vector<wchar_t> path(32768, L'\0');
  if (!SHGetPathFromIDListEx(static_cast<PCIDLIST_ABSOLUTE>(pidl), path.data(), DWORD(path.size()), GPFIDL_DEFAULT)) {
    return kSPBadParameterError;  // an item that is no file system path
  }
  const std::wstring text(path.data());
  return NewAlias(call, std::u16string(text.begin(), text.end()), false, alias);
}

SPErr HOSTCALL NewAliasFromCloudPath(const char* cloudPath, AliasHandle* alias) {
  SuiteCall call = Enter("NewAliasFromCloudPath");
  if (alias) *alias = nullptr;
  if (call.status) return call.status;
  if (!cloudPath || !alias) return kSPBadParameterError;
  return NewAlias(call, Utf8ToUtf16(cloudPath), true, alias);
}

// The stand-in's cloud references are the cloud paths themselves.
SPErr HOSTCALL NewAliasFromCloudReference(const char* reference, AliasHandle* alias) {
  SuiteCall call = Enter("NewAliasFromCloudReference");
  if (alias) *alias = nullptr;
  if (call.status) return call.status;
  if (!reference || !alias) return kSPBadParameterError;
  return NewAlias(call, Utf8ToUtf16(reference), true, alias);
}

// What the alias holds; a status when it is not a live handle that names something.
SPErr Content(SuiteCall& call, AliasHandle alias, AliasContent* content) {
  if (call.status) return call.status;
  const HostHandle* handle = call.Objects().HandleOf(alias);
  if (!handle) return kSPBadParameterError;
  const std::string bytes(handle->storage.data(), handle->size);
  return ReadAliasBytes(bytes, call.host->Answers().narrowTexts, content) ? kSPNoError : kSPBadParameterError;
}

SPErr HOSTCALL IsCloudFile(AliasHandle alias, SPBoolean* isCloud) {
  SuiteCall call = Enter("IsCloudFile");
  AliasContent content;
  if (const SPErr status = Content(call, alias, &content)) return status;
  if (!isCloud) return kSPBadParameterError;
  *isCloud = content.cloud ? 1 : 0;
  return kSPNoError;
}

SPErr CloudText(const char* procedure, AliasHandle alias, ASZString* text) {
  SuiteCall call = Enter(procedure);
  if (text) *text = nullptr;
  AliasContent content;
  if (const SPErr status = Content(call, alias, &content)) return status;
  if (!text || !content.cloud) return kSPBadParameterError;
  *text = call.Objects().NewZString(content.path);
  return kSPNoError;
}

SPErr HOSTCALL CloudReferenceFromAlias(AliasHandle alias, ASZString* reference) {
  return CloudText("CloudReferenceFromAlias", alias, reference);
}

SPErr HOSTCALL CloudPathFromAlias(AliasHandle alias, ASZString* cloudPath) {
  return CloudText("CloudPathFromAlias", alias, cloudPath);
}

// The whole path and its zero, or an error: a buffer too small is never handed a cut path, and a
// cloud document's alias names no file.
SPErr HOSTCALL AliasToUnicodePath(const AliasHandle alias, uint16_t* path, uint32_t lengthInUnits) {
  SuiteCall call = Enter("AliasToUnicodePath");
  AliasContent content;
  if (const SPErr status = Content(call, alias, &content)) return status;
  if (!path || content.cloud || content.path.size() >= lengthInUnits) return kSPBadParameterError;
  for (size_t i = 0; i < content.path.size(); ++i) path[i] = uint16_t(content.path[i]);
  path[content.path.size()] = 0;
  return kSPNoError;
}

const PSAliasSuite2 kAliasSuite2 = {
    MacNewAliasFromCString, MacNewAliasFromFSRef,     MacNewAliasFromNameAndFSRef, WinNewAliasFromWidePath,
    WinNewAliasFromPIDL,    NewAliasFromCloudPath,    IsCloudFile,                 CloudReferenceFromAlias,
    CloudPathFromAlias,     NewAliasFromCloudReference, UnicodePathToAlias,        AliasToUnicodePath,
};
const PSAliasSuite1 kAliasSuite1 = {
    MacNewAliasFromCString, MacNewAliasFromFSRef, MacNewAliasFromNameAndFSRef, WinNewAliasFromWidePath,
    WinNewAliasFromPIDL,
};

}  // namespace

const PSAliasSuite1* StandInAliasSuite1() { return &kAliasSuite1; }
const PSAliasSuite2* StandInAliasSuite2() { return &kAliasSuite2; }

}  // namespace zk
