#include "platform/files.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

std::string reason(int err) {
    return std::strerror(err);
}

} // namespace

namespace {

int (*syncFile)(int) = ::fsync;

int failingSync(int) {
    errno = EIO;
    return -1;
}

std::string baseName(const std::string& file) {
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

// A new file to write under a temporary name beside `file`: its own ".tmp" name, or, when
// something that cannot be cleared away holds that name (a folder, say), a unique one.
int createTemporary(const std::string& file, std::string& tmp, std::string& error) {
    tmp = file + ".tmp";
    // Never write through whatever else may carry the temporary name.
    ::unlink(tmp.c_str());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) {
        tmp = file + ".tmp-XXXXXX";
        fd = ::mkostemp(tmp.data(), O_CLOEXEC);
        if (fd >= 0) ::fchmod(fd, 0644);
    }
    if (fd < 0)
        error = "cannot create a file beside " + baseName(file) + " (" + reason(errno) + ")";
    return fd;
}

} // namespace

void failSyncsForTests(bool fail) {
    syncFile = fail ? failingSync : ::fsync;
}

Status writeFileAtomically(const std::string& file, std::string_view bytes, Durability d) {
    std::string tmp, error;
    const int fd = createTemporary(file, tmp, error);
    if (fd < 0) return fail(error);
    const char* p = bytes.data();
    size_t left = bytes.size();
    int err = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (err == 0 && d == Durability::Synced && syncFile(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && std::rename(tmp.c_str(), file.c_str()) != 0) {
        err = errno;
        ::unlink(tmp.c_str());
        return fail("cannot put it in place as " + baseName(file) + " (" + reason(err) + ")");
    }
    if (err != 0) {
        ::unlink(tmp.c_str());
        return fail(reason(err));
    }
    if (d == Durability::Scratch) return {};
    // Best effort: make the rename itself survive a power cut.
    const size_t slash = file.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : file.substr(0, slash + 1);
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return {};
}

Status regularOrAbsent(const std::string& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) {
        if (errno == ENOENT) return {};
        return fail(reason(errno));
    }
    if (S_ISREG(st.st_mode)) return {};
    const char* kind = S_ISLNK(st.st_mode)                          ? "a symbolic link"
                       : S_ISDIR(st.st_mode)                        ? "a folder"
                       : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                       : S_ISFIFO(st.st_mode)                       ? "a pipe"
                       : S_ISSOCK(st.st_mode)                       ? "a socket"
                                                                    : "not a file";
    return fail(std::string("it is ") + kind + ", not a regular file");
}

Result<std::string> readFileStart(const std::string& file, size_t limit) {
    std::error_code ec;
    const auto kind = std::filesystem::status(file, ec).type();
    if (kind == std::filesystem::file_type::not_found) return fail("there is no such file");
    if (ec) return fail(ec.message());
    if (kind != std::filesystem::file_type::regular) return fail("it is not a regular file");
    std::ifstream in(file, std::ios::binary);
    if (!in) return fail(reason(errno));
    std::string text(limit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(limit));
    if (in.bad()) return fail("it could not be read");
    text.resize(static_cast<size_t>(in.gcount()));
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

bool nameTaken(const std::string& file) {
    // Any other failure (a folder that cannot be searched) is left to the write to report.
    struct stat st {};
    return ::lstat(file.c_str(), &st) == 0;
}

} // namespace vx
