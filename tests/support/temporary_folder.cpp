#include "tests/support/temporary_folder.hpp"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

#include <stdlib.h>

namespace vistrel::test_support {

temporary_folder::temporary_folder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vistrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder: " + std::string(std::strerror(errno)));
    }
    path_ = pattern;
}

temporary_folder::~temporary_folder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace vistrel::test_support
