#pragma once
// The browser's frames after the request: read until the input ends, so that a
// cancel and the page's leaving are seen whatever came before them.
#include <functional>

#include "wrapper/frame_reader.h"
#include "wrapper/receive_data.h"

enum class [[nodiscard]] WatchEnd {
  kInputEnded,  // the input ended or broke: the page has gone
  kFailed,      // the watch failed unexpectedly (an exception, its handler's included)
};

// Calls in_on_cancel for each cancel message and ignores every other frame. A
// frame above the size limit is read past in bounded pieces, so that the frames
// behind it stay in step. Never throws.
WatchEnd WatchParent(ByteSource& in_source, const std::function<void(ReceiveData&)>& in_on_cancel) noexcept;
