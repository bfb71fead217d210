#pragma once

// The smallest test harness for the Windows lane: standard library only, so that the tests link
// with nothing but the Windows implementation files they check.
#include <cstdio>
#include <string>

namespace lane {

inline int &failures()
{
    static int count = 0;
    return count;
}

inline void check(bool ok, const char *what, const std::string &detail = std::string())
{
    std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", what, detail.empty() ? "" : ": ", detail.c_str());
    if (!ok)
        ++failures();
}

inline int result(const char *test)
{
    std::printf("%s: %s\n", test, failures() == 0 ? "passed" : "FAILED");
    return failures() == 0 ? 0 : 1;
}

inline std::string hex(const std::string &bytes)
{
    std::string out;
    char buffer[4];
    for (unsigned char c : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", c);
        out += buffer;
    }
    return out;
}

inline std::string units(const std::u16string &text)
{
    std::string out;
    char buffer[8];
    for (char16_t c : text) {
        std::snprintf(buffer, sizeof buffer, "%04X ", unsigned(c));
        out += buffer;
    }
    return out;
}

}
