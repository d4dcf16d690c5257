#include "tests/binary_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace boardshot_test {
namespace {

// Far beyond any run of the suite, even under the sanitizers.
constexpr unsigned kRunTimeLimitSeconds = 120;

}  // namespace

ScratchDir::ScratchDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "boardshot-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a scratch directory");
  }
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void ScratchDir::Write(const std::string& name,
                       const std::string& bytes) const {
  std::ofstream out(File(name), std::ios::binary);
  out << bytes;
}

std::string ScratchDir::Read(const std::string& name) const {
  return ReadFileBytes(File(name));
}

bool ScratchDir::Exists(const std::string& name) const {
  return std::filesystem::exists(std::filesystem::symlink_status(File(name)));
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

RunResult RunBoardshot(const std::vector<std::string>& args,
                       const std::string& workingDir) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    if (chdir(workingDir.c_str()) != 0) _exit(127);
    // A run that hangs is killed (the alarm survives the exec) and shows as
    // not having exited, instead of blocking the whole suite.
    alarm(kRunTimeLimitSeconds);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(BOARDSHOT_BINARY));
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(BOARDSHOT_BINARY, argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  RunResult result;
  char chunk[4096];
  ssize_t got;
  while ((got = read(pipeFds[0], chunk, sizeof chunk)) > 0) {
    result.stdoutText.append(chunk, static_cast<std::size_t>(got));
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

std::string CorpusPath(const std::string& relative) {
  return std::string(BOARDSHOT_SOURCE_DIR) + "/../shared/corpus/" + relative;
}

std::string SourcePath(const std::string& relative) {
  return std::string(BOARDSHOT_SOURCE_DIR) + "/" + relative;
}

}  // namespace boardshot_test
