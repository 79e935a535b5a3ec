#include "wrapper/win32/pipe_io.h"

#include <process.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "common/secure_wipe.h"
#include "wrapper/frame_writer.h"

std::size_t HandleSource::ReadSome(std::uint8_t* out_data, std::size_t in_size) {
  DWORD l_read = 0;
  const DWORD l_wanted = static_cast<DWORD>(std::min<std::size_t>(in_size, MAXDWORD));
  if (!ReadFile(m_handle, out_data, l_wanted, &l_read, nullptr)) return 0;
  return l_read;
}

bool WriteJson::Write(const ReceiveData& in_data) {
  std::vector<std::uint8_t> l_frame = BuildFrame(in_data);
  const tavc::ScopedWipe<std::vector<std::uint8_t>> l_wipe(l_frame);
  if (l_frame.empty() || l_frame.size() > MAXDWORD) return false;
  DWORD l_written = 0;
  if (!WriteFile(m_output, l_frame.data(), static_cast<DWORD>(l_frame.size()), &l_written, nullptr)) return false;
  return l_written == l_frame.size();
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
  auto l_data = std::make_unique<ReceiveData>();
  switch (ReadFrame(l_source, *l_data)) {
    case FrameStatus::kFrame:
    case FrameStatus::kEmpty:
      if (PostMessageW(l_job->frame, l_job->messages.frame, 0, reinterpret_cast<LPARAM>(l_data.get()))) {
        l_data.release();
      }
      break;
    case FrameStatus::kOverLimit:
      if (l_job->messages.overLimit != 0) PostMessageW(l_job->frame, l_job->messages.overLimit, 0, 0);
      break;
    case FrameStatus::kNoFrame:
    case FrameStatus::kCutShort:
      PostMessageW(l_job->frame, l_job->messages.broken, 0, 0);
      break;
  }
  return 0;
}

}  // namespace

bool StartFrameReader(HANDLE in_handle, HWND in_frame, FrameReaderMessages in_messages) {
  auto l_job = std::make_unique<ReaderJob>(ReaderJob{in_handle, in_frame, in_messages});
  const uintptr_t l_thread = _beginthreadex(nullptr, 0, ReaderThread, l_job.get(), 0, nullptr);
  if (l_thread == 0) return false;
  l_job.release();
  CloseHandle(reinterpret_cast<HANDLE>(l_thread));
  return true;
}
