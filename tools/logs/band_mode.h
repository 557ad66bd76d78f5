#pragma once
// What the host would make of a logged frequency, band and mode.
#include <optional>
#include <string>

namespace replay {

// The amateur band of a frequency: "160m", "80m", "60m", "40m", "30m", ... "10m", "6m", "2m", "70cm";
// "" outside every band, so the plug-in can reject the QSO itself.
std::string BandFromFrequencyHz(unsigned long long hz);

// The lower edge of a band given by name (case ignored, "20M" is "20m"), in Hz; nullopt for an unknown name.
std::optional<unsigned> BandLowerEdgeHz(const std::string& band);

// The band name in the host's spelling ("20M" -> "20m"); the text unchanged when it is no band we know.
std::string NormaliseBandName(const std::string& band);

// Decimal text "14080.5" to an integer count of units scaled by 10^scaleDigits (kHz -> Hz: 3,
// MHz -> Hz: 6), rounding half up on the first dropped digit; nullopt when it is not a plain decimal.
std::optional<unsigned long long> ParseScaledDecimal(const std::string& text, int scaleDigits);

// ADIF MODE and SUBMODE: RTTY -> "RTTY", PSK/PSK31 -> "BPSK31", PSK/PSK63 -> "BPSK63", AMTOR or
// TOR/AMTORFEC -> "AMTOR", PKT -> "PACKET"; others as written (the submode when there is one).
std::string HostModeFromAdif(const std::string& mode, const std::string& submode);

}  // namespace replay
