#pragma once
// The CQ WPX RTTY: its record, and the WPX prefix of a call.
#include <string>

#include "contest/record.h"

namespace contest {

const Record& CqWpxRtty();

// The prefix a call counts as by the WPX rules: the letters and digits of its first part ("N8", "WD8", "HG19",
// "3DA0"); a portable designator stands for the call's own ("PA/N8BJQ" is "PA0", "N8BJQ/KH9" is "KH9", "K1TEO/8"
// is "K8"); a call or designator without a digit takes a 0 after its first two letters ("XEFTJW" is "XE0");
// /MM, /M, /AM, /A, /E, /J, /P and /QRP are no designators. "" for a call of no letters or digits.
std::string WpxPrefix(const std::string& call);

}  // namespace contest
