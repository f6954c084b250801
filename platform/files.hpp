#pragma once
// Files in the working folder: read whole (with a bound), replaced whole or not at all.
#include "base/result.hpp"

#include <cstddef>
#include <string>
#include <string_view>

namespace vx {

// Writes under a temporary name, flushes, then renames over the old file, so a failed or
// interrupted write leaves the old file as it was. The error names the cause.
Status writeFileAtomically(const std::string& file, std::string_view bytes);

// The first `limit` bytes of a regular file; anything else (missing, a folder, unreadable)
// is an error that names the cause.
Result<std::string> readFileStart(const std::string& file, size_t limit);

// True when anything (file, folder, link) already has this name.
bool nameTaken(const std::string& file);

} // namespace vx
