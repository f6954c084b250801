#pragma once
// Points the user's configuration and data folders ($XDG_CONFIG_HOME, $XDG_DATA_HOME) into a
// folder of the test's own while it lives.
#include <cstdlib>
#include <optional>
#include <string>

namespace vx::testing {

class UserFolders {
  public:
    explicit UserFolders(const std::string& under) {
        for (auto& [name, old, sub] : vars_) {
            if (const char* v = std::getenv(name)) old = v;
            setenv(name, (under + sub).c_str(), 1);
        }
    }
    ~UserFolders() {
        for (auto& [name, old, sub] : vars_)
            if (old)
                setenv(name, old->c_str(), 1);
            else
                unsetenv(name);
    }
    UserFolders(const UserFolders&) = delete;
    UserFolders& operator=(const UserFolders&) = delete;

  private:
    struct Var {
        const char* name;
        std::optional<std::string> old;
        const char* sub;
    };
    Var vars_[2] = {{"XDG_CONFIG_HOME", {}, "/config"}, {"XDG_DATA_HOME", {}, "/data"}};
};

} // namespace vx::testing
