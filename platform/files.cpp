#include "platform/files.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
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

// A new file of this program's own beside `file`, under a hidden name no other writer uses.
// Only this name is ever removed again.
struct Temporary {
    std::string name;
    int fd = -1;
};

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
        t.fd = ::open(t.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (t.fd >= 0) return t;
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

// Writes, flushes and closes the temporary; on failure it is gone again.
Status fill(const Temporary& t, std::string_view bytes, Durability d) {
    int err = writeAll(t.fd, bytes);
    if (err == 0 && d == Durability::Synced && syncFile(t.fd) != 0) err = errno;
    if (::close(t.fd) != 0 && err == 0) err = errno;
    if (err == 0) return {};
    ::unlink(t.name.c_str());
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

// Gives the temporary the name `name` only if nothing has it; errno EEXIST when something has.
bool placeNew(const std::string& tmp, const std::string& name) {
    if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename: a hard link claims the name just as exclusively.
    if (::link(tmp.c_str(), name.c_str()) != 0) return false;
    ::unlink(tmp.c_str());
    return true;
}

} // namespace

void failSyncsForTests(bool fail) {
    syncFile = fail ? failingSync : ::fsync;
}

Status writeFileAtomically(const std::string& file, std::string_view bytes, Durability d) {
    Result<Temporary> t = createTemporary(file);
    if (!t) return t.error();
    // The user's permissions on the old file stay.
    struct stat old {};
    if (::stat(file.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(t->fd, old.st_mode & 07777);
    if (Status filled = fill(*t, bytes, d); !filled) return filled;
    if (std::rename(t->name.c_str(), file.c_str()) != 0) {
        const int err = errno;
        ::unlink(t->name.c_str());
        return fail("cannot put it in place as " + baseName(file) + " (" + reason(err) + ")");
    }
    if (d == Durability::Synced) syncFolder(file);
    return {};
}

namespace {

// Gives a whole temporary the first free numbered name; it is removed when none can be had.
Result<std::string> placeNumbered(const std::string& tmp, const std::string& prefix,
                                  const std::string& suffix, int first, int limit, Durability d) {
    auto numbered = [&](int n) { return prefix + std::to_string(n) + suffix; };
    for (int n = std::max(first, 1); n <= limit; ++n) {
        const std::string name = numbered(n);
        if (nameTaken(name)) continue;
        if (placeNew(tmp, name)) {
            if (d == Durability::Synced) syncFolder(name);
            return name;
        }
        if (errno == EEXIST) continue; // taken a moment ago by another saver
        const int err = errno;
        ::unlink(tmp.c_str());
        return fail("cannot put it in place as " + baseName(name) + " (" + reason(err) + ")");
    }
    ::unlink(tmp.c_str());
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
    return placeNumbered(t->name, prefix, suffix, first, limit, d);
}

Result<PendingFile> PendingFile::create(const std::string& file) {
    Result<Temporary> t = createTemporary(file);
    if (!t) return t.error();
    PendingFile p;
    p.file_ = file;
    p.temporary_ = t->name;
    p.fd_ = t->fd;
    return p;
}

PendingFile::PendingFile(PendingFile&& o) noexcept {
    *this = std::move(o);
}

PendingFile& PendingFile::operator=(PendingFile&& o) noexcept {
    if (this != &o) {
        drop();
        file_ = std::move(o.file_);
        temporary_ = std::move(o.temporary_);
        fd_ = std::exchange(o.fd_, -1);
        size_ = std::exchange(o.size_, 0);
        o.temporary_.clear();
    }
    return *this;
}

PendingFile::~PendingFile() {
    drop();
}

void PendingFile::drop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
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
    int err = d == Durability::Synced && syncFile(fd_) != 0 ? errno : 0;
    if (::close(fd_) != 0 && err == 0) err = errno;
    fd_ = -1;
    if (err == 0) return {};
    drop();
    return fail(reason(err));
}

Status PendingFile::commit(Durability d) {
    if (Status flushed = flush(d); !flushed) return flushed;
    if (std::rename(temporary_.c_str(), file_.c_str()) != 0) {
        const int err = errno;
        drop();
        return fail("cannot put it in place as " + baseName(file_) + " (" + reason(err) + ")");
    }
    temporary_.clear();
    if (d == Durability::Synced) syncFolder(file_);
    return {};
}

Result<std::string> PendingFile::commitNumbered(const std::string& prefix,
                                                const std::string& suffix, int limit,
                                                Durability d) {
    if (Status flushed = flush(d); !flushed) return flushed.error();
    const std::string tmp = std::exchange(temporary_, std::string());
    return placeNumbered(tmp, prefix, suffix, firstFreeNumber(prefix, suffix, limit), limit, d);
}

int firstFreeNumber(const std::string& prefix, const std::string& suffix, int limit) {
    for (int n = 1; n <= limit; ++n)
        if (!nameTaken(prefix + std::to_string(n) + suffix)) return n;
    return 0;
}

Status regularOrAbsent(const std::string& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) {
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
