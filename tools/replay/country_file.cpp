// cty.dat: one record per entity, "Name: CQ: ITU: continent: lat: long: UTC offset: primary prefix:" and
// then its aliases up to ';', separated by commas. An alias "=CALL" is an exact call, any other a prefix;
// either may carry overrides of zones, position, continent or offset in (..) [..] <..> {..} ~..~, of which
// the CQ zone (..) is kept and the others are cut off. A primary prefix marked '*' is an entity counted only for the
// WAE award; a DXCC contest counts its stations for the DXCC entity they belong to.
#include "country_file.h"

#include <algorithm>
#include <cstdlib>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "common/text.h"

namespace replay {

namespace {

// WAE-only entities whose DXCC entity cannot be found from their own prefix: the Vienna International
// Centre counts for Austria, while the longest prefix of "4U1V" would say Italy.
const std::map<std::string, std::string> kWaeParents = {{"4U1V", "OE"}};

// Suffixes that say how the station operates, not where.
bool IsOperatingSuffix(const std::string& part) {
    return part == "P" || part == "M" || part == "MM" || part == "AM" || part == "QRP";
}

// Guantanamo Bay issues KG4 with exactly two letters after it; every other KG4 call is a United States call
// that only shares the letters.
bool IsGuantanamoCall(const std::string& call) {
    return call.size() == 5 && call.compare(0, 3, "KG4") == 0 && std::isalpha(static_cast<unsigned char>(call[3])) &&
           std::isalpha(static_cast<unsigned char>(call[4]));
}

// The CQ zone an alias carries in (..), 0 for none.
int ZoneOverride(const std::string& raw) {
    const size_t open = raw.find('(');
    const size_t close = raw.find(')', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos) return 0;
    return std::atoi(raw.substr(open + 1, close - open - 1).c_str());
}

bool IsAtSea(const std::string& call) {
    return call.size() > 3 && (call.compare(call.size() - 3, 3, "/MM") == 0 || call.compare(call.size() - 3, 3, "/AM") == 0);
}

void AddZone(std::vector<int>& zones, int zone) {
    if (zone > 0 && std::find(zones.begin(), zones.end(), zone) == zones.end()) {
        zones.insert(std::upper_bound(zones.begin(), zones.end(), zone), zone);
    }
}

std::string CleanAlias(const std::string& raw) {
    std::string t = text::Trim(raw);
    size_t cut = t.find_first_of("([<{~");
    if (cut != std::string::npos) t.resize(cut);
    return text::ToUpper(text::Trim(t));
}

}  // namespace

bool CountryFile::Load(const std::string& path, std::string& error, bool waeEntities) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the country file " + path +
                " (install the package hamradio-files, or give another with --cty FILE)";
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    if (!LoadFromText(s.str(), error, waeEntities)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool CountryFile::LoadFromText(const std::string& content, std::string& error, bool waeEntities) {
    entities_.clear();
    answers_.clear();
    exact_.clear();
    prefixes_.clear();
    aliasZones_.clear();
    longestPrefix_ = 0;
    version_.clear();
    zones_.clear();

    struct Pending {
        int entity;
        std::vector<std::string> exact, prefixes;
        std::vector<int> zones;  // the entity's own and its aliases'
    };
    std::vector<Pending> all;

    size_t pos = 0;
    while (pos < content.size()) {
        while (pos < content.size() && std::isspace(static_cast<unsigned char>(content[pos]))) ++pos;
        if (pos >= content.size()) break;
        std::vector<std::string> head;
        size_t p = pos;
        while (head.size() < 8) {
            size_t colon = content.find(':', p);
            size_t semi = content.find(';', p);
            if (colon == std::string::npos || (semi != std::string::npos && semi < colon)) break;
            head.push_back(text::Trim(content.substr(p, colon - p)));
            p = colon + 1;
        }
        size_t semi = content.find(';', p);
        if (head.size() < 8 || semi == std::string::npos) {
            error = "not a country file in the cty.dat format (entity " + std::to_string(entities_.size() + 1) +
                    " is incomplete)";
            return false;
        }
        CountryEntity e;
        e.name = head[0];
        e.continent = head[3];
        e.cqZone = std::atoi(head[1].c_str());
        e.primaryPrefix = head[7];
        if (!e.primaryPrefix.empty() && e.primaryPrefix[0] == '*') {
            e.waeOnly = true;
            e.primaryPrefix.erase(0, 1);
        }
        Pending pending;
        pending.entity = static_cast<int>(entities_.size());
        AddZone(pending.zones, e.cqZone);
        entities_.push_back(e);
        for (const std::string& raw : text::Split(content.substr(p, semi - p), ',')) {
            bool isExact = text::Trim(raw).rfind('=', 0) == 0;
            std::string alias = CleanAlias(isExact ? text::Trim(raw).substr(1) : raw);
            if (alias.empty()) continue;
            const int zone = ZoneOverride(raw);
            if (zone > 0) aliasZones_.emplace(isExact ? "=" + alias : alias, zone);
            if (!(isExact && IsAtSea(alias))) AddZone(pending.zones, zone);
            // The file's edition stands among the exact calls as "=VERyyyymmdd".
            if (isExact && alias.size() == 11 && alias.rfind("VER", 0) == 0 &&
                alias.find_first_not_of("0123456789", 3) == std::string::npos) {
                version_ = alias.substr(3);
            }
            (isExact ? pending.exact : pending.prefixes).push_back(alias);
        }
        all.push_back(pending);
        pos = semi + 1;
    }
    if (entities_.empty()) {
        error = "no entity in the country file";
        return false;
    }
    zones_.resize(entities_.size());

    // The first entity that names a call or prefix keeps it, unless a later one takes it over: a WAE-only
    // entity that stands for itself names its calls (the file lists 4U1VIC under Austria and again under the
    // Vienna International Centre).
    auto add = [this](const Pending& pd, int target, bool takeOver = false) {
        for (int zone : pd.zones) AddZone(zones_[target], zone);
        for (const std::string& c : pd.exact) {
            if (!exact_.emplace(c, target).second && takeOver) exact_[c] = target;
        }
        for (const std::string& pf : pd.prefixes) {
            if (prefixes_.emplace(pf, target).second) {
                longestPrefix_ = std::max(longestPrefix_, pf.size());
            } else if (takeOver) {
                prefixes_[pf] = target;
            }
        }
    };
    // DXCC entities first, so a WAE-only entity can find the DXCC entity it lies in.
    for (const Pending& pd : all) {
        if (!entities_[pd.entity].waeOnly) add(pd, pd.entity);
    }
    for (const Pending& pd : all) {
        CountryEntity& wae = entities_[pd.entity];
        if (!wae.waeOnly) continue;
        if (waeEntities) {
            add(pd, pd.entity, true);
            continue;
        }
        // Its zones are its DXCC entity's too (IG9, African Italy, lies in zone 33, Italy in 15).
        std::string own = wae.primaryPrefix;
        size_t slash = own.find('/');
        std::string base = text::ToUpper(slash == std::string::npos ? own : own.substr(0, slash));
        int parent = -1;
        auto known = kWaeParents.find(own);
        if (known != kWaeParents.end()) {
            for (size_t i = 0; i < entities_.size(); ++i) {
                if (!entities_[i].waeOnly && entities_[i].primaryPrefix == known->second) parent = static_cast<int>(i);
            }
        } else {
            parent = LongestPrefix(base, false);
        }
        if (parent < 0) parent = pd.entity;  // no DXCC entity found: it stands for itself
        wae.primaryPrefix = entities_[parent].primaryPrefix;
        add(pd, parent);
    }
    return true;
}

int CountryFile::LongestPrefix(const std::string& s, bool isCall) const {
    for (size_t len = std::min(s.size(), longestPrefix_); len > 0; --len) {
        auto it = prefixes_.find(s.substr(0, len));
        if (it == prefixes_.end()) continue;
        if (isCall && len == 3 && it->first == "KG4" && !IsGuantanamoCall(s)) continue;
        return it->second;
    }
    return -1;
}

int CountryFile::Lookup(const std::string& callIn) const {
    std::string call = text::ToUpper(text::Trim(callIn));
    if (call.empty()) return -1;
    auto exact = exact_.find(call);
    if (exact != exact_.end()) return exact->second;

    std::vector<std::string> parts;
    for (const std::string& part : text::Split(call, '/')) {
        if (part.empty()) continue;
        if (!parts.empty() && IsOperatingSuffix(part)) continue;
        parts.push_back(part);
    }
    if (parts.empty()) return -1;
    if (parts.size() == 1) {
        exact = exact_.find(parts[0]);
        if (exact != exact_.end()) return exact->second;
        return LongestPrefix(parts[0], true);
    }
    auto isDigit = [](const std::string& s) { return s.size() == 1 && std::isdigit(static_cast<unsigned char>(s[0])); };
    if (parts.size() == 2 && isDigit(parts[1])) {
        // W1AW/4: the station is in call area 4 of its own country. Change the area digit of the prefix
        // (the last digit before the closing letters) and look that up.
        std::string base = parts[0];
        size_t lettersFrom = base.size();
        while (lettersFrom > 0 && std::isalpha(static_cast<unsigned char>(base[lettersFrom - 1]))) --lettersFrom;
        if (lettersFrom > 0 && std::isdigit(static_cast<unsigned char>(base[lettersFrom - 1]))) {
            base[lettersFrom - 1] = parts[1][0];
        }
        return LongestPrefix(base, true);
    }
    // KH6/W1AW, W1AW/KH6, XE2/N6KZB: the shorter part says where the station is.
    std::vector<std::string> places;
    for (const std::string& part : parts) {
        if (!isDigit(part)) places.push_back(part);
    }
    if (places.empty()) return -1;
    const std::string* shortest = &places[0];
    for (const std::string& part : places) {
        if (part.size() < shortest->size()) shortest = &part;
    }
    exact = exact_.find(*shortest);
    if (exact != exact_.end()) return exact->second;
    return LongestPrefix(*shortest, false);
}

const CountryEntity* CountryFile::EntityOf(const std::string& call) const {
    constexpr size_t kMostAnswers = 1 << 16;
    auto known = answers_.find(call);
    int i = 0;
    if (known != answers_.end()) {
        i = known->second;
    } else {
        i = Lookup(call);
        if (answers_.size() >= kMostAnswers) answers_.clear();
        answers_.emplace(call, i);
    }
    return i < 0 ? nullptr : &entities_[i];
}

int CountryFile::CqZoneOf(const std::string& callIn) const {
    const CountryEntity* e = EntityOf(callIn);
    if (!e) return 0;
    const std::string call = text::ToUpper(text::Trim(callIn));
    if (call.find('/') != std::string::npos) return e->cqZone;
    auto zone = aliasZones_.find("=" + call);
    if (exact_.count(call)) return zone == aliasZones_.end() ? e->cqZone : zone->second;
    for (size_t len = std::min(call.size(), longestPrefix_); len > 0; --len) {
        if (!prefixes_.count(call.substr(0, len)) || (len == 3 && call.compare(0, 3, "KG4") == 0 && !IsGuantanamoCall(call))) {
            continue;
        }
        zone = aliasZones_.find(call.substr(0, len));
        return zone == aliasZones_.end() ? e->cqZone : zone->second;
    }
    return e->cqZone;
}

std::string CountryFile::PrefixOf(const std::string& call) const {
    const CountryEntity* e = EntityOf(call);
    return e ? e->primaryPrefix : std::string();
}

// The keys of a table that lead to the entity of this primary prefix, sorted.
template <typename Table>
std::vector<std::string> KeysOfEntity(const Table& table, const std::vector<CountryEntity>& entities,
                                      const std::string& primaryPrefix) {
    std::vector<std::string> out;
    for (const auto& kv : table) {
        if (entities[kv.second].primaryPrefix == primaryPrefix) out.push_back(kv.first);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> CountryFile::ExactCallsOf(const std::string& primaryPrefix) const {
    return KeysOfEntity(exact_, entities_, primaryPrefix);
}

std::vector<std::pair<std::string, std::string>> CountryFile::ExactCalls() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& kv : exact_) out.emplace_back(kv.first, entities_[kv.second].primaryPrefix);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> CountryFile::PrefixesOf(const std::string& primaryPrefix) const {
    return KeysOfEntity(prefixes_, entities_, primaryPrefix);
}

int CountryFile::ExactCallZone(const std::string& call) const {
    auto it = aliasZones_.find("=" + text::ToUpper(text::Trim(call)));
    return it == aliasZones_.end() ? 0 : it->second;
}

std::vector<int> CountryFile::ZonesOf(const std::string& primaryPrefix) const {
    std::vector<int> zones;
    for (size_t i = 0; i < entities_.size() && i < zones_.size(); ++i) {
        if (entities_[i].primaryPrefix == primaryPrefix) {
            for (int zone : zones_[i]) AddZone(zones, zone);
        }
    }
    return zones;
}

}  // namespace replay
