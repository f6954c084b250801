#include "platform/files.hpp"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace vx {

namespace {

std::string reason(int err) {
    return std::strerror(err);
}

int (*syncFile)(int) = ::fsync;

int failingSync(int) {
    errno = EIO;
    return -1;
}

std::string baseName(const std::string& file) {
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

std::string folderOf(const std::string& file) {
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? "" : file.substr(0, slash + 1);
}

std::string notAFile(mode_t mode) {
    const char* kind = S_ISLNK(mode)                    ? "a symbolic link"
                       : S_ISDIR(mode)                  ? "a folder"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISFIFO(mode)                 ? "a pipe"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "not a file";
    return std::string("it is ") + kind + ", not a regular file";
}

// The temporaries being written, by name, for a signal handler to remove: a slot is free (0),
// being filled (1) or names a temporary (2). The signals are held back while a temporary
// comes and goes, so that a handler never sees one half made or already renamed.
constexpr size_t kTemporarySlots = 8, kTemporaryNameMax = 4096;
struct TemporarySlot {
    std::atomic<int> state{0};
    char name[kTemporaryNameMax] = {};
};
TemporarySlot temporarySlots[kTemporarySlots];
constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

class SignalsHeld {
  public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : kCleanedSignals) sigaddset(&set, sig);
        pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t old_;
};

void onCleanedSignal(int sig) {
    for (TemporarySlot& t : temporarySlots)
        if (t.state.load() == 2) ::unlink(t.name);
    // The handler was reset on entry: the signal ends the program as it would have.
    ::raise(sig);
}

// A new file of this program's own beside `file`, under a hidden name no other writer uses,
// locked for as long as it is open so that a cleaner can tell it from a stale one. Only this
// name is ever removed again.
struct Temporary {
    std::string name;
    int fd = -1;
    int slot = -1;

    // Gives the temporary the name `as`: over what has it, or (exclusive) only when nothing
    // has it. False with errno set (EEXIST when something has it), and the temporary stays.
    bool moveTo(const std::string& as, bool exclusive);
    void remove() {
        SignalsHeld held;
        ::unlink(name.c_str());
        release();
    }

