#pragma once
// The bytes of one frame for a JSON text: 4-byte little-endian length, then the
// UTF-8 text without a terminating zero.
#include <cstdint>
#include <vector>

#include "wrapper/receive_data.h"

// Empty when there is nothing to send: a size of 0 or an empty text.
std::vector<std::uint8_t> BuildFrame(const ReceiveData& in_data);
