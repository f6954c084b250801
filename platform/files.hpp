#pragma once
// Files in the working folder: read whole (with a bound), replaced whole or not at all.
#include "base/result.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The search for a free file number stops here; a folder that full gets a message instead.
constexpr int kMaxFileNumber = 99999;

// Synced: the file is on the disk before it takes its name, and survives a power cut. Scratch:
// a file the program only needs back while it runs; it is still written whole or not at all.
enum class Durability { Synced, Scratch };

// Writes under a temporary name of its own beside the file, flushes, then renames over the old
// file, so a failed or interrupted write leaves the old file as it was. A replaced file keeps
// its permissions. A symbolic link stays: the file it leads to is written (beside that file),
// also when it does not exist yet. The error names the cause.
Status writeFileAtomically(const std::string& file, std::string_view bytes,
                           Durability d = Durability::Synced);

// Writes a new file under the first free name prefix + n + suffix (n = 1 .. limit) and returns
// that name. The name is claimed atomically: one that another program takes meanwhile is
// skipped, never overwritten, so two savers always end with two files.
Result<std::string> writeNewNumbered(const std::string& prefix, const std::string& suffix,
                                     std::string_view bytes, int limit = kMaxFileNumber,
                                     Durability d = Durability::Synced);

// Gives the file (a link itself, not what it leads to) the first free name prefix + n + suffix
// (n = 1 .. limit), claimed as writeNewNumbered claims one; that name.
Result<std::string> renameToNewNumbered(const std::string& file, const std::string& prefix,
                                        const std::string& suffix, int limit = kMaxFileNumber);

// The smallest n >= 1 for which prefix + n + suffix names nothing, or 0 when every number up
// to limit is taken. Another saver may take that name before a write: writeNewNumbered claims
// it.
int firstFreeNumber(const std::string& prefix, const std::string& suffix,
                    int limit = kMaxFileNumber);

// A file written piece by piece under a hidden temporary name beside its final name, for
// writers that stream (videos): it takes the final name only when whole, and is removed when
// dropped unfinished. Writers that open files themselves write to path().
class PendingFile {
  public:
    static Result<PendingFile> create(const std::string& file);
    PendingFile(PendingFile&& o) noexcept;
    PendingFile& operator=(PendingFile&& o) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    const std::string& path() const { return temporary_; }
    const std::string& file() const { return file_; }
    // Appends at the end, or writes over bytes already written (a header filled in last).
    Status append(std::string_view bytes);
    Status writeAt(uint64_t offset, std::string_view bytes);
    uint64_t size() const { return size_; }
    // Flushes and takes the final name, replacing what had it.
    Status commit(Durability d = Durability::Synced);
    // Flushes and takes the first free name prefix + n + suffix, claimed as writeNewNumbered
    // claims it; returns that name.
    Result<std::string> commitNumbered(const std::string& prefix, const std::string& suffix,
                                       int limit = kMaxFileNumber,
                                       Durability d = Durability::Synced);

  private:
    PendingFile() = default;
    Status flush(Durability d);
    void drop();
    std::string file_, temporary_;
    int fd_ = -1;
    int slot_ = -1; // the signal handler's note of the temporary
    uint64_t size_ = 0;
};

// Tests make every sync of a written file fail, as a failing disk does.
void failSyncsForTests(bool fail);

// Fine when nothing has this name or a regular file has it, also at the end of symbolic links;
// anything else (a device, a folder, a loop of links) is an error that says what it is.
Status regularOrAbsent(const std::string& file);

// Where the symbolic links from this name lead: the name itself when it is no link, else the
// last name on the way (which may not exist). A loop, or a link of another user's in a shared
// folder such as /tmp (which the system itself would not follow), is an error.
Result<std::string> followLinks(const std::string& file);

// True for a regular file (links followed) that is read-only: no one may write to it, or this
// program may not.
bool readOnlyFile(const std::string& file);

// From now on SIGINT, SIGTERM and SIGHUP remove the temporaries being written before they end
// the program as they would have.
void removeTemporariesOnSignals();

// A temporary left behind by a write that was killed is removed once it has been untouched
// this long and no writer holds it.
constexpr int kStaleTemporarySeconds = 30;

// Removes the stale temporaries of the working folder whose file name `ours` accepts (the
// temporary of "pattern3.bmp" is ".pattern3.bmp." and six letters or digits); how many.
int removeStaleTemporaries(bool (*ours)(const std::string& name));

// The first `limit` bytes of a regular file (links are followed); anything else (missing, a
// folder, a pipe, a device, unreadable) is an error that names the cause. Never waits for a
// writer and never opens a device.
Result<std::string> readFileStart(const std::string& file, size_t limit);

// The working folder's full path for messages ("the working folder" when it cannot be had).
std::string workingFolderName();

// The program's folder under the user's configuration ($XDG_CONFIG_HOME/vortalis, else
// ~/.config/vortalis) or data ($XDG_DATA_HOME/vortalis, else ~/.local/share/vortalis); a
// relative $XDG_... is not used, as the standard says. Empty when there is no home either.
std::string userConfigFolder();
std::string userDataFolder();

// Makes a folder and the folders above it that are missing; the error names the cause.
Status makeFolders(const std::string& folder);

// An exclusive lock on a file beside the data it guards (made when missing), held while the
// object lives. Another holder is waited for at most `seconds`; then, or when the file cannot
// be made, it is an error that says so.
class FileLock {
  public:
    static Result<FileLock> take(const std::string& file, double seconds = 3);
    FileLock(FileLock&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    FileLock& operator=(FileLock&&) = delete;
    FileLock(const FileLock&) = delete;
    ~FileLock();

  private:
    explicit FileLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// True when anything (file, folder, link) already has this name.
bool nameTaken(const std::string& file);

// The regular files of the working folder whose names end in the extension of a pattern such
// as "*.palette" (in any case), sorted by name without regard to case.
std::vector<std::string> listFiles(const std::string& pattern);

} // namespace vx
