#include "contest/usa_locations.h"

namespace contest {

namespace {

const char* const kUsStates[] = {
    "AK", "AL", "AR", "AZ", "CA", "CO", "CT", "DC", "DE", "FL", "GA", "HI", "IA", "ID", "IL", "IN", "KS",
    "KY", "LA", "MA", "MD", "ME", "MI", "MN", "MO", "MS", "MT", "NC", "ND", "NE", "NH", "NJ", "NM", "NV",
    "NY", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VA", "VT", "WA", "WI", "WV", "WY"};
const char* const kNoMultiplierStates[] = {"AK", "HI"};

}  // namespace

LocationCountry UsaLocations() {
    return {"K", "US states and DC", "US state or DC", "a US state", kUsStates, kNoMultiplierStates, {}};
}

}  // namespace contest
