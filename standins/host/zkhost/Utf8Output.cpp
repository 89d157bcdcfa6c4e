#include "Utf8Output.h"

#include <cstdio>
#include <mutex>

namespace zk {
namespace {

std::mutex g_outputMutex;  // the modal robot prints from its own thread

void Write(FILE* stream, const std::string& utf8) {
  std::lock_guard<std::mutex> lock(g_outputMutex);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

void PrintLine(const std::string& utf8) { Write(stdout, utf8); }
void PrintErrorLine(const std::string& utf8) { Write(stderr, utf8); }

}  // namespace zk
