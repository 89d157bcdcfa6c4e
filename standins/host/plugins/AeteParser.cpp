#include "AeteParser.h"

#include "ByteReader.h"
#include "FourCCText.h"

namespace zk {
namespace {

bool Fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

bool ReadParameter(ByteReader& r, AeteParameter* p) {
  return r.ReadPascal(&p->name) && r.ReadU32(&p->key) && r.ReadU32(&p->type) && r.ReadPascal(&p->description) &&
         r.ReadU16(&p->flags);
}

bool ReadEvent(ByteReader& r, AeteEvent* e, std::string* error) {
  int16_t parameterCount = 0;
  if (!r.ReadPascal(&e->name) || !r.ReadPascal(&e->description) || !r.ReadU32(&e->classId) ||
      !r.ReadU32(&e->eventId) || !r.ReadU32(&e->replyType) || !r.ReadPascal(&e->replyDescription) ||
      !r.ReadU16(&e->replyFlags) || !r.ReadU32(&e->directType) || !r.ReadPascal(&e->directDescription) ||
      !r.ReadU16(&e->directFlags) || !r.ReadI16(&parameterCount)) {
    return Fail(error, "the terminology ends inside event \"" + e->name + "\"");
  }
  if (parameterCount < 0) return Fail(error, "event \"" + e->name + "\" has a negative parameter count");
  for (int16_t i = 0; i < parameterCount; ++i) {
    AeteParameter p;
    if (!ReadParameter(r, &p)) {
      return Fail(error, "the terminology ends inside parameter " + std::to_string(i + 1) + " of event \"" +
                             e->name + "\"");
    }
    e->parameters.push_back(std::move(p));
  }
  return true;
}

bool ReadSuite(ByteReader& r, AeteSuite* s, std::string* error) {
  int16_t eventCount = 0;
  if (!r.ReadPascal(&s->name) || !r.ReadPascal(&s->description) || !r.ReadU32(&s->suiteId) ||
      !r.ReadI16(&s->level) || !r.ReadI16(&s->version) || !r.ReadI16(&eventCount)) {
    return Fail(error, "the terminology ends inside the header of suite \"" + s->name + "\"");
  }
  if (eventCount < 0) return Fail(error, "suite \"" + s->name + "\" has a negative event count");
  for (int16_t i = 0; i < eventCount; ++i) {
    AeteEvent e;
    if (!ReadEvent(r, &e, error)) return false;
    s->events.push_back(std::move(e));
  }
  int16_t classes = 0, comparisons = 0, enumerations = 0;
  if (!r.ReadI16(&classes) || !r.ReadI16(&comparisons) || !r.ReadI16(&enumerations)) {
    return Fail(error, "the terminology ends before the class, comparison and enumeration counts of suite \"" +
                           s->name + "\"");
  }
  if (classes != 0 || comparisons != 0 || enumerations != 0) {
    return Fail(error, "suite \"" + s->name + "\" declares classes, comparison operators or enumerations, "
                       "which this host does not read");
  }
  return true;
}

}  // namespace

bool ParseAete(const uint8_t* bytes, size_t size, AeteInfo* info, std::string* error) {
  *info = AeteInfo();
  ByteReader r(bytes, size);
  uint16_t header = 0;
  int16_t suiteCount = 0;
  if (!r.ReadU16(&header) || !r.ReadU8(&info->major) || !r.ReadU8(&info->minor) || !r.ReadI16(&info->language) ||
      !r.ReadI16(&info->script) || !r.ReadI16(&suiteCount)) {
    return Fail(error, "the terminology is shorter than its 10-byte header (" + std::to_string(size) + " bytes)");
  }
  if (header != 1) return Fail(error, "the terminology's header word is " + std::to_string(header) + ", not 1");
  if (info->major != 1) return Fail(error, "the terminology's major version is " + std::to_string(info->major));
  if (suiteCount < 0) return Fail(error, "the terminology has a negative suite count");
  for (int16_t i = 0; i < suiteCount; ++i) {
    AeteSuite s;
    if (!ReadSuite(r, &s, error)) return false;
    info->suites.push_back(std::move(s));
  }
  info->parsedSize = r.Offset();
  return true;
}

const AeteEvent* FindAeteEvent(const AeteInfo& info, uint32_t classId, uint32_t eventId) {
  for (const AeteSuite& suite : info.suites) {
    for (const AeteEvent& event : suite.events) {
      if (event.classId == classId && event.eventId == eventId) return &event;
    }
  }
  return nullptr;
}

}  // namespace zk
