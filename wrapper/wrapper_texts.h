#pragma once
// The wrapper's texts without the resource loader: the same table file as the
// string table of wrapper.rc.
#include <string>

#include "wrapper/wrapper_text_ids.h"

// The text of an IDS_ value, or empty when the table has none.
std::wstring WrapperText(unsigned in_id);
