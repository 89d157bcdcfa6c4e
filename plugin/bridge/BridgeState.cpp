#include "BridgeState.h"

ListenerStartDataRecord ListenerStartData;
DWORD CompanionProcessId = 0;
UniqueHandle RequestServed;
FieldList RequestFields;
ReplyFieldList ReplyFields;
std::string ListenerError;
