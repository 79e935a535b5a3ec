#pragma once
// TAV as a child process on pipes: its standard input and output, its
// standard error on /dev/null (text there would be read as the answer's
// length). The child gets exactly these three descriptors: the wrapper makes
// every one of its own close-on-exec, and closes any other it was given.
#include <sys/types.h>

#include <chrono>
#include <string>

struct ChildProcess {
  int input = -1;   // write end of the child's standard input (non-blocking)
  int output = -1;  // read end of the child's standard output
  pid_t pid = -1;
};

// Which step of starting TAV failed, in the order they are taken.
enum class [[nodiscard]] ChildStart {
  kStarted,
  kOutputPipe,
  kNullDevice,
  kInputPipe,
  kSpawnSetup,
  kProcess,
};

// Starts the program with no arguments and the wrapper's environment. The
// child starts with default signal handling (the wrapper ignores SIGPIPE) in
// a process group of its own, so that it can outlive the wrapper and show
// that the page has gone. The child is filled only when it started.
ChildStart CreateChildProcess(const std::string& in_program, ChildProcess& out_child);

// Waits up to the time for the child to end and reaps it; true when it has.
bool WaitForChildEnd(pid_t in_pid, std::chrono::milliseconds in_wait);

// The program named in_name in the folder of the running wrapper; empty when
// that folder cannot be had.
std::string ProgramBesideSelf(const std::string& in_name);
