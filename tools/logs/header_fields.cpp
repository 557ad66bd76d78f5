#include "header_fields.h"

#include "common/text.h"

namespace replay {

namespace {
using F = CabrilloHeaderFields;
constexpr const char* kFromOption = "--header";
constexpr const char* kFromLog = "the log";
}  // namespace

const std::vector<HeaderField>& HeaderFields() {
    static const std::vector<HeaderField> fields = [] {
        std::vector<HeaderField> all;
        for (const CabrilloHeaderTag& t : CabrilloHeaderTags()) {
            if (t.member != &CabrilloHeaderFields::claimed) all.push_back(t);
        }
        return all;
    }();
    return fields;
}

const HeaderField* FindHeaderField(const std::string& tagIn) {
    const CabrilloHeaderTag* tag = FindCabrilloHeaderTag(tagIn);
    for (const HeaderField& f : HeaderFields()) {
        if (tag && f.member == tag->member) return &f;
    }
    return nullptr;
}

bool ParseHeaderOption(const std::string& option, HeaderValue& out, std::string& error) {
    size_t eq = option.find('=');
    if (eq == std::string::npos) {
        error = "--header wants KEY=VALUE, got '" + option + "'";
        return false;
    }
    const HeaderField* f = FindHeaderField(option.substr(0, eq));
    if (!f) {
        std::string known;
        for (const HeaderField& h : HeaderFields()) known += std::string(known.empty() ? "" : " ") + h.tag;
        error = "unknown Cabrillo header field '" + option.substr(0, eq) + "'; known: " + known;
        return false;
    }
    std::string value = option.substr(eq + 1);
    // A line break would end the header line early and start a line the sponsor's robot cannot read.
    if (value.find_first_of("\r\n") != std::string::npos && f->member != &F::soapbox) {
        error = std::string("--header ") + f->tag + ": only SOAPBOX may hold several lines";
        return false;
    }
    out.field = f;
    out.value = value;
    out.origin = kFromOption;
    return true;
}

void AddLogHeaderLine(std::map<std::string, std::string>& header, const HeaderField& field, const std::string& value) {
    std::string& joined = header[field.tag];
    if (!joined.empty()) {
        joined += field.member == &F::soapbox ? "\n" : field.member == &F::address ? ", " : " ";
    }
    joined += value;
}

std::string DialogText(const std::string& value) {
    std::string unified = text::ReplaceAll(text::ReplaceAll(value, "\r\n", "\n"), "\r", "\n");
    return text::ReplaceAll(unified, "\n", "\r\n");
}

std::vector<HeaderValue> ComposeHeader(const std::vector<HeaderValue>& options,
                                       const std::map<std::string, std::string>& logHeader,
                                       const std::string& ownCall, const char* ownCallOrigin) {
    std::vector<HeaderValue> header;
    for (const HeaderField& f : HeaderFields()) {
        HeaderValue v;
        v.field = &f;
        auto log = logHeader.find(f.tag);
        if (log != logHeader.end() && !log->second.empty()) {
            v.value = log->second;
            v.origin = kFromLog;
        } else if (f.member == &F::callsign && !ownCall.empty()) {
            v.value = ownCall;
            v.origin = ownCallOrigin;
        }
        for (const HeaderValue& o : options) {
            if (o.field == &f) v = o;  // the last --header of a field wins
        }
        if (f.member == &F::contest && v.origin != std::string(kFromOption)) continue;
        header.push_back(v);
    }
    return header;
}

std::string HeaderOriginLine(const std::vector<HeaderValue>& header) {
    // Each origin once, in the order it first appears, with its fields in dialog order; the empty ones last.
    std::vector<std::pair<std::string, std::string>> groups;
    std::string empty;
    for (const HeaderValue& v : header) {
        if (!*v.origin) {
            empty += std::string(" ") + v.field->tag;
            continue;
        }
        std::string origin = std::string("from ") + v.origin;
        auto g = groups.begin();
        while (g != groups.end() && g->first != origin) ++g;
        if (g == groups.end()) g = groups.insert(g, {origin, ""});
        g->second += std::string(" ") + v.field->tag;
    }
    if (!empty.empty()) groups.push_back({"empty", empty});
    std::string line = "Cabrillo header:";
    for (size_t i = 0; i < groups.size(); ++i) line += (i ? "; " : " ") + groups[i].first + ":" + groups[i].second;
    return line;
}

}  // namespace replay
