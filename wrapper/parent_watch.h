#pragma once
// The browser's frames after the request: read until the input ends, so that a
// cancel and the page's leaving are seen whatever came before them.
#include <functional>

#include "wrapper/frame_reader.h"
#include "wrapper/receive_data.h"

// Calls in_on_cancel for each cancel message and ignores every other frame. A
// frame above the size limit is read past in bounded pieces, so that the frames
// behind it stay in step. Returns when the input has ended or broken.
void WatchParent(ByteSource& in_source, const std::function<void(ReceiveData&)>& in_on_cancel);
