// The bench host: loads the real module through the stand-in host as zkhost does, opens documents,
// sends Do It with the benchmarking companion installed, and answers the companion's marks with the
// host's figures (BenchMarks.h) while serving the baselines on a pipe of its own (BenchEcho.h). Then
// it measures the log's cost per entry (BenchLogCost.h) and writes the tables and targets
// (BenchReport.h); scripts/bench.sh draws the plot from bench.csv.
//
//   bench_host.exe PLUGINS-FOLDER COMPANION-FOLDER OUTPUT-FOLDER [quick]
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BenchEcho.h"
#include "BenchLogCost.h"
#include "BenchMarks.h"
#include "BenchReport.h"
#include "BenchResults.h"
#include "BenchShared.h"
#include "DocumentModel.h"
#include "GradientFiles.h"
#include "ImageEvents.h"
#include "ImageFiles.h"
#include "ImagePixels.h"
#include "ModalRobot.h"
#include "StandInHost.h"
#include "WindowsOwners.h"

using zkbench::Narrow;

namespace {

constexpr char kRegistryKey[] = "Software\\Varnholt\\ZentrastTavri";
constexpr char kMenuName[] = "Zentrast Kolvane...";

int64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The module finds the benchmarking companion through the remembered folder; whatever folder was
// remembered before is remembered again when the bench ends, however it ends.
class RememberedCompanionFolder {
 public:
  explicit RememberedCompanionFolder(const std::string& folder) {
    RegCreateKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key_.Address(), nullptr);
    DWORD size = 0;
    hadPrevious_ = RegQueryValueExA(key_.Get(), "Path", nullptr, &previousType_, nullptr, &size) == ERROR_SUCCESS;
    if (hadPrevious_) {
      previous_.resize(size);
      RegQueryValueExA(key_.Get(), "Path", nullptr, &previousType_, reinterpret_cast<BYTE*>(&previous_[0]), &size);
    }
    RegSetValueExA(key_.Get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()), DWORD(folder.size() + 1));
  }
  ~RememberedCompanionFolder() {
    if (hadPrevious_) {
      RegSetValueExA(key_.Get(), "Path", 0, previousType_, reinterpret_cast<const BYTE*>(previous_.data()),
                     DWORD(previous_.size()));
    } else {
      RegDeleteValueA(key_.Get(), "Path");
    }
  }
  RememberedCompanionFolder(const RememberedCompanionFolder&) = delete;
  RememberedCompanionFolder& operator=(const RememberedCompanionFolder&) = delete;

 private:
  UniqueRegistryKey key_;
  bool hadPrevious_ = false;
  DWORD previousType_ = 0;
  std::string previous_;
};

