// Fuzzes the high score reader with any file content, against the C library's own number parser.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/record_store.h"

namespace {

std::string scorePath() {
    static const std::string path = "/tmp/glimm-fuzz-highscore-" + std::to_string(getpid());
    return path;
}

// What the reader must give: a leading decimal number after white space, inside int's range.
bool expectedNumber(const std::string& text, int& value) {
    const char* start = text.c_str(); // stops at the first NUL byte, as the reader does
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(start, &end, 10);
    if (end == start || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::FILE* file = std::fopen(scorePath().c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    int value = 12345;
    const bool read = readHighScoreFile(scorePath().c_str(), value);
    int expected = 12345;
    const bool parsed = expectedNumber(text, expected);
    if (read != parsed || value != expected) {
        std::fprintf(stderr, "reader gave %d (%d), expected %d (%d)\n", value, read, expected,
                     parsed);
        std::abort();
    }
    return 0;
}
