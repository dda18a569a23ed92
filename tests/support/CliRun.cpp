#include "support/CliRun.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/TestData.h"

namespace bookloom::test {

CliRun RunCli(const std::filesystem::path& folder, const std::string& arguments,
              const std::filesystem::path& program) {
  const ScratchDir outputs;
  const std::string command = "cd " + Quoted(folder) + " && exec " + Quoted(program) + " " + arguments +
                              " >" + Quoted(outputs / "out") + " 2>" + Quoted(outputs / "errors");
  const int raw = std::system(command.c_str());
  const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : -1;
  return {status, ReadBytes(outputs / "out"), ReadBytes(outputs / "errors")};
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace bookloom::test
