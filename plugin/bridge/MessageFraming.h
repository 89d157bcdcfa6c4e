// One message on the pipe: each field a 4-byte little-endian byte count and its UTF-16LE text,
// the message ended by a count of 0.
#pragma once

#include <string>

#include "ByteChannel.h"
#include "FieldLists.h"

// The pipe carries short texts (commands, names, numbers, paths, messages). A count beyond this is
// garbage or hostile: it must not make the host's process reserve gigabytes and wait for them; it is
// refused before anything is reserved.
constexpr uint32_t kLongestFieldBytes = 16u << 20;

enum ReadStatusCode { MessageComplete = 1, PeerClosed = 2, ReadFailed = 3, ReadRunEnded = 4 };

struct ReadStatus {
  int32_t code = MessageComplete;
  std::string text;  // the error text of ReadFailed
};

// Empties fields, then appends each field of the next message as UTF-8.
ReadStatus ReadMessage(ByteChannel& channel, FieldList& fields);

// Sends every reply field, then the end marker. True when all of it was written; false, and
// nothing written, for a withdrawn reply.
bool WriteMessage(ByteChannel& channel, const ReplyFieldList& reply);
