#pragma once
// Posts to the frame window whose handle the data store holds (Windows).
#include "host/state/data_store.h"
#include "host/state/message_poster.h"

namespace tavc {

class FrameMessagePoster final : public MessagePoster {
 public:
  explicit FrameMessagePoster(const DataStore& in_l_data_store) : m_data_store_(in_l_data_store) {}
  bool Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) override;

 private:
  const DataStore& m_data_store_;
};

}  // namespace tavc
