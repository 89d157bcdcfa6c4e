// The property of the plug-in property list that names the entry point. A host reads only the one
// of its own architecture and skips a module without it: '8664' for x64, 'wa64' for ARM64. The
// build says which (ZK_ARM64, see the top CMakeLists.txt); everything else in the resources is the
// same for both. Shared by both modules' resource scripts.
#pragma once

#ifdef ZK_ARM64
#define ZK_ENTRY_POINT_PROPERTY 0x77613634L /* 'wa64' */
#else
#define ZK_ENTRY_POINT_PROPERTY 0x38363634L /* '8664' */
#endif

#ifndef RC_INVOKED
// The resource compiler cannot tell the architecture; the C++ compiler can, and must agree.
#if defined(ZK_ARM64) != (defined(_M_ARM64) || defined(__aarch64__))
#error "ZK_ARM64 must be defined exactly when building for ARM64"
#endif
#endif
