// The platform's integer type (Foundation's NSInteger).
#pragma once

#include <cstdint>

using NSInteger = std::int64_t;
