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
// Closes every document, clears faults, counts and the host's resolver back to the documents.
void ResetTestHost();

namespace AutomationUtils = ZentrastMisc::AutomationUtils;
std::vector<AutomationUtils::DocumentInfo> ListDocuments(OSErr* status = nullptr);
