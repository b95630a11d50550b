// Small helpers for tests that write files and check fatal exits.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace frostline::test {

/// A fresh, empty folder below the system's temporary folder; removed by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return dir; }
    /// Writes text (bytes as given) to a file below the folder and returns its full path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path dir;
};

}  // namespace frostline::test

/// Expects statement to end the process through the fatal path: exit status 255
/// (-1) with standard output matching regex. Standard output is sent to the
/// death test's captured standard error so that the message can be matched.
#define EXPECT_FATAL_EXIT(statement, regex)                                            \
    EXPECT_EXIT(                                                                       \
        {                                                                              \
            ::dup2(2, 1);                                                              \
            statement;                                                                 \
        },                                                                             \
        ::testing::ExitedWithCode(255), regex)
