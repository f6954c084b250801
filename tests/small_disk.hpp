#pragma once
// A working folder on a small disk of its own (a 64 KB tmpfs) that a test can fill up or make
// read-only. Mounting needs root; where the machine does not allow it, tests skip.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace vx::testing {

class SmallDisk {
  public:
    SmallDisk() : old_(std::filesystem::current_path()) {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "vortalis-disk-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) {
            why_ = std::strerror(errno);
            return;
        }
        dir_ = tmpl;
        if (::mount("tmpfs", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
            why_ = std::string("cannot mount a small tmpfs here (") + std::strerror(errno) + ")";
            return;
        }
        mounted_ = true;
        std::filesystem::current_path(dir_);
    }
    ~SmallDisk() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
        if (!dir_.empty()) std::filesystem::remove(dir_, ec);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Empty when the disk is there; else why it is not, for the skip message.
    const std::string& why() const { return why_; }
    const std::filesystem::path& path() const { return dir_; }

    // Writes a filler until no byte more fits.
    void fill() {
        const int fd = ::open("filler", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0) << std::strerror(errno);
        static const char block[4096] = {};
        while (::write(fd, block, sizeof block) > 0) {
        }
        // The last partial block, byte by byte.
        while (::write(fd, block, 1) > 0) {
        }
        ::close(fd);
    }
    void makeReadOnly() {
        ASSERT_EQ(::mount("tmpfs", dir_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0)
            << std::strerror(errno);
    }

  private:
    std::filesystem::path old_, dir_;
    std::string why_;
    bool mounted_ = false;
};

} // namespace vx::testing

// Skips the test when the machine gives no small disk.
#define VORTALIS_NEED_DISK(disk)                                                                   \
    if (!(disk).why().empty()) GTEST_SKIP() << "no small disk: " << (disk).why()
