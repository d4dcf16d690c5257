// Replays every input saved under fuzz/regressions/ through the same code
// path as the fuzz target that found it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "reader/reader.h"

namespace boardshot {
namespace {

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

class DevNull {
 public:
  DevNull() : stream_(std::fopen("/dev/null", "w")) {}
  ~DevNull() {
    if (stream_ != nullptr) std::fclose(stream_);
  }
  DevNull(const DevNull&) = delete;
  DevNull& operator=(const DevNull&) = delete;
  std::FILE* get() const { return stream_; }

 private:
  std::FILE* stream_;
};

// Saved findings are named after their fuzz target: conversion-* replays
// through the whole conversion, board_moves-* through the token target.
TEST(FuzzRegression, SavedFindingsReplayToSoundStates) {
  const std::filesystem::path dir =
      std::filesystem::path(BOARDSHOT_SOURCE_DIR) / "fuzz" / "regressions";
  DevNull console;
  ASSERT_NE(console.get(), nullptr);
  int replayed = 0;
  if (!std::filesystem::is_directory(dir)) {
    GTEST_SKIP() << "no fuzzer finding has been saved";
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const std::vector<std::uint8_t> bytes = FileBytes(entry.path());
    if (name.rfind("conversion-", 0) == 0) {
      FuzzRun run = ConvertFuzzInput(bytes.data(), bytes.size(), console.get());
      EXPECT_GE(run.result, 0) << name;
      EXPECT_TRUE(IsSoundState(run.state)) << name;
      ++replayed;
    } else if (name.rfind("board_moves-", 0) == 0) {
      FuzzRun run = ApplyFuzzTokens(bytes.data(), bytes.size());
      EXPECT_TRUE(IsSoundState(run.state)) << name;
      ++replayed;
    }
  }
  RecordProperty("replayed", replayed);
}

}  // namespace
}  // namespace boardshot
