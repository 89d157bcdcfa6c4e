// Where the report goes and how it is written: ZKVHostCheck.txt in the person's Documents folder,
// UTF-8 as it is, replacing an older report.
#pragma once

#include <string>
#include <vector>

// Where the report may go, in order: the Documents folder, then the TEMP folder (when the shell
// cannot say where Documents is, or it cannot be written).
std::vector<std::wstring> ReportPaths();
// Writes the text whole; false with the system's reason.
bool WriteReportFile(const std::wstring& path, const std::string& text, std::wstring* error);
