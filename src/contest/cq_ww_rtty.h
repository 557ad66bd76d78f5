#pragma once
// The CQ WW RTTY: its record.
#include "contest/record.h"

namespace contest {

const Record& CqWwRtty();

}  // namespace contest
