// How the stand-in host answers where hosts are known to answer otherwise than a naive one, or
// where the real host's answer is not known: the defaults are the real host's answers as far as
// they are known, every other answer is a switch (docs/host-fidelity.md has the whole table, and
// zkhost's options set these).
#pragma once

#include "HostTypes.h"
#include "NarrowText.h"

namespace zk {

struct HostAnswers {
  // Titles and the 8-bit form of paths in aliases, both ways.
  NarrowTexts narrowTexts = NarrowTexts::Ansi;
  // 'FilR' typed 'alis' (FourCC("alis")) or 'Pth ' (FourCC("Pth ")): hosts hand out either.
  DescriptorTypeID fileReferenceType = FourCC("alis");
  // GetInteger of a unit double: converted with status 0, or refused with a status.
  bool refuseIntegerOfUnitValue = false;
  // A whole document's descriptor carries dozens of keys, one of them a long text, as a real
  // host's does; off, only the keys the stand-in models.
  bool heavyDocuments = false;

  // The raw converter's open ('Opn ').
  bool cancelEveryRawOpen = false;   // status 0, an empty result, no document: a cancelled dialog
  bool rawOpenAgain = false;         // a file open already opens as one more document
  bool rawOwnDepth = false;          // 'BtDp' ignored: the file opens at its own depth
  bool rawConverterDialog = false;   // shows its dialog on every open that is not played silently
  // The opened document's file ('FilR', and 'null' of the result): by default as the file system
  // names the file (its final path: the letter case on disk, '\' between names, the drive Wine
  // picks for it), which differs from the request's spelling wherever a file has more than one
  // name; on, as the open asked for it, as a host that keeps the request's spelling.
  bool rawFileNamesAsAsked = false;
};

}  // namespace zk
