#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

TempHome::TempHome() {
    std::string pattern = (fs::temp_directory_path() / "ostrel-platform-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    setenv("HOME", path_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (path_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (path_ + "/data").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (path_ + "/etc-xdg").c_str(), 1);
    setenv("XDG_DATA_DIRS", (path_ + "/usr-share").c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (const char* path = std::getenv("PATH")) {
        savedPath_ = path;
    }
}

TempHome::~TempHome() {
    setenv("PATH", savedPath_.c_str(), 1);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempHome::Write(const std::string& relative, const std::string& content, unsigned mode) const {
    const fs::path file = fs::path(path_) / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    chmod(file.c_str(), mode);
}

std::string TempHome::Read(const std::string& relative) const {
    std::ifstream in(fs::path(path_) / relative, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempHome::Exists(const std::string& relative) const {
    return fs::exists(fs::path(path_) / relative);
}
