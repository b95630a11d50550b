// What the game makes of the things a player may leave where one of its files belongs.
#include "app/FileReading.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include "app/Options.h"
#include "tests/support/TestFiles.h"

using namespace frostline;

TEST(FileReading, WhatCannotBeReadCountsAsNoFileAtAll)
{
    namespace fs = std::filesystem;
    test::TempDir dir;

    // A file reads whole, an empty one as empty.
    const std::string options = dir.write("options.ini", "[Window]\nwidth=800\n");
    EXPECT_EQ(readWholeFile(options), std::optional<std::string>("[Window]\nwidth=800\n"));
    EXPECT_TRUE(isReadableFile(options));
    EXPECT_EQ(readWholeFile(dir.write("empty.ini", "")), std::optional<std::string>(""));

    // Missing, a folder, a file whose reading fails, one larger than any file of the
    // game, a device that never ends, a pipe nobody writes to: each is no file, and
    // reads nothing, at once.
    const fs::path folder = dir.path() / "folder.ini";
    fs::create_directory(folder);
    const fs::path failing = dir.path() / "failing.ini";
    fs::create_symlink("/proc/self/mem", failing);
    const std::string huge = dir.write("huge.ini", "");
    fs::resize_file(huge, maxGameFileBytes + 1);
    const fs::path endless = dir.path() / "endless.ini";
    fs::create_symlink("/dev/zero", endless);
    const fs::path pipe = dir.path() / "pipe.ini";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const fs::path missing = dir.path() / "missing.ini";
    for (const fs::path& path : {missing, folder, failing, fs::path(huge), endless, pipe}) {
        SCOPED_TRACE(path.filename().string());
        EXPECT_EQ(readWholeFile(path), std::nullopt);
        EXPECT_EQ(isReadableFile(path), path == failing);  // (a regular file, until it is read)
        // The window options read from it are the defaults, without a word.
        testing::internal::CaptureStdout();
        const WindowOptions window = readWindowOptions(path);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(window.width, 1024);
        EXPECT_EQ(window.height, 768);
    }
}
