// The module's host-facing code linked into a test program, talking to one stand-in host with a
// document model for the whole test program (the module's suite holders keep what they acquire).
#pragma once

#include <string>
#include <vector>

#include "DocumentQueries.h"
#include "DocumentModel.h"
#include "ImageEvents.h"
#include "StandInHost.h"

zk::StandInHost& TestHost();
zk::DocumentModel& TestDocuments();
// The events the module plays on documents: open through the raw converter, export, import,
// select and close (made anew with the documents).
zk::ImageEvents& TestImageEvents();
// Closes every document, clears faults, counts, the host's answers (HostAnswers.h) and the
// host's resolver back to the documents; the module lets go of its optional alias suite, so that
// the next use asks the host again.
void ResetTestHost();
// The host no longer offers the alias suite, and the module does not hold it: paths cross as
// 8-bit text, as with an older host. Until the next ResetTestHost.
void WithoutAliasSuite();

namespace AutomationUtils = ZentrastMisc::AutomationUtils;
std::vector<AutomationUtils::DocumentInfo> ListDocuments(OSErr* status = nullptr);
