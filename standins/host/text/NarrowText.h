// The host's 8-bit texts (titles, the old form of paths in aliases): in the ANSI code page of the
// process, as the host on Windows writes and reads them, or in UTF-8, as on a system whose code
// page is UTF-8. The stand-in keeps its own texts in UTF-8 either way.
#pragma once

#include <string>

namespace zk {

enum class NarrowTexts { Ansi, Utf8 };

// As the system converts: a character the ANSI code page lacks becomes a look-alike or '?'.
std::string Utf8ToNarrow(const std::string& utf8, NarrowTexts encoding);
std::u16string NarrowToUtf16(const std::string& text, NarrowTexts encoding);

}  // namespace zk
