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
  void Clear() { fields.clear(); }
  const FieldList& Fields() const { return fields; }

 private:
  FieldList fields;
};

extern FieldList RequestFields;
extern ReplyFieldList ReplyFields;

// An error reply: "Error", then the message.
void ReplyError(ReplyFieldList& reply, const std::string& message);
