// libFuzzer target over the local-SQL translator: any failure other than a refused
// statement (std::invalid_argument) is a crash. Corpus: fuzz/corpus/translator.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "TranslatorFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tv::db::fuzz::TranslateOne(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
