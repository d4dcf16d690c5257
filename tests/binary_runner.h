// Runs the built boardshot binary in a scratch directory and captures what a
// user or a script would see: standard output and the exit status.
#pragma once

#include <string>
#include <vector>

namespace boardshot_test {

struct RunResult {
  std::string stdoutText;
  int exitStatus = -1;  // the process exit status, or -1 if it did not exit
};

// A fresh directory under the system's temp directory, removed with its
// contents when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::string path_;
};

/// Runs the binary with `args` (not counting argv[0]) in `workingDir`.
RunResult RunBoardshot(const std::vector<std::string>& args,
                       const std::string& workingDir);

/// The whole content of the file at `path`; empty if it cannot be read.
std::string ReadFileBytes(const std::string& path);

/// The path of a file in the shared PGN corpus beside the checkout.
std::string CorpusPath(const std::string& relative);

/// The path of a file in the source tree.
std::string SourcePath(const std::string& relative);

}  // namespace boardshot_test
