#pragma once
// The Cabrillo header dialog (resource 101) run modally on the calling thread.
#include "platform/prompts.h"

namespace platform {
// true on OK with the controls' texts copied into `fields`; false on cancel or when the dialog cannot be
// created, `fields` unchanged.
bool RunCabrilloHeaderDialog(CabrilloHeaderFields& fields);
}  // namespace platform
