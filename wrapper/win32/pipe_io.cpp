#include "wrapper/win32/pipe_io.h"

#include <process.h>

#include <algorithm>
#include <memory>

#include "wrapper/parent_watch.h"

std::size_t HandleSource::ReadSome(std::uint8_t* out_data, std::size_t in_size) {
  DWORD l_read = 0;
  const DWORD l_wanted = static_cast<DWORD>(std::min<std::size_t>(in_size, MAXDWORD));
  if (!ReadFile(m_handle, out_data, l_wanted, &l_read, nullptr)) return 0;
  return l_read;
}

bool HandleSink::WriteAll(const std::uint8_t* in_data, std::size_t in_size) {
  if (in_size > MAXDWORD) return false;
  DWORD l_written = 0;
  if (!WriteFile(m_handle, in_data, static_cast<DWORD>(in_size), &l_written, nullptr)) return false;
  return l_written == in_size;
}

bool WriteJson::Write(const ReceiveData& in_data) {
  HandleSink l_sink(m_output);
  return WriteFrame(l_sink, in_data) == WriteOutcome::kWritten;
}

namespace {

struct ReaderJob {
  HANDLE handle;
  HWND frame;
  FrameReaderMessages messages;
};

unsigned __stdcall ReaderThread(void* in_job) {
  const std::unique_ptr<ReaderJob> l_job(static_cast<ReaderJob*>(in_job));
  HandleSource l_source(l_job->handle);
  OneFrame l_read = ReadOneFrame(l_source);
  const FrameReaderMessages& l_messages = l_job->messages;
  switch (l_read.outcome) {
    case ReadOutcome::kFrame:
      if (PostMessageW(l_job->frame, l_messages.frame, 0, reinterpret_cast<LPARAM>(l_read.frame.get()))) {
        l_read.frame.release();
      }
      break;
    case ReadOutcome::kOverLimit: PostMessageW(l_job->frame, l_messages.overLimit, 0, 0); break;
    case ReadOutcome::kBroken: PostMessageW(l_job->frame, l_messages.broken, 0, 0); break;
    case ReadOutcome::kFailed: PostMessageW(l_job->frame, l_messages.failed, 0, 0); break;
  }
  return 0;
}

struct WatchJob {
  HANDLE input;
  HWND window;
  UINT cancel;
  UINT gone;
  UINT failed;
};

unsigned __stdcall WatchThread(void* in_job) {
  const std::unique_ptr<WatchJob> l_job(static_cast<WatchJob*>(in_job));
  HandleSource l_source(l_job->input);
  const WatchEnd l_end = WatchParent(l_source, [&](ReceiveData& in_cancel) {
    if (l_job->cancel == 0) return;
    auto l_message = std::make_unique<ReceiveData>(in_cancel);
    if (PostMessageW(l_job->window, l_job->cancel, 0, reinterpret_cast<LPARAM>(l_message.get()))) l_message.release();
  });
  const UINT l_report = l_end == WatchEnd::kInputEnded ? l_job->gone : l_job->failed;
  if (l_report != 0) PostMessageW(l_job->window, l_report, 0, 0);
  return 0;
}

bool StartThread(unsigned(__stdcall* in_body)(void*), void* in_job) {
  const uintptr_t l_thread = _beginthreadex(nullptr, 0, in_body, in_job, 0, nullptr);
  if (l_thread == 0) return false;
  CloseHandle(reinterpret_cast<HANDLE>(l_thread));
  return true;
}

}  // namespace

bool StartParentWatch(HANDLE in_input, HWND in_window, UINT in_cancel, UINT in_gone, UINT in_failed) {
  auto l_job = std::make_unique<WatchJob>(WatchJob{in_input, in_window, in_cancel, in_gone, in_failed});
  if (!StartThread(WatchThread, l_job.get())) return false;
  l_job.release();
  return true;
}

bool StartFrameReader(HANDLE in_handle, HWND in_frame, FrameReaderMessages in_messages) {
  auto l_job = std::make_unique<ReaderJob>(ReaderJob{in_handle, in_frame, in_messages});
  if (!StartThread(ReaderThread, l_job.get())) return false;
  l_job.release();
  return true;
}
