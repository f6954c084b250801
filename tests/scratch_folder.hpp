#pragma once
// Runs a test inside a fresh empty folder and goes back (and cleans up) afterwards, so tests
// never leave files in the repository.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace vx::scratch {

class ScratchFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "vortalis-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
    }

    static std::string readAll(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void writeAll(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    static bool exists(const std::string& name) { return std::filesystem::exists(name); }

    std::filesystem::path old_, dir_;
};

} // namespace vx::scratch
