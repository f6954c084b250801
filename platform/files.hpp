#pragma once
// Files in the working folder: read whole (with a bound), replaced whole or not at all.
#include "base/result.hpp"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// Synced: the file is on the disk before it takes its name, and survives a power cut. Scratch:
// a file the program only needs back while it runs; it is still written whole or not at all.
enum class Durability { Synced, Scratch };

// Writes under a temporary name, flushes, then renames over the old file, so a failed or
// interrupted write leaves the old file as it was. The error names the cause.
Status writeFileAtomically(const std::string& file, std::string_view bytes,
                           Durability d = Durability::Synced);

// Tests make every sync of a written file fail, as a failing disk does.
void failSyncsForTests(bool fail);

// Fine when nothing has this name or a regular file has it; anything else (a link, a device,
// a folder) is an error that says what it is. Links are not followed.
Status regularOrAbsent(const std::string& file);

// The first `limit` bytes of a regular file; anything else (missing, a folder, unreadable)
// is an error that names the cause.
Result<std::string> readFileStart(const std::string& file, size_t limit);

// True when anything (file, folder, link) already has this name.
bool nameTaken(const std::string& file);

// The regular files of the working folder whose names end in the extension of a pattern such
// as "*.palette" (in any case), sorted by name without regard to case.
std::vector<std::string> listFiles(const std::string& pattern);

} // namespace vx
