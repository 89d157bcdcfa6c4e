#include "FieldLists.h"

FieldList RequestFields;
ReplyFieldList ReplyFields;

void ReplyError(ReplyFieldList& reply, const std::string& message) {
  reply.Append("Error");
  reply.Append(message);
}
