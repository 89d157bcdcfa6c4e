// Basic types, codes and message records of the host's plug-in interface (64-bit Windows).
// Written from the host's published binary layout. Natural alignment everywhere except where a
// record says otherwise: never wrap these headers in a #pragma pack.
#pragma once

// The system's headers first, in every file that sees the suites: <windows.h> turns names such
// as GetObject into macros, and a suite member must be spelt the same way wherever it is used.
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Every host call uses the platform's one x64 convention; keep it explicit so that a /Gv build
// (vectorcall by default) cannot change how doubles are passed to the host.
#if defined(_MSC_VER)
#define HOSTCALL __cdecl
#else
#define HOSTCALL
#endif

using SPErr = int32_t;        // status of the SP (basic, access) suites
using SPBoolean = int32_t;    // 4 bytes on Windows
using OSErr = int16_t;        // status of the action, handle and UI suites
using Boolean = uint8_t;      // the host's 1-byte boolean (descriptors, handles)
using ASErr = int32_t;
using ASBoolean = int32_t;    // 4 bytes on Windows
using ASInt32 = int32_t;
using ASUInt32 = uint32_t;
using ASInt16 = int16_t;
using ASUnicode = uint16_t;
using OSType = uint32_t;
using ResType = uint32_t;
using real64 = double;

using DescriptorEventID = uint32_t;
using DescriptorClassID = uint32_t;
using DescriptorKeyID = uint32_t;
using DescriptorTypeID = uint32_t;
using DescriptorEnumTypeID = uint32_t;
using DescriptorEnumID = uint32_t;
using DescriptorUnitID = uint32_t;
using DescriptorFormID = uint32_t;

using Ptr = char*;
using Handle = char**;  // the host's own handle model, not a Win32 HANDLE
using PIDescriptorHandle = Handle;

struct SPPlugin;
struct SPAccess;
struct PIOpaqueActionDescriptor;
struct PIOpaqueActionReference;
struct PIOpaqueActionList;
struct ASZByteRun;
using SPPluginRef = SPPlugin*;
using SPAccessRef = SPAccess*;
using SPPlatformAccessRef = void*;
using PIActionDescriptor = PIOpaqueActionDescriptor*;
using PIActionReference = PIOpaqueActionReference*;
using PIActionList = PIOpaqueActionList*;
using ASZString = ASZByteRun*;

// A four-character code: the first character lands in the most significant byte.
constexpr uint32_t FourCC(const char (&code)[5]) {
  return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
         (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

// SP status codes.
constexpr SPErr kSPNoError = 0;
constexpr SPErr kSPUnimplementedError = int32_t(FourCC("!IMP"));
constexpr SPErr kSPBadParameterError = int32_t(FourCC("Parm"));
constexpr SPErr kSPSuiteNotFoundError = int32_t(FourCC("S!Fd"));
constexpr SPErr kSPOutOfMemoryError = -108;

enum PIDialogPlayOptions : int32_t { plugInDialogDontDisplay = 0, plugInDialogDisplay = 1, plugInDialogSilent = 2 };
enum PIDialogRecordOptions : int32_t { plugInDialogOptional = 0, plugInDialogRequired = 1, plugInDialogNone = 2 };

struct SPBasicSuite;

// The header of every message the host passes to the entry point.
constexpr int32_t kSPValidSPMessageData = int32_t(FourCC("SPCk"));
struct SPMessageData {
  int32_t SPCheck;
  SPPluginRef self;
  void* globals;
  SPBasicSuite* basic;
};

struct SPInterfaceMessage {
  SPMessageData d;
};

enum SPAccessPoint : int32_t { kStartup = 0, kRuntime = 1, kShutdown = 2, kTerminal = 3 };
struct SPAccessMessage {
  SPMessageData d;
  SPAccessPoint when;
};

#pragma pack(push, 1)
struct PIActionParameters {
  int32_t playInfo;    // PIDialogPlayOptions
  int32_t recordInfo;  // PIDialogRecordOptions
  PIActionDescriptor descriptor;
};
#pragma pack(pop)

struct PSActionsPlugInMessage {
  SPMessageData d;
  PIActionParameters* actionParameters;
};

struct SPPlatformAccessInfo {
  void* defaultAccess;
  void* resourceAccess;
  uint32_t lastAccessTicks;
};

// Callers and selectors of the entry point.
constexpr const char* kSPInterfaceCaller = "SP Interface";
constexpr const char* kSPStartupSelector = "Startup";
constexpr const char* kSPShutdownSelector = "Shutdown";
constexpr const char* kSPAboutSelector = "About";
constexpr const char* kSPAccessCaller = "SP Access";
constexpr const char* kSPReloadSelector = "Reload";
constexpr const char* kSPUnloadSelector = "Unload";
constexpr const char* kPSPhotoshopCaller = "PS Photoshop";
constexpr const char* kPSDoIt = "Do It";

using AutoPluginEntry = SPErr(HOSTCALL*)(const char* caller, const char* selector, void* message);

static_assert(sizeof(SPMessageData) == 32 && offsetof(SPMessageData, self) == 8 &&
                  offsetof(SPMessageData, basic) == 24,
              "message header layout");
static_assert(sizeof(SPInterfaceMessage) == 32, "interface message layout");
static_assert(sizeof(SPAccessMessage) == 40 && offsetof(SPAccessMessage, when) == 32, "access message layout");
static_assert(sizeof(PSActionsPlugInMessage) == 40 && offsetof(PSActionsPlugInMessage, actionParameters) == 32,
              "automation message layout");
static_assert(sizeof(PIActionParameters) == 16 && offsetof(PIActionParameters, descriptor) == 8,
              "action parameters layout");
static_assert(sizeof(SPPlatformAccessInfo) == 24, "platform access info layout");
