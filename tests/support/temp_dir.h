#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

// A fresh directory named after the running test, under the test binary's working directory.
// It is removed when the test passes and kept for inspection when it fails.
class TempDir {
public:
    TempDir()
    {
        const ::testing::TestInfo *const info =
            ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "tmp-";
        name += info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
                                : std::string("unnamed");
        for (char &c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        path = std::filesystem::absolute(name);
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir()
    {
        const ::testing::TestInfo *const info =
            ::testing::UnitTest::GetInstance()->current_test_info();
        if (info == nullptr || !info->result()->Failed()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    // Full path of `relative` inside the directory.
    std::string Path(const std::string &relative) const { return (path / relative).string(); }

    // Writes `bytes` to `relative` (creating folders) and returns its full path.
    std::string Write(const std::string &relative, const std::string &bytes) const
    {
        const std::filesystem::path file = path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        return file.string();
    }

    // The whole content of `relative`; empty when it cannot be read.
    std::string Read(const std::string &relative) const
    {
        std::ifstream in(path / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    const std::filesystem::path &Root() const { return path; }

private:
    std::filesystem::path path;
};

// Runs the test body with `dir` as the working directory, so paths like "basev2/x" land inside it.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path &dir)
        : previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous); }
    WorkingDirectory(const WorkingDirectory &) = delete;
    WorkingDirectory &operator=(const WorkingDirectory &) = delete;

private:
    std::filesystem::path previous;
};
