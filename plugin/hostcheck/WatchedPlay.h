// One play of an event by the host check, watched: its status and result, the windows the host
// showed meanwhile (WindowWatch), and the open documents before and after it; and closing, without
// saving, the documents a play added, which are the check's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CheckReport.h"
#include "HostTypes.h"
#include "OpenDocumentsLook.h"
#include "WindowWatch.h"

// The documents the check added, and what became of them.
struct CheckDocuments {
  int added = 0;
  int closed = 0;
  std::vector<std::string> failures;  // "document ID: status"
  std::vector<uint32_t> notClosed;    // their identifiers: never tried twice
};

// What one play answered, and what it did to the open documents.
struct PlayAnswer {
  bool played = false;  // not when the documents before it could not all be read
  int32_t status = 0;
  bool hasResult = false;
  std::string resultKeys;
  std::string settings;  // 'As  ' in the result
  std::string message;   // 'Msge', UTF-8; empty when there is none
  bool watching = false;
  std::vector<WatchedWindow> shown;
  OpenDocumentsLook before;
  OpenDocumentsLook after;
};

// Plays the event with the parameters, watching the windows the host shows meanwhile. Does not
// play when the documents before it cannot all be read: nobody could then tell the ones it adds
// from the person's.
PlayAnswer PlayWatched(DescriptorEventID eventId, PIActionDescriptor parameters, PIDialogPlayOptions options);

// "status", "result", "'Msge'", "documents added" (and with open, "'As  ' in the result").
void ReportPlay(ReportSection& section, const PlayAnswer& answer, bool open);
// "dialog shown", and a note for each window.
void ReportWindows(ReportSection& section, const PlayAnswer& answer);
// Which document is active after the play; expected names one that was open before it, if any.
std::string ActiveDocumentText(const PlayAnswer& answer, uint32_t expected);
// Closes every document in after that was not in before, without saving (one that could not be
// closed once is left alone).
void CloseAdded(const OpenDocumentsLook& before, const OpenDocumentsLook& after, CheckDocuments& own);
