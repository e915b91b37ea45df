#pragma once
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "FileFailure.h"

struct ChildRun {
  bool succeeded;
  std::string boxes;  // one "title|prompt" line for each message box the child's failure gives
};

// What the child's action returns: true, or false with why when a failure is known.
inline bool reportedInChild(const std::optional<FileFailure>& failure) {
  if (!failure) return true;
  for (const Message& message : failureMessages(*failure)) {
    const std::string line = message.title + "|" + message.bytes() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return false;
}

// What a child may be asked to do, by name. Windows has no fork, so a child is the test program
// started afresh: it shares nothing with the test but the bytes on its command line.
using ChildActions = std::map<std::string, std::function<bool(const QList<QByteArray>&)>>;

inline QString testProgramPath() {
#ifdef _WIN32
  wchar_t path[MAX_PATH * 4];
  return QString::fromWCharArray(path, int(::GetModuleFileNameW(nullptr, path, MAX_PATH * 4)));
#else
  char path[PATH_MAX];
  const ssize_t got = ::readlink("/proc/self/exe", path, sizeof path);
  return QString::fromLocal8Bit(path, got > 0 ? got : 0);
#endif
}

// Starts the action in a child: as nobody when asked, so that permissions apply to tests run as
// root, and with a limit on the size of the files it writes (0: none), so that the disk is full
// after that many bytes. Neither exists on Windows; tests skip those rows there.
inline std::unique_ptr<QProcess> startChild(const std::string& action, const QList<QByteArray>& arguments, bool asNobody = false,
                                            long sizeLimit = 0) {
  // Hex, since a command line carries neither any byte nor, on Windows, any name.
  QStringList commandLine{"--child", QString::fromStdString(action), asNobody ? "1" : "0", QString::number(sizeLimit)};
  for (const QByteArray& argument : arguments) commandLine << QString::fromLatin1(argument.toHex());
  auto child = std::make_unique<QProcess>();
  child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child->start(testProgramPath(), commandLine);
  return child;
}

inline ChildRun childResult(QProcess& child) {
  if (!child.waitForFinished(-1)) return {false, "not run: " + child.errorString().toStdString()};
  return {child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, child.readAllStandardOutput().toStdString()};
}

inline ChildRun inChild(const std::string& action, const QList<QByteArray>& arguments, bool asNobody = false, long sizeLimit = 0) {
  return childResult(*startChild(action, arguments, asNobody, sizeLimit));
}

// Ends the child at once, as a crash or a kill does: nothing is flushed, no destructor runs.
[[noreturn]] inline void killSelf() {
#ifdef _WIN32
  ::TerminateProcess(::GetCurrentProcess(), 9);
#else
  std::raise(SIGKILL);
#endif
  std::abort();
}

// The child's side of startChild: argv is "--child ACTION AS_NOBODY SIZE_LIMIT ARGUMENT...".
[[noreturn]] inline void runChild(const ChildActions& actions, int argc, char** argv) {
  const bool asNobody = argv[3][0] == '1';
  const long sizeLimit = std::atol(argv[4]);
#ifdef _WIN32
  (void)asNobody;
  (void)sizeLimit;
  ::_setmode(::_fileno(stdout), _O_BINARY);  // the prompts' CR LF as they are
#else
  if (asNobody && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
  if (sizeLimit > 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG, as a full disk fails it with ENOSPC
    const rlimit limit{static_cast<rlim_t>(sizeLimit), static_cast<rlim_t>(sizeLimit)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
#endif
  QList<QByteArray> arguments;
  for (int i = 5; i < argc; ++i) arguments << QByteArray::fromHex(argv[i]);
  const auto action = actions.find(argv[2]);
  const bool succeeded = action != actions.end() && action->second(arguments);
  std::fflush(stdout);
  std::_Exit(succeeded ? 0 : 1);
}

// QTEST_APPLESS_MAIN, for a test program whose children run the actions.
#define PELKO_TEST_MAIN_WITH_CHILDREN(TestObject, actions)                                            \
  int main(int argc, char** argv) {                                                                 \
    if (argc >= 5 && std::string_view(argv[1]) == "--child") runChild(actions, argc, argv);         \
    TestObject tc;                                                                                  \
    return QTest::qExec(&tc, argc, argv);                                                           \
  }
