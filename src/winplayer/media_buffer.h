#pragma once
// The IMediaBuffer a DMO reads its input from and writes its output to: a block of memory of
// fixed capacity, reference-counted as COM wants.

#include <mediaobj.h>

#include <string_view>

#include "winbase/com_ptr.h"

namespace lumio::win {

// A buffer able to hold `capacity` bytes, empty.
ComPtr<IMediaBuffer> MakeMediaBuffer(DWORD capacity);
// A buffer holding a copy of `bytes`.
ComPtr<IMediaBuffer> MakeMediaBuffer(std::string_view bytes);

}  // namespace lumio::win
