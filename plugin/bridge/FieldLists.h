// The fields of the last request and of the reply being built: UTF-8 texts in wire order. The
// listener fills RequestFields and sends ReplyFields; between the two, the main thread serves the
// request (the listener waits meanwhile, so neither needs a lock).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

using FieldList = std::vector<std::string>;

// A reply can never hold an empty field: on the wire a zero count ends the message, so an empty
// field would cut the reply short at the companion's end. Appending one is a programming error.
class ReplyFieldList {
 public:
  void Append(std::string text) {
    if (text.empty()) throw std::invalid_argument("empty reply field");
    fields.push_back(std::move(text));
  }
  void Clear() noexcept {
    fields.clear();
    withdrawn = false;
  }
  const FieldList& Fields() const { return fields; }

  // No well-formed reply could be built (not even an error's): none is sent, and the connection
  // ends instead. The companion then sees its pipe close, never an answer that is not one: the end
  // marker alone would read as success for "Running" and as "no documents" for "GetOpenDocuments".
  void Withdraw() noexcept {
    fields.clear();
    withdrawn = true;
  }
  bool Withdrawn() const { return withdrawn; }

 private:
  FieldList fields;
  bool withdrawn = false;
};

extern FieldList RequestFields;
extern ReplyFieldList ReplyFields;

// An error reply: "Error", then the message.
void ReplyError(ReplyFieldList& reply, const std::string& message);
