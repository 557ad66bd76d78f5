#pragma once
// The DXCC prefix of a call, from a country file in the cty.dat format (the Debian package hamradio-files
// installs one at /usr/share/hamradio-files/cty.dat). The answer is the entity's primary prefix as the file
// writes it: "K" for the United States, "VE" for Canada, "KH6" for Hawaii, "3D2/c" for Conway Reef.
#include <string>
#include <unordered_map>
#include <vector>

namespace replay {

// The country file and the super-check-partial list (the calls active in contests) of the package
// hamradio-files; on Windows the same files seen through wine's Z: drive, which maps the Linux root whatever
// the current drive is.
// (A macro, so that the tools' help texts can name the same place.)
#if defined(_WIN32)
#define STATS_HAMRADIO_FILES "Z:\\usr\\share\\hamradio-files\\"
#else
#define STATS_HAMRADIO_FILES "/usr/share/hamradio-files/"
#endif
constexpr const char* kDefaultCountryFile = STATS_HAMRADIO_FILES "cty.dat";
constexpr const char* kDefaultScpFile = STATS_HAMRADIO_FILES "MASTER.SCP";

struct CountryEntity {
    std::string name;           // "United States of America"
    std::string primaryPrefix;  // "K"; for an entity that counts only for WAE, the DXCC entity it belongs to
                                // (unless the file was loaded with the WAE entities, see CountryFile::Load)
    std::string continent;      // "NA"
    int cqZone = 0;             // the entity's CQ zone, 0 when the file gives none
    bool waeOnly = false;       // marked '*' in the file: not a DXCC entity of its own
};

class CountryFile {
public:
    // false with a one-line error when the file cannot be read or holds no entity. With `waeEntities` an
    // entity that counts only for WAE (IT9, GM/s, ...) stands for itself, as in a contest whose countries are
    // the DXCC and the WAE entities; without, its calls are its DXCC entity's.
    bool Load(const std::string& path, std::string& error, bool waeEntities = false);
    bool LoadFromText(const std::string& content, std::string& error, bool waeEntities = false);

    // The entity's primary prefix for a call, "" when nothing matches. Exact-call entries first, then the
    // longest matching prefix; portable forms (KH6/W1AW, W1AW/KH6, W1AW/4) and the suffixes /P /M /MM /AM
    // /QRP are handled.
    std::string PrefixOf(const std::string& call) const;
    // The CQ zone of a call: the zone the file gives its exact-call entry or its longest prefix ("UA9(17)",
    // "W6(3)"), else its entity's; 0 when nothing matches. A portable form gets its entity's zone.
    int CqZoneOf(const std::string& call) const;
    // The entity of a call, nullptr when nothing matches. Each call's answer is kept, as the logs of a contest
    // name the same calls again and again (so one CountryFile is not for two threads at once).
    const CountryEntity* EntityOf(const std::string& call) const;

    size_t EntityCount() const { return entities_.size(); }
    const std::vector<CountryEntity>& Entities() const { return entities_; }
    // The edition the file names in its "=VERyyyymmdd" entry ("20230502"); "" when it names none.
    const std::string& Version() const { return version_; }
    // Every exact-call entry of an entity, for making test and sample logs from real country data.
    std::vector<std::string> ExactCallsOf(const std::string& primaryPrefix) const;
    // Every exact-call entry of the file, sorted, with the primary prefix it resolves to.
    std::vector<std::pair<std::string, std::string>> ExactCalls() const;
    // Every plain prefix entry of an entity.
    std::vector<std::string> PrefixesOf(const std::string& primaryPrefix) const;
    // The CQ zone an exact-call entry gives its call ("=R25EMW(17)"), 0 when the call has no entry of its own
    // or its entry names no zone.
    int ExactCallZone(const std::string& call) const;
    // Every CQ zone the file gives the entity of this primary prefix: its own and those its prefixes and calls
    // carry (a maritime mobile call's aside, as that station is at sea); ascending, empty for no such entity.
    std::vector<int> ZonesOf(const std::string& primaryPrefix) const;

private:
    int Lookup(const std::string& call) const;
    int LongestPrefix(const std::string& text, bool isCall) const;

    std::vector<CountryEntity> entities_;
    std::unordered_map<std::string, int> exact_;
    std::unordered_map<std::string, int> prefixes_;
    std::unordered_map<std::string, int> aliasZones_;  // the CQ zone an alias overrides ("=CALL" for an exact call)
    std::vector<std::vector<int>> zones_;               // per entity, ascending
    size_t longestPrefix_ = 0;
    std::string version_;
    mutable std::unordered_map<std::string, int> answers_;  // call -> entity (-1: none), bounded
};

}  // namespace replay
