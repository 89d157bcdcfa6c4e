// Finds the automation plug-ins of a plug-ins folder the way the host does: each "*.8li" file's
// property list ("PIPL" 16000) and, when it names one, its terminology ("AETE"). The folder is not
// searched recursively.
#pragma once

#include "AeteParser.h"
#include "PiplParser.h"

#include <string>
#include <vector>

namespace zk {

constexpr int kPiplResourceId = 16000;

struct PluginRecord {
  std::wstring path;
  PiplInfo pipl;
  bool hasTerminology = false;
  AeteInfo terminology;
  std::string eventName;  // the terminology's name of the 'hstm' event, when there is one
};

struct ScanRefusal {
  std::wstring path;
  std::string message;  // names the file and the fault
};

struct ScanResult {
  std::vector<PluginRecord> plugins;  // the menu, in file-name order
  std::vector<ScanRefusal> refusals;  // files that are no callable automation plug-in, in file-name order
  std::string folderError;            // set when the folder itself cannot be read
};

ScanResult ScanPluginFolder(const std::wstring& folder);

// Reads one module's resources (as data: nothing of the module runs). False with a message.
bool ReadPluginRecord(const std::wstring& path, PluginRecord* record, std::string* error);

}  // namespace zk
