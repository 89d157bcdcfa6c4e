// Making a host document the active one by its identifier ('DocI'), and closing one the module
// itself opened or made, without saving. Main thread only.
#pragma once

#include <cstdint>

namespace ZentrastMisc {
namespace AutomationUtils {

// Plays 'slct' of the document with that identifier. 0, or the status of the first failing step.
int32_t SelectDocument(uint32_t identifier);

// Selects the document, then closes it without saving. 0, or the status of the first failing step.
// Only ever for a document whose changes are the module's own: a person's work is lost with it.
int32_t CloseDocumentWithoutSaving(uint32_t identifier);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