void Progress(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

// Small requests with 1, 10, 100 and 1000 documents open: one Do It for each count.
template <class RunPlan>
void SmallRequests(zk::DocumentModel& documents, bool quick, RunPlan runPlan) {
  for (const int count : {1, 10, 100, 1000}) {
    Progress("Small requests with " + std::to_string(count) + " documents open...");
    while (!documents.Documents().empty()) documents.Close(documents.Documents().front().id);
    for (int i = 0; i < count; ++i) {
      const std::string title = "Document " + std::to_string(i + 1) + ".psd";
      documents.Open(zk::HostDocument{title, "C:\\Photos\\" + title, 6000, 4000});
    }
    const int repetitions = quick ? 5 : count >= 1000 ? 7 : count >= 100 ? 15 : 31;
    std::string plan;
    for (const char* kind : {"Running", "CheckAllDocumentsSaved", "GetOpenDocuments"}) {
      plan += std::string("small ") + kind + " " + std::to_string(count) + " " + std::to_string(repetitions) + "\n";
    }
    runPlan(plan);
  }
  while (!documents.Documents().empty()) documents.Close(documents.Documents().front().id);
}

// Images of about 1, 12, 24, 50, 100 and 400 megapixels (quick: the two smaller), one Do It for
// each size. At 400 megapixels a picture of 16 bits is 2.4 GB, past 2 GiB.
template <class RunPlan>
void ImageRequests(const std::wstring& work, bool quick, RunPlan runPlan) {
  struct Size {
    int width, height;
  };
  std::vector<Size> sizes = {{1224, 816}, {4240, 2832}, {6000, 4000}, {8688, 5792}, {12240, 8160}, {24480, 16320}};
  if (quick) sizes = {{1224, 816}, {4240, 2832}};
  for (const Size& size : sizes) {
    Progress("Images of " + std::to_string(size.width) + " x " + std::to_string(size.height) + " pixels...");
    // A raw file past what the raw converter decodes (an image file of 1 GiB) is a gradient file.
    const bool decoded = uint64_t(size.width) * uint64_t(size.height) * 6 < (uint64_t(1) << 30);
    const std::wstring file = work + L"\\raw-" + std::to_wstring(size.width) + L"x" + std::to_wstring(size.height) +
                              (decoded ? L".png" : L".zkgradient");
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
      zk::ImagePixels image;
      std::string error;
      const bool written = decoded ? zk::GradientImage(size.width, size.height, 16, &image) &&
                                         zk::WritePngFile(file, image, &error)
                                   : zk::WriteGradientFile(file, zk::GradientFile{size.width, size.height, 16}, &error);
      if (!written) std::fprintf(stderr, "bench_host: %s\n", error.c_str());
    }
    const int repetitions = quick ? 3 : size.width * size.height > 20000000 ? 3 : 5;
    const std::string dimensions = std::to_string(size.width) + " " + std::to_string(size.height);
    std::string plan;
    for (const int depth : {8, 16}) {
      const std::string tail = " " + dimensions + " " + std::to_string(depth) + " " + std::to_string(repetitions) + "\n";
      plan += "readraw " + Narrow(file) + tail;
      plan += "sendimage" + tail;
    }
    runPlan(plan);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_host PLUGINS-FOLDER COMPANION-FOLDER OUTPUT-FOLDER [quick]\n");
    return 2;
  }
  std::wstring plugins, companion, output;
  for (const char* c = argv[1]; *c; ++c) plugins += wchar_t(*c);
  for (const char* c = argv[2]; *c; ++c) companion += wchar_t(*c);
  for (const char* c = argv[3]; *c; ++c) output += wchar_t(*c);
  const bool quick = argc > 4 && std::string(argv[4]) == "quick";
  CreateDirectoryW(output.c_str(), nullptr);
  const std::wstring work = output + L"\\work";
  CreateDirectoryW(work.c_str(), nullptr);
  const std::wstring resultsPath = work + L"\\results.txt";
  const std::wstring planPath = work + L"\\plan.txt";
  DeleteFileW(resultsPath.c_str());
  SetEnvironmentVariableW(L"ZK_BENCH_RESULTS", resultsPath.c_str());
  SetEnvironmentVariableW(L"ZK_BENCH_PLAN", planPath.c_str());
  const RememberedCompanionFolder remembered(Narrow(companion));

  Progress("Measuring the log's cost per entry...");
  const LogCost logCost = MeasureLogCost(work);

  // The module's own log, from nothing, so that its size after the run is this run's.
  char documentsFolder[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, documentsFolder, CSIDL_PERSONAL, FALSE);
  const std::string moduleLog = std::string(documentsFolder) + "\\ZKVPlugin.log";
  const std::string moduleOldLog = std::string(documentsFolder) + "\\ZKVPlugin.old.log";
  DeleteFileA(moduleLog.c_str());
  DeleteFileA(moduleOldLog.c_str());

  zk::StandInHost host;
  zk::DocumentModel documents;
  documents.AttachTo(host);
  zk::ImageEvents events(host, documents);
  host.Scan(plugins);
  const zk::PluginRecord* plugin = host.FindPlugin(kMenuName);
  std::string error;
  if (!plugin || !host.Load(*plugin, &error)) {
    std::fprintf(stderr, "bench_host: cannot load the module: %s\n", error.c_str());
    return 5;
  }
  {
    zk::ModalRobot robot({}, "leave");
    const EchoServer echo;
    const MarkServer marks(host, documents);
    const auto runPlan = [&](const std::string& plan) {
      std::ofstream(Narrow(planPath)) << plan;
      host.DoIt();
    };
    SmallRequests(documents, quick, runPlan);
    ImageRequests(work, quick, runPlan);
  }
  host.Unload();

  const LogFileSizes logFiles{FileSize(moduleLog), FileSize(moduleOldLog)};
  std::vector<std::string> failures;
  const std::vector<Row> rows = ReadRows(resultsPath, &failures);
  return Report(rows, failures, logCost, logFiles, Narrow(output));
}
