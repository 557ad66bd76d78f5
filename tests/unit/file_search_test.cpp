// The file search's wildcard matching, the same on both sides: '*' any run, '?' one character, case ignored.
#include <gtest/gtest.h>

#include "platform/file_search.h"

namespace {

TEST(FileSearch, WildcardMatching) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"", "", true},          {"", "a", false},           {"*", "", true},
        {"?", "", false},        {"?", "a", true},           {"??", "a", false},
        {"*.ini", "x.INI", true}, {"*.ini", "x.inix", false}, {"*.ini", ".ini", true},
        {"a*b", "ab", true},     {"a*b", "axxbxb", true},    {"a*b", "axxbx", false},
        {"*ab", "aab", true},    {"*a?c*", "xxabcd", true}, {"**?*", "", false},
        {"T*o*l*v*2.ini", "Tolv2.ini", true},                {"*T*T*X", "TTTTTTTTTTTTTTTTTTTTTTTT", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
    }
}

}  // namespace
