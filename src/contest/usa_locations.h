#pragma once
// The US stations of the contests here send their state: the same codes in every contest, Alaska and Hawaii
// accepted without a state multiplier (their stations count as the countries KL7 and KH6).
#include "contest/record.h"

namespace contest {

// The location country "K": the 50 states and DC in alphabetical order, AK and HI without a multiplier, so the
// multipliers are the 48 contiguous states and DC.
LocationCountry UsaLocations();

}  // namespace contest
