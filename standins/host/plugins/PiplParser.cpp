#include "PiplParser.h"

#include "ByteReader.h"
#include "FourCCText.h"
#include "HostCodes.h"

namespace zk {
namespace {

constexpr size_t kTerminologyMinimumSize = 15;  // the fixed 14 bytes and at least the scope's zero

bool Fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

bool ReadFourCCProperty(const PiplProperty& p, uint32_t* value) {
  ByteReader reader(p.data.data(), p.data.size());
  return reader.ReadU32(value);
}

bool InterpretProperty(const PiplProperty& p, PiplInfo* info, std::string* error) {
  const std::string what = "property " + FourCCText(p.key);
  auto once = [&](bool* seen) {
    if (*seen) return Fail(error, what + " appears more than once");
    *seen = true;
    return true;
  };
  ByteReader reader(p.data.data(), p.data.size());
  switch (p.key) {
    case PIKindProperty:
      if (!once(&info->hasKind)) return false;
      if (!ReadFourCCProperty(p, &info->kind)) return Fail(error, what + " is shorter than 4 bytes");
      return true;
    case PINameProperty:
      if (!once(&info->hasName)) return false;
      if (!reader.ReadPascal(&info->name)) return Fail(error, what + ": the name's length byte runs past its data");
      return true;
    case PICategoryProperty:
      if (!once(&info->hasCategory)) return false;
      if (!reader.ReadPascal(&info->category)) {
        return Fail(error, what + ": the category's length byte runs past its data");
      }
      return true;
    case PIVersionProperty:
      if (!once(&info->hasVersion)) return false;
      if (!ReadFourCCProperty(p, &info->version)) return Fail(error, what + " is shorter than 4 bytes");
      return true;
    case kHostEntryPointProperty:
      if (!once(&info->hasEntryName)) return false;
      if (!reader.ReadZeroTerminated(p.data.size(), &info->entryName)) {
        return Fail(error, what + ": the entry-point name has no terminating zero");
      }
      if (info->entryName.empty()) return Fail(error, what + ": the entry-point name is empty");
      return true;
    case PIHasTerminologyProperty: {
      if (!once(&info->hasTerminology)) return false;
      if (p.data.size() < kTerminologyMinimumSize) return Fail(error, what + " is shorter than 15 bytes");
      PiplTerminology& t = info->terminology;
      reader.ReadI32(&t.version);
      reader.ReadU32(&t.classId);
      reader.ReadU32(&t.eventId);
      reader.ReadI16(&t.terminologyId);
      if (!reader.ReadZeroTerminated(reader.Remaining(), &t.scope)) {
        return Fail(error, what + ": the scope string has no terminating zero");
      }
      return true;
    }
    default:
      return true;  // not one the host reads here
  }
}

}  // namespace

bool ParsePipl(const uint8_t* bytes, size_t size, PiplInfo* info, std::string* error) {
  *info = PiplInfo();
  ByteReader reader(bytes, size);
  uint16_t header = 0;
  int32_t version = 0;
  int32_t count = 0;
  if (!reader.ReadU16(&header) || !reader.ReadI32(&version) || !reader.ReadI32(&count)) {
    return Fail(error, "the property list is shorter than its 10-byte header (" + std::to_string(size) + " bytes)");
  }
  if (header != 1) return Fail(error, "the property list's header word is " + std::to_string(header) + ", not 1");
  if (version != 0) return Fail(error, "the property list's version is " + std::to_string(version) + ", not 0");
  if (count < 0) return Fail(error, "the property list's count is negative (" + std::to_string(count) + ")");
  for (int32_t i = 0; i < count; ++i) {
    const std::string where = "property " + std::to_string(i + 1) + " of " + std::to_string(count);
    PiplProperty p;
    if (!reader.ReadU32(&p.vendor) || !reader.ReadU32(&p.key) || !reader.ReadU32(&p.id) || !reader.ReadU32(&p.length)) {
      return Fail(error, where + ": the property list ends inside the property header");
    }
    if (p.length > reader.Remaining()) {
      return Fail(error, where + " (" + FourCCText(p.key) + "): its length " + std::to_string(p.length) +
                             " runs past the end of the property list");
    }
    const uint8_t* data = bytes + reader.Offset();
    p.data.assign(data, data + p.length);
    size_t padded = (size_t(p.length) + 3) / 4 * 4;
    // The padding of the last property may be missing; inner properties need it to find the next one.
    reader.Skip(padded <= reader.Remaining() ? padded : reader.Remaining());
    if (p.vendor == PIAdobeVendorID && !InterpretProperty(p, info, error)) return false;
    info->properties.push_back(std::move(p));
  }
  return true;
}

bool IsCallableAutomationPlugin(const PiplInfo& info, std::string* reason) {
  if (!info.hasKind) return Fail(reason, "the property list has no 'kind' property");
  if (info.kind != PIAutomationPluginKind) {
    return Fail(reason, "its kind is " + FourCCText(info.kind) + ", not an automation plug-in ('8LIZ')");
  }
  if (!info.hasName) return Fail(reason, "the property list has no 'name' property (the menu name)");
  if (info.name.empty()) return Fail(reason, "the menu name in 'name' is empty");
  if (!info.hasEntryName) {
    return Fail(reason, "the property list has no " + FourCCText(kHostEntryPointProperty) + " property (the " +
                            kHostArchitecture + " entry point)");
  }
  return true;
}

}  // namespace zk
