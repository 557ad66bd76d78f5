#include "platform/file_search.h"

#include <cctype>

namespace platform {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    // Every character but '*' takes one character of the name: a pattern that needs more cannot match.
    size_t needed = 0;
    for (char c : pattern) needed += c != '*';
    if (needed > name.size()) return false;

    // Left to right, remembering only the last star and where its run began. When the part after that star
    // fails, the star takes one more character; the parts before it have matched for good.
    const size_t none = std::string::npos;
    size_t p = 0, s = 0, star = none, starRun = 0;
    while (s < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starRun = s;
        } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[s]))) {
            ++p;
            ++s;
        } else if (star != none) {
            p = star + 1;
            s = ++starRun;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace platform
