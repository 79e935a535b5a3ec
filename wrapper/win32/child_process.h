#pragma once
// TAV as a child process on anonymous pipes, and the one-shot writer of its
// request, so that a large request never holds up the relay of the answer.
#include <windows.h>

#include <string>

struct ChildPipes {
  HANDLE input = nullptr;   // write end of the child's standard input
  HANDLE output = nullptr;  // read end of the child's standard output (and error)
};

// Starts "TAV.exe" beside the wrapper's own module. Returns 0 and the error
// number (1 to 6) traced by the caller, or 1 with the pipes filled.
int CreateChildProcess(ChildPipes& out_pipes, int& out_error);

// Writes the request frame to the child input on a thread of its own.
class RequestWriter {
 public:
  RequestWriter() = default;
  RequestWriter(const RequestWriter&) = delete;
  RequestWriter& operator=(const RequestWriter&) = delete;
  ~RequestWriter() { Wait(); }

  bool Start(HANDLE in_input, const std::wstring& in_request);
  // Until the request is written or its pipe has broken.
  void Wait();

 private:
  HANDLE m_thread = nullptr;
};
