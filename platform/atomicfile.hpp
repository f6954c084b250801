#pragma once
// Replacing a file whole: written under a temporary name, flushed, then renamed over the old
// one, so a failed or interrupted write leaves the old file as it was.
#include <string>
#include <string_view>

namespace vx {

bool writeFileAtomically(const std::string& file, std::string_view bytes, std::string& error);

// True when anything (file, folder, link) already has this name.
bool nameTaken(const std::string& file);

} // namespace vx
