#include "wrapper/parent_watch.h"

#include "wrapper/relay_rules.h"

WatchEnd WatchParent(ByteSource& in_source, const std::function<void(ReceiveData&)>& in_on_cancel) noexcept {
  try {
    for (;;) {
      ReceiveData l_frame;
      switch (ReadFrame(in_source, l_frame)) {
        case FrameStatus::kFrame:
          if (IsCancelMessage(l_frame.GetData())) in_on_cancel(l_frame);
          break;
        case FrameStatus::kEmpty: break;
        case FrameStatus::kOverLimit:
          if (!SkipBytes(in_source, l_frame.GetSize())) return WatchEnd::kInputEnded;
          break;
        case FrameStatus::kNoFrame:
        case FrameStatus::kCutShort: return WatchEnd::kInputEnded;
      }
    }
  } catch (...) {
    return WatchEnd::kFailed;
  }
}
