// What the stand-in host's aliases hold. The host's real alias records are not published; these
// are the stand-in's own:
//   made from a UTF-16 path (the alias suite): a zero byte, "ZKa", a kind byte (0 a file, 1 a cloud
//     document), then the path's UTF-16 units, little-endian, without a terminator. Read as text
//     it is the empty text, so a plug-in that takes an alias's bytes for a path fails visibly;
//   a file reference ('FilR', the file an open names in its result): the old form, the path as
//     8-bit text and its zero, followed by the same record, so that the alias suite still gives
//     the whole path whatever the 8-bit text lost;
//   made by a plug-in from 8-bit text (a handle it filled): the text and its zero.
#pragma once

#include "NarrowText.h"

#include <string>

namespace zk {

struct AliasContent {
  std::u16string path;  // the whole path (a cloud document's: its cloud path)
  bool cloud = false;
};

std::string WideAliasBytes(const std::u16string& path, bool cloud = false);
// The file reference of a file at path (UTF-8), its 8-bit text in the host's narrow texts.
std::string FileReferenceBytes(const std::string& utf8Path, NarrowTexts narrow);
// False when the bytes name nothing (an empty text, a record cut short).
bool ReadAliasBytes(const std::string& bytes, NarrowTexts narrow, AliasContent* content);

}  // namespace zk
