#pragma once
// The ARRL RTTY Roundup: its record.
#include "contest/record.h"

namespace contest {

const Record& ArrlRttyRoundup();

}  // namespace contest
