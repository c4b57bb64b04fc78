// A file name in the temporary folder for one test, removed afterwards; the
// process id keeps parallel runs (other builds, other test processes) apart.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quellmoor::media {

class TempFile {
public:
    explicit TempFile(const std::string& extension) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("vexmon-media-") + test->test_suite_name() + "-" + test->name() + "-" +
                           std::to_string(getpid()) + "-" + std::to_string(++count_) + extension;
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = (std::filesystem::temp_directory_path() / name).string();
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }

    std::string Bytes() const {
        std::ifstream file(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

private:
    static inline int count_ = 0;
    std::string path_;
};

}  // namespace quellmoor::media
