#pragma once

#include <string>

// A private temporary folder for one test, removed with everything in it at
// the end, and the per-user base folders pointed into it.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return path_; }
    // Writes a file below the folder, making its parent folders.
    void Write(const std::string& relative, const std::string& content, unsigned mode = 0644) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::string path_;
    std::string savedPath_;
};
