// A fresh folder under the system's temporary folder, removed with everything in it.
#pragma once

#include <filesystem>

namespace vistrel::test_support {

class temporary_folder {
public:
    temporary_folder();
    temporary_folder(const temporary_folder&) = delete;
    temporary_folder& operator=(const temporary_folder&) = delete;
    ~temporary_folder();

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace vistrel::test_support