  private:
    void release() {
        if (slot >= 0) temporarySlots[slot].state.store(0);
        slot = -1;
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// Opens a temporary of this name; false (errno set) when it cannot be made.
bool openTemporary(Temporary& t) {
    SignalsHeld held;
    t.fd = ::open(t.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (t.fd < 0) return false;
    ::flock(t.fd, LOCK_EX | LOCK_NB);
    t.slot = -1;
    if (t.name.size() >= kTemporaryNameMax) return true;
    for (size_t i = 0; i < kTemporarySlots; ++i) {
        int freeSlot = 0;
        if (!temporarySlots[i].state.compare_exchange_strong(freeSlot, 1)) continue;
        std::memcpy(temporarySlots[i].name, t.name.c_str(), t.name.size() + 1);
        temporarySlots[i].state.store(2);
        t.slot = static_cast<int>(i);
        break;
    }
    return true;
}

Result<Temporary> createTemporary(const std::string& file) {
    static constexpr char kSymbols[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    Temporary t;
    int err = EEXIST;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        unsigned char random[6] = {};
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
            for (unsigned char& r : random) r = static_cast<unsigned char>(std::rand());
        t.name = folderOf(file) + "." + baseName(file) + ".";
        for (unsigned char r : random) t.name += kSymbols[r % (sizeof kSymbols - 1)];
        if (openTemporary(t)) return t;
        err = errno;
    }
    return fail("cannot create a file beside " + baseName(file) + " (" + reason(err) + ")");
}

// Writes all the bytes at the file's offset, or at `at` when given; 0 or the error number.
int writeAll(int fd, std::string_view bytes, const off_t* at = nullptr) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    off_t offset = at ? *at : 0;
    while (left > 0) {
        const ssize_t n = at ? ::pwrite(fd, p, left, offset) : ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        p += n;
        offset += n;
        left -= static_cast<size_t>(n);
    }
    return 0;
}

// Writes and flushes the temporary, which stays open (and locked); on failure it is gone.
Status fill(Temporary& t, std::string_view bytes, Durability d) {
    int err = writeAll(t.fd, bytes);
    if (err == 0 && d == Durability::Synced && syncFile(t.fd) != 0) err = errno;
    if (err == 0) return {};
    t.remove();
    return fail(reason(err));
}

// Best effort: make the rename itself survive a power cut.
void syncFolder(const std::string& file) {
    const std::string dir = folderOf(file).empty() ? "." : folderOf(file);
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

// Renames `from` to `to` only if nothing has that name; errno EEXIST when something has.
bool claimName(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename: a hard link claims the name just as exclusively.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

bool Temporary::moveTo(const std::string& as, bool exclusive) {
    SignalsHeld held;
    if (!(exclusive ? claimName(name, as) : std::rename(name.c_str(), as.c_str()) == 0))
        return false;
    release();
    return true;
}

// The folder of a link and the text of the link, joined as the system joins them.
std::string linkTarget(const std::string& link, const std::string& text) {
    return text.empty() || text[0] == '/' ? text : folderOf(link) + text;
}

// A link in a folder that everyone may write to but only owners may delete from (such as
// /tmp) is followed only when it is the reader's own or the folder owner's: the system's own
// rule, which keeps another user's link from steering a write.
bool mayFollow(const std::string& link, const struct stat& st) {
    const std::string dir = folderOf(link).empty() ? "." : folderOf(link);
    struct stat d {};
    if (::stat(dir.c_str(), &d) != 0) return false;
    const bool shared = (d.st_mode & S_ISVTX) && (d.st_mode & S_IWOTH);
    return !shared || st.st_uid == ::geteuid() || st.st_uid == d.st_uid;
}

} // namespace

Result<std::string> followLinks(const std::string& file) {
    std::string at = file;
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        if (!mayFollow(at, st))
            return fail("it is a symbolic link of another user's in a shared folder");
        std::string text(PATH_MAX, '\0');
        const ssize_t n = ::readlink(at.c_str(), text.data(), text.size());
        if (n < 0) return fail(reason(errno));
        if (n == 0 || static_cast<size_t>(n) >= text.size()) return fail(reason(ENAMETOOLONG));
        text.resize(static_cast<size_t>(n));
        at = linkTarget(at, text);
    }
    return fail(reason(ELOOP));
}

bool readOnlyFile(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // A read-only file system is no read-only file: the write says its cause.
    return (st.st_mode & 0222) == 0 || (::access(file.c_str(), W_OK) != 0 && errno == EACCES);
}

void removeTemporariesOnSignals() {
    struct sigaction sa {};
    sa.sa_handler = onCleanedSignal;
    sa.sa_flags = SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    for (int sig : kCleanedSignals) ::sigaction(sig, &sa, nullptr);
}

namespace {

// ".NAME.XXXXXX", as createTemporary names a temporary for NAME; NAME, or "" when it is not.
std::string temporaryFor(const std::string& entry) {
    constexpr size_t kTail = 7; // "." and six symbols
    if (entry.size() < 1 + 1 + kTail || entry[0] != '.' || entry[entry.size() - kTail] != '.')
        return "";
    for (size_t i = entry.size() - kTail + 1; i < entry.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(entry[i]))) return "";
    return entry.substr(1, entry.size() - 1 - kTail);
}

// No writer holds it (every writer of ours locks its temporary until it is renamed) and it has
// not been written for a while (a writer of another program's, or one between its creation
// and its lock).
bool stale(const std::string& entry, std::time_t now) {
    const int fd = ::open(entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool old =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime >= kStaleTemporarySeconds;
    const bool unheld = old && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    // Removed while locked, so that no writer of ours can take it meanwhile.
    const bool removed = unheld && ::unlink(entry.c_str()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

int removeStaleTemporaries(bool (*ours)(const std::string& name)) {
    int removed = 0;
    const std::time_t now = std::time(nullptr);
    std::error_code ec;
    int seen = 0;
    for (auto it = std::filesystem::directory_iterator(".", ec);
         !ec && it != std::filesystem::directory_iterator() && seen < kMaxFileNumber;
         it.increment(ec), ++seen) {
        const std::string entry = it->path().filename().string();
        const std::string name = temporaryFor(entry);
        if (!name.empty() && ours(name) && stale(entry, now)) ++removed;
    }
    return removed;
}

void failSyncsForTests(bool fail) {
    syncFile = fail ? failingSync : ::fsync;
}

Status writeFileAtomically(const std::string& file, std::string_view bytes, Durability d) {
    // Through a link, the file it leads to is replaced, and the link stays.
    const Result<std::string> target = followLinks(file);
    if (!target) return target.error();
    Result<Temporary> t = createTemporary(*target);
    if (!t) return t.error();
    // The user's permissions on the old file stay.
    struct stat old {};
    if (::stat(target->c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(t->fd, old.st_mode & 07777);
    if (Status filled = fill(*t, bytes, d); !filled) return filled;
    if (!t->moveTo(*target, false)) {
        const int err = errno;
        t->remove();
        return fail("cannot put it in place as " + baseName(*target) + " (" + reason(err) + ")");
    }
    if (d == Durability::Synced) syncFolder(*target);
    return {};
}

namespace {

// Gives a whole temporary the first free numbered name; it is removed when none can be had.
Result<std::string> placeNumbered(Temporary& t, const std::string& prefix,
                                  const std::string& suffix, int first, int limit, Durability d) {
    auto numbered = [&](int n) { return prefix + std::to_string(n) + suffix; };
    for (int n = std::max(first, 1); n <= limit; ++n) {
        const std::string name = numbered(n);
        if (nameTaken(name)) continue;
        if (t.moveTo(name, true)) {
            if (d == Durability::Synced) syncFolder(name);
            return name;
        }
        if (errno == EEXIST) continue; // taken a moment ago by another saver
        const int err = errno;
        t.remove();
        return fail("cannot put it in place as " + baseName(name) + " (" + reason(err) + ")");
    }
    t.remove();
    return fail("every number up to " + std::to_string(limit) + " is taken");
}

} // namespace

Result<std::string> writeNewNumbered(const std::string& prefix, const std::string& suffix,
                                     std::string_view bytes, int limit, Durability d) {
    const int first = firstFreeNumber(prefix, suffix, limit);
    if (first == 0) return fail("every number up to " + std::to_string(limit) + " is taken");
    Result<Temporary> t = createTemporary(prefix + std::to_string(first) + suffix);
    if (!t) return t.error();
    if (Status filled = fill(*t, bytes, d); !filled) return filled.error();
    return placeNumbered(*t, prefix, suffix, first, limit, d);
}

Result<std::string> renameToNewNumbered(const std::string& file, const std::string& prefix,
                                        const std::string& suffix, int limit) {
    for (int n = firstFreeNumber(prefix, suffix, limit); n >= 1 && n <= limit; ++n) {
        const std::string name = prefix + std::to_string(n) + suffix;
        if (claimName(file, name)) return name;
        if (errno != EEXIST) return fail(reason(errno));
    }
    return fail("every number up to " + std::to_string(limit) + " is taken");
}

// A pending file keeps its temporary open, locked and known to the signal handler until it
// is put in place or dropped.
Result<PendingFile> PendingFile::create(const std::string& file) {
    // Through a link, the file it leads to is written, and the link stays.
    const Result<std::string> target = followLinks(file);
    if (!target) return target.error();
    Result<Temporary> t = createTemporary(*target);
    if (!t) return t.error();
    PendingFile p;
    p.file_ = *target;
    p.temporary_ = t->name;
    p.fd_ = t->fd;
    p.slot_ = t->slot;
    return p;
}

PendingFile::PendingFile(PendingFile&& o) noexcept {
    *this = std::move(o);
}

PendingFile& PendingFile::operator=(PendingFile&& o) noexcept {
    if (this != &o) {
        drop();
        file_ = std::move(o.file_);
        temporary_ = std::exchange(o.temporary_, std::string());
        fd_ = std::exchange(o.fd_, -1);
        slot_ = std::exchange(o.slot_, -1);
        size_ = std::exchange(o.size_, 0);
    }
    return *this;
}

PendingFile::~PendingFile() {
    drop();
}

namespace {

Temporary temporaryOf(std::string& name, int& fd, int& slot) {
    Temporary t;
    t.name = std::exchange(name, std::string());
    t.fd = std::exchange(fd, -1);
    t.slot = std::exchange(slot, -1);
    return t;
}

} // namespace

void PendingFile::drop() {
    if (!temporary_.empty()) temporaryOf(temporary_, fd_, slot_).remove();
}

Status PendingFile::append(std::string_view bytes) {
    if (fd_ < 0) return fail("the file is closed");
    // Others (an encoder's own writes) may have moved the end: write after it.
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (end < 0) return fail(reason(errno));
    if (const int err = writeAll(fd_, bytes); err != 0) return fail(reason(err));
    size_ = static_cast<uint64_t>(end) + bytes.size();
    return {};
}

Status PendingFile::writeAt(uint64_t offset, std::string_view bytes) {
    if (fd_ < 0) return fail("the file is closed");
    const off_t at = static_cast<off_t>(offset);
    if (const int err = writeAll(fd_, bytes, &at); err != 0) return fail(reason(err));
    return {};
}

Status PendingFile::flush(Durability d) {
    if (fd_ < 0) return fail("the file is closed");
    if (d == Durability::Synced && syncFile(fd_) != 0) {
        const int err = errno;
        drop();
        return fail(reason(err));
    }
    return {};
}

Status PendingFile::commit(Durability d) {
    if (Status flushed = flush(d); !flushed) return flushed;
    Temporary t = temporaryOf(temporary_, fd_, slot_);
    if (!t.moveTo(file_, false)) {
        const int err = errno;
        t.remove();
        return fail("cannot put it in place as " + baseName(file_) + " (" + reason(err) + ")");
    }
    if (d == Durability::Synced) syncFolder(file_);
    return {};
}

Result<std::string> PendingFile::commitNumbered(const std::string& prefix,
                                                const std::string& suffix, int limit,
                                                Durability d) {
    if (Status flushed = flush(d); !flushed) return flushed.error();
    Temporary t = temporaryOf(temporary_, fd_, slot_);
    return placeNumbered(t, prefix, suffix, firstFreeNumber(prefix, suffix, limit), limit, d);
}

int firstFreeNumber(const std::string& prefix, const std::string& suffix, int limit) {
    for (int n = 1; n <= limit; ++n)
        if (!nameTaken(prefix + std::to_string(n) + suffix)) return n;
    return 0;
}

Status regularOrAbsent(const std::string& file) {
    const Result<std::string> target = followLinks(file);
    if (!target) return target.error();
    struct stat st {};
    if (::lstat(target->c_str(), &st) != 0) {
        if (errno == ENOENT) return {};
        return fail(reason(errno));
    }
    if (S_ISREG(st.st_mode)) return {};
    return fail(notAFile(st.st_mode));
}

Result<std::string> readFileStart(const std::string& file, size_t limit) {
    // Looked at before it is opened: opening a device or a pipe may block or act.
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return fail(errno == ENOENT ? "there is no such file" : reason(errno));
    if (!S_ISREG(st.st_mode)) return fail(notAFile(st.st_mode));
    // Without waiting, should a pipe have taken the name since.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return fail(reason(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0) return fail(reason(errno));
    if (!S_ISREG(st.st_mode)) return fail(notAFile(st.st_mode));
    std::string text;
    text.reserve(std::min(limit, static_cast<size_t>(std::max<off_t>(st.st_size, 0))));
    char buf[65536];
    while (text.size() < limit) {
        const ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - text.size()));
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(reason(errno));
        }
        text.append(buf, static_cast<size_t>(n));
    }
    return text;
}

std::vector<std::string> listFiles(const std::string& pattern) {
    auto lower = [](std::string t) {
        for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return t;
    };
    const std::string ext = lower(pattern.substr(
        pattern.find('.') == std::string::npos ? pattern.size() : pattern.find('.')));
    std::vector<std::string> out;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(".", ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code kindError;
        if (!it->is_regular_file(kindError)) continue;
        const std::string name = it->path().filename().string();
        if (name.size() > ext.size() && lower(name.substr(name.size() - ext.size())) == ext)
            out.push_back(name);
    }
    std::sort(out.begin(), out.end(), [&](const std::string& a, const std::string& b) {
        const std::string la = lower(a), lb = lower(b);
        return la != lb ? la < lb : a < b;
    });
    return out;
}

std::string workingFolderName() {
    std::error_code ec;
    const std::string dir = std::filesystem::current_path(ec).string();
    return ec || dir.empty() ? "the working folder" : dir;
}

bool nameTaken(const std::string& file) {
    // Any other failure (a folder that cannot be searched) is left to the write to report.
    struct stat st {};
    return ::lstat(file.c_str(), &st) == 0;
}

namespace {

// $name when it is an absolute path, else $HOME + fallback, else "".
std::string xdgFolder(const char* name, const char* fallback) {
    const char* given = std::getenv(name);
    if (given && given[0] == '/') return std::string(given) + "/vortalis";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + fallback + "/vortalis";
    return "";
}

} // namespace

std::string userConfigFolder() {
    return xdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string userDataFolder() {
    return xdgFolder("XDG_DATA_HOME", "/.local/share");
}

Status makeFolders(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return fail("cannot make the folder " + folder + " (" + ec.message() + ")");
    return {};
}

Result<FileLock> FileLock::take(const std::string& file, double seconds) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return fail("cannot open the lock file " + file + " (" + reason(errno) + ")");
    constexpr int kStepMs = 10;
    const int tries = std::max(1, static_cast<int>(seconds * 1000 / kStepMs));
    int err = 0;
    for (int i = 0; i < tries; ++i) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return FileLock(fd);
        err = errno;
        if (err != EWOULDBLOCK && err != EINTR) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    ::close(fd);
    return fail(err == EWOULDBLOCK ? "another program has held " + baseName(file) + " for " +
                                         std::to_string(static_cast<int>(seconds)) + " seconds"
                                   : "cannot lock " + baseName(file) + " (" + reason(err) + ")");
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_); // closing lets the lock go
}

} // namespace vx
