#include "wrapper/win32/child_process.h"

#include <process.h>

#include <memory>

#include "wrapper/win32/pipe_io.h"

namespace {

constexpr wchar_t kChildProgram[] = L"TAV.exe";

std::wstring ChildProgramPath() {
  wchar_t l_module[MAX_PATH] = {};
  const DWORD l_length = GetModuleFileNameW(nullptr, l_module, MAX_PATH);
  std::wstring l_path(l_module, l_length < MAX_PATH ? l_length : 0);
  l_path.erase(l_path.find_last_of(L'\\') == std::wstring::npos ? 0 : l_path.find_last_of(L'\\'));
  return l_path + L"\\" + kChildProgram;
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
  ReceiveData request;
};

unsigned __stdcall WriterThread(void* in_job) {
  const std::unique_ptr<WriterJob> l_job(static_cast<WriterJob*>(in_job));
  WriteJson(l_job->input).Write(l_job->request);
  l_job->request.Clear();
  return 0;
}

}  // namespace

int CreateChildProcess(ChildPipes& out_pipes, int& out_error) {
  const std::wstring l_program = ChildProgramPath();
  SECURITY_ATTRIBUTES l_inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE l_out_read = nullptr, l_out_write = nullptr, l_err_write = nullptr, l_in_read = nullptr,
         l_in_write = nullptr;
  const HANDLE l_self = GetCurrentProcess();
  out_error = 0;
  if (!CreatePipe(&l_out_read, &l_out_write, &l_inherit, 0)) {
    out_error = 1;
  } else if (!DuplicateHandle(l_self, l_out_write, l_self, &l_err_write, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
    out_error = 2;
  } else if (!CreatePipe(&l_in_read, &l_in_write, &l_inherit, 0)) {
    out_error = 3;
  } else if (!DuplicateHandle(l_self, l_out_read, l_self, &out_pipes.output, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    out_error = 4;
  } else if (!DuplicateHandle(l_self, l_in_write, l_self, &out_pipes.input, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    out_error = 5;
  }
  CloseIfOpen(l_out_read);
  CloseIfOpen(l_in_write);
  if (out_error == 0) {
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
      CloseHandle(l_process.hProcess);
    } else {
      out_error = 6;
    }
  }
  CloseIfOpen(l_out_write);
  CloseIfOpen(l_in_read);
  CloseIfOpen(l_err_write);
  if (out_error != 0) {
    CloseIfOpen(out_pipes.input);
    CloseIfOpen(out_pipes.output);
    return 0;
  }
  return 1;
}

bool RequestWriter::Start(HANDLE in_input, const std::wstring& in_request) {
  Wait();
  auto l_job = std::make_unique<WriterJob>();
  l_job->input = in_input;
  l_job->request.SetDataSize(1);
  l_job->request.SetData(in_request);
  const uintptr_t l_thread = _beginthreadex(nullptr, 0, WriterThread, l_job.get(), 0, nullptr);
  if (l_thread == 0) return false;
  l_job.release();
  m_thread = reinterpret_cast<HANDLE>(l_thread);
  return true;
}

void RequestWriter::Wait() {
  if (m_thread == nullptr) return;
  WaitForSingleObject(m_thread, INFINITE);
  CloseHandle(m_thread);
  m_thread = nullptr;
}
