#include "wrapper/win32/child_process.h"

#include <process.h>

#include <memory>

#include "wrapper/module_path.h"
#include "wrapper/win32/pipe_io.h"

namespace {

constexpr wchar_t kChildProgram[] = L"TAV.exe";

// "TAV.exe" in the wrapper's own folder; empty when that cannot be had.
std::wstring ChildProgramPath() {
  const std::wstring l_module = ReadWholePath([](wchar_t* out_path, std::uint32_t in_size) -> std::uint32_t {
    return GetModuleFileNameW(nullptr, out_path, in_size);
  });
  return ProgramBeside(l_module, kChildProgram);
}

// The wrapper's own standard handles (the browser's pipes) stay out of the child.
void KeepOwnStdHandlesFromChild() {
  for (const DWORD l_which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE l_handle = GetStdHandle(l_which);
    if (l_handle != nullptr && l_handle != INVALID_HANDLE_VALUE) SetHandleInformation(l_handle, HANDLE_FLAG_INHERIT, 0);
  }
}

void CloseIfOpen(HANDLE& io_handle) {
  if (io_handle != nullptr) CloseHandle(io_handle);
  io_handle = nullptr;
}

struct WriterJob {
  HANDLE input;
  HWND window;
  UINT failed;
  ReceiveData frame;
};

unsigned __stdcall WriterThread(void* in_job) {
  const std::unique_ptr<WriterJob> l_job(static_cast<WriterJob*>(in_job));
  HandleSink l_sink(l_job->input);
  if (WriteFrame(l_sink, l_job->frame) == WriteOutcome::kFailed) PostMessageW(l_job->window, l_job->failed, 0, 0);
  l_job->frame.Clear();
  return 0;
}

}  // namespace

ChildStart CreateChildProcess(ChildProcess& out_child) {
  const std::wstring l_program = ChildProgramPath();
  SECURITY_ATTRIBUTES l_inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE l_out_read = nullptr, l_out_write = nullptr, l_err_write = nullptr, l_in_read = nullptr,
         l_in_write = nullptr;
  const HANDLE l_self = GetCurrentProcess();
  ChildStart l_start = ChildStart::kStarted;
  if (!CreatePipe(&l_out_read, &l_out_write, &l_inherit, 0)) {
    l_start = ChildStart::kOutputPipe;
  } else if ((l_err_write = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &l_inherit,
                                        OPEN_EXISTING, 0, nullptr)) == INVALID_HANDLE_VALUE) {
    l_err_write = nullptr;
    l_start = ChildStart::kNullDevice;
  } else if (!CreatePipe(&l_in_read, &l_in_write, &l_inherit, 0)) {
    l_start = ChildStart::kInputPipe;
  } else if (!DuplicateHandle(l_self, l_out_read, l_self, &out_child.output, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    l_start = ChildStart::kOutputHandle;
  } else if (!DuplicateHandle(l_self, l_in_write, l_self, &out_child.input, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
             !DuplicateHandle(l_self, l_in_read, l_self, &out_child.unread, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    l_start = ChildStart::kInputHandles;
  } else if (l_program.empty()) {
    l_start = ChildStart::kNoProgramPath;
  }
  CloseIfOpen(l_out_read);
  CloseIfOpen(l_in_write);
  if (l_start == ChildStart::kStarted) {
    KeepOwnStdHandlesFromChild();
    STARTUPINFOW l_startup = {};
    l_startup.cb = sizeof(l_startup);
    l_startup.dwFlags = STARTF_USESTDHANDLES;
    l_startup.hStdInput = l_in_read;
    l_startup.hStdOutput = l_out_write;
    l_startup.hStdError = l_err_write;
    PROCESS_INFORMATION l_process = {};
    if (CreateProcessW(l_program.c_str(), nullptr, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &l_startup,
                       &l_process)) {
      CloseHandle(l_process.hThread);
      out_child.process = l_process.hProcess;
    } else {
      l_start = ChildStart::kProcess;
    }
  }
  CloseIfOpen(l_out_write);
  CloseIfOpen(l_in_read);
  CloseIfOpen(l_err_write);
  if (l_start != ChildStart::kStarted) {
    CloseIfOpen(out_child.input);
    CloseIfOpen(out_child.output);
    CloseIfOpen(out_child.unread);
  }
  return l_start;
}

RequestWriter::~RequestWriter() {
  // A writer still blocked on a child that never reads ends with the process.
  if (m_thread != nullptr) CloseHandle(m_thread);
}

bool RequestWriter::Start(HANDLE in_input, const std::wstring& in_frame_text, HWND in_window, UINT in_failed) {
  if (!Finish(0)) return false;
  auto l_job = std::make_unique<WriterJob>();
  l_job->input = in_input;
  l_job->window = in_window;
  l_job->failed = in_failed;
  l_job->frame.SetDataSize(1);
  l_job->frame.SetData(in_frame_text);
  const uintptr_t l_thread = _beginthreadex(nullptr, 0, WriterThread, l_job.get(), 0, nullptr);
  if (l_thread == 0) {
    l_job->frame.Clear();
    return false;
  }
  l_job.release();
  m_thread = reinterpret_cast<HANDLE>(l_thread);
  return true;
}

bool RequestWriter::Finish(DWORD in_ms) {
  if (m_thread == nullptr) return true;
  if (WaitForSingleObject(m_thread, in_ms) != WAIT_OBJECT_0) return false;
  CloseHandle(m_thread);
  m_thread = nullptr;
  return true;
}
