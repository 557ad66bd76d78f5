#pragma once
// The continent of every DXCC and WAE entity, by the prefix that names it: the primary prefixes of the country
// file (cty.dat, which the tools resolve calls with, WAE-only entities such as IT9 and GM/s among them) and the
// keys of the extended DXCC window, where they spell an entity otherwise (1A0, IT, VK0, ...). The plug-in knows
// a station only by the prefix the host hands it, and the replay, the analysis page and the checker hand the
// Credit rule the country file's prefix: with one table behind the rule, all of them place a station on the
// same continent.
#include <string>

// "EU", "AF", "AS", "NA", "SA" or "OC"; "" for a prefix that names no entity. Exact and case-sensitive.
std::string ContinentOf(const std::string& prefix);
