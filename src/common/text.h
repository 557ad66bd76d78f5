#pragma once
// Small text helpers shared by the core: case-insensitive compare, trimming, printf-style formatting.
#include <string>
#include <vector>

namespace text {

// A null text is the empty text.
inline std::string FromC(const char* s) { return s ? std::string(s) : std::string(); }

bool EqualsNoCase(const std::string& a, const std::string& b);
std::string ToUpper(std::string s);
std::string Trim(const std::string& s);  // blanks, tabs, CR, LF, VT, FF at both ends
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// printf into a std::string, any length.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Every occurrence of `from` replaced by `to`, left to right, without rescanning inserted text.
std::string ReplaceAll(const std::string& s, const std::string& from, const std::string& to);

// Leading decimal integer after optional blanks and sign; 0 when there is none.
int LeadingInt(const std::string& s);

// Splits on a delimiter; an empty input gives one empty piece.
std::vector<std::string> Split(const std::string& s, char delimiter);

}  // namespace text
