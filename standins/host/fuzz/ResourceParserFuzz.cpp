// libFuzzer harness for the property-list and terminology parsers (platform-independent code),
// built natively on Linux with sanitizers, e.g. from the repository root:
//   clang++-14 -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Ihostapi \
//     -Istandins/host/plugins -Istandins/host/text standins/host/fuzz/ResourceParserFuzz.cpp \
//     standins/host/plugins/PiplParser.cpp standins/host/plugins/AeteParser.cpp \
//     standins/host/plugins/ByteReader.cpp standins/host/text/FourCCText.cpp -o /tmp/resource-parser-fuzz
//   /tmp/resource-parser-fuzz -max_total_time=60
#include "AeteParser.h"
#include "PiplParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  zk::PiplInfo pipl;
  if (zk::ParsePipl(data, size, &pipl, &error)) {
    std::string reason;
    zk::IsCallableAutomationPlugin(pipl, &reason);
  }
  zk::AeteInfo aete;
  if (zk::ParseAete(data, size, &aete, &error)) zk::FindAeteEvent(aete, 0, 0);
  return 0;
}
