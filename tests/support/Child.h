#pragma once
#include <csignal>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Platform.h"

struct ChildRun {
  bool succeeded;
  std::string boxes;  // one "title|prompt" line for each message box the child showed
};

// Runs the action in a child process: as nobody when asked, so that permissions apply to tests run
// as root, and with a limit on the size of the files it writes (0: none), so that the disk is
// full after that many bytes.
inline ChildRun inChild(const std::function<bool()>& action, bool asNobody = false, long sizeLimit = 0) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return {false, "no pipe"};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    if (asNobody && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    if (sizeLimit > 0) {
      ::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG, as a full disk fails it with ENOSPC
      const rlimit limit{static_cast<rlim_t>(sizeLimit), static_cast<rlim_t>(sizeLimit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    Platform::setMessageBox([&](const std::string& prompt, int, const std::string& title) {
      const std::string line = title + "|" + Platform::withoutPathMarks(prompt) + "\n";
      [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], line.data(), line.size());
      return int(Platform::Ok);
    });
    ::_exit(action() ? 0 : 1);
  }
  ::close(pipeEnds[1]);
  std::string boxes;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) boxes.append(buffer, static_cast<std::size_t>(got));
  ::close(pipeEnds[0]);
  int status = 0;
  return {::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0, boxes};
}
