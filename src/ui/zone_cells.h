#pragma once
// The 40 cells of the CQ zone window, zone 1 to 40 in cell order, as the status refresh sees them: each
// unmarked, worked on another band only, or worked on the band the host is on.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

constexpr size_t kZoneCellCount = 40;

enum class ZoneMark { none, otherBand, currentBand };
using ZoneMarks = std::array<ZoneMark, kZoneCellCount>;

// The cell of a zone as the multiplier keys name it ("05" or "5" is cell 4), or -1 for anything that is no zone
// of 1 to 40.
int ZoneCellIndexOf(const std::string& code);

// The marks of the zones worked on the current band and on any band; a zone of both lists is worked on the band.
ZoneMarks ZoneMarksOf(const std::vector<std::string>& onBand, const std::vector<std::string>& anyBand);
