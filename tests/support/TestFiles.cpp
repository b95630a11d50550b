#include "tests/support/TestFiles.h"

#include <fstream>
#include <random>

namespace frostline::test {

TempDir::TempDir()
{
    std::random_device random;
    dir = std::filesystem::temp_directory_path() /
          ("frostline-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(dir);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& content) const
{
    const std::filesystem::path file = dir / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << content;
    return file.string();
}

}  // namespace frostline::test
