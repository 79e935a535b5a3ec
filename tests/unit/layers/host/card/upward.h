#pragma once
// The folder layers check must refuse this upward include.
#include "host/flow/frame_core.h"
