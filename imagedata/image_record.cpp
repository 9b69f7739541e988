#include "image_record.h"

#include <type_traits>

// Records are copied as plain bytes (fast rebuild, purge) and kept in one
// contiguous array; keep them trivially copyable.
static_assert(std::is_trivially_copyable_v<ImageRecord>);
