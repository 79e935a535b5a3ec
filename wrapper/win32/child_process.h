#pragma once
// TAV as a child process on anonymous pipes, and the one-shot writer of a frame
// to it, so that a large request never holds up the relay of the answer.
#include <windows.h>

#include <string>

struct ChildProcess {
  HANDLE input = nullptr;    // write end of the child's standard input
  HANDLE output = nullptr;   // read end of the child's standard output
  HANDLE process = nullptr;  // the child itself, to wait for or end it
  HANDLE unread = nullptr;   // a read end of the child's input, only to see what it has not read yet
};

// Which step of starting TAV failed, in the order they are taken.
enum class [[nodiscard]] ChildStart {
  kStarted,
  kOutputPipe,
  kNullDevice,
  kInputPipe,
  kOutputHandle,
  kInputHandles,
  kNoProgramPath,
  kProcess,
};

// Starts "TAV.exe" beside the wrapper's own module, its standard error on the
// null device (text there would be read as the answer's length). The child is
// filled only when it started.
ChildStart CreateChildProcess(ChildProcess& out_child);

// Writes one frame to the child's input on a thread of its own. Never waits
// without limit: a child that does not read must not hold up the wrapper's end.
class RequestWriter {
 public:
  RequestWriter() = default;
  RequestWriter(const RequestWriter&) = delete;
  RequestWriter& operator=(const RequestWriter&) = delete;
  ~RequestWriter();

  // False when the frame cannot be handed to a thread (or the last one still
  // writes). A write that fails unexpectedly posts in_failed to the window.
  bool Start(HANDLE in_input, const std::wstring& in_frame_text, HWND in_window, UINT in_failed);
  // Waits up to the time for the last frame to be written or its pipe to break;
  // true when it was (or nothing was being written).
  bool Finish(DWORD in_ms);

 private:
  HANDLE m_thread = nullptr;
};
