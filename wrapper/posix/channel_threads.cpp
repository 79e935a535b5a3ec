#include "wrapper/posix/channel_threads.h"

#include "wrapper/frame_writer.h"
#include "wrapper/posix/fd_channel.h"

bool ChannelThread::Start(std::function<void(const StopSignal&)> in_body) {
  if (!Finish(std::chrono::milliseconds(0))) return false;
  Stop();
  m_stop = std::make_unique<StopSignal>();
  if (!m_stop->IsValid()) return false;
  m_done = std::make_shared<std::atomic<bool>>(false);
  try {
    m_thread = std::thread([l_body = std::move(in_body), l_stop = m_stop.get(), l_done = m_done] {
      l_body(*l_stop);
      *l_done = true;
    });
  } catch (...) {
    return false;
  }
  return true;
}

bool ChannelThread::Finish(std::chrono::milliseconds in_wait) const {
  if (!m_thread.joinable()) return true;
  const auto l_deadline = std::chrono::steady_clock::now() + in_wait;
  while (!*m_done) {
    if (std::chrono::steady_clock::now() >= l_deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void ChannelThread::Stop() {
  if (m_stop) m_stop->Set();
  if (m_thread.joinable()) m_thread.join();
}

bool StartParentWatch(ChannelThread& io_thread, int in_input, EventQueue& in_queue, ParentWatchPosts in_posts) {
  return io_thread.Start([in_input, &in_queue, l_posts = std::move(in_posts)](const StopSignal& in_stop) {
    FdSource l_source(in_input, in_stop);
    const WatchEnd l_end = WatchParent(l_source, [&](ReceiveData& in_cancel) {
      auto l_message = std::make_shared<ReceiveData>(in_cancel);
      in_queue.Post([l_message, l_cancel = l_posts.cancel] { l_cancel(*l_message); });
    });
    if (in_stop.IsSet()) return;
    in_queue.Post(l_end == WatchEnd::kInputEnded ? l_posts.gone : l_posts.failed);
  });
}

bool StartAnswerReader(ChannelThread& io_thread, int in_output, EventQueue& in_queue, AnswerPost in_post) {
  return io_thread.Start([in_output, &in_queue, l_post = std::move(in_post)](const StopSignal& in_stop) {
    FdSource l_source(in_output, in_stop);
    OneFrame l_read = ReadOneFrame(l_source);
    if (in_stop.IsSet()) return;
    auto l_frame = std::make_shared<std::unique_ptr<ReceiveData>>(std::move(l_read.frame));
    in_queue.Post([l_post, l_outcome = l_read.outcome, l_frame] { l_post(l_outcome, std::move(*l_frame)); });
  });
}

bool StartFrameWriter(ChannelThread& io_thread, int in_input, const std::wstring& in_text, EventQueue& in_queue,
                      std::function<void()> in_failed) {
  auto l_frame = std::make_shared<ReceiveData>();
  l_frame->SetDataSize(1);
  l_frame->SetData(in_text);
  const bool l_started = io_thread.Start([in_input, l_frame, &in_queue, l_failed = std::move(in_failed)](
                                             const StopSignal& in_stop) {
    FdSink l_sink(in_input, in_stop);
    if (WriteFrame(l_sink, *l_frame) == WriteOutcome::kFailed && !in_stop.IsSet()) in_queue.Post(l_failed);
    l_frame->Clear();
  });
  if (!l_started) l_frame->Clear();
  return l_started;
}
