// The statuses the stand-in host answers with. Negative 16-bit values, as the host's action suites
// answer; the SP suites answer the four-character SP codes of HostTypes.h instead.
#pragma once

#include "HostTypes.h"

namespace zk {

constexpr OSErr kStandInParamError = -50;           // a null pointer, or an object that is not live
constexpr OSErr kStandInMemoryError = -108;         // a size the host cannot allocate
constexpr OSErr kStandInKeyMissing = -1701;         // no value under that key
constexpr OSErr kStandInWrongType = -1703;          // a value of another type than the getter reads
constexpr OSErr kStandInEventNotHandled = -1708;    // Play of an event nobody registered
constexpr OSErr kStandInBadIndex = -1719;           // a list or key index out of range
constexpr OSErr kStandInNoSuchObject = -1728;       // Get of a reference the host cannot resolve
constexpr OSErr kStandInNotImplemented = -30900;    // a procedure this stand-in does not carry out
constexpr OSErr kStandInNoCurrentHost = -30901;     // a suite called while no StandInHost exists

}  // namespace zk
