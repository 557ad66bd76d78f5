#include "header_fields.h"

#include "common/text.h"
#include "platform/settings.h"

namespace replay {

const std::vector<HeaderField>& HeaderFields() {
    static const std::vector<HeaderField> fields = {
        {"CALLSIGN", nullptr, 1010},
        {"CONTEST", nullptr, 1009},
        {"OPERATORS", "Operators", 1006},
        {"NAME", "Name", 1007},
        {"ADDRESS", "Address", 1002},
        {"ADDRESS-CITY", "Address_City", 1003},
        {"ADDRESS-STATE-PROVINCE", "Address_St_Prov", 1011},
        {"ADDRESS-POSTALCODE", "Address_PostalCode", 1012},
        {"ADDRESS-COUNTRY", "Address_Country", 1015},
        {"CLUB", "Club", 1005},
        {"SOAPBOX", "SoapBox", 1001},
        {"EMAIL", "Email", 1004},
        {"LOCATION", nullptr, 1024},
        {"CATEGORY-OPERATOR", nullptr, 1013},
        {"CATEGORY-BAND", nullptr, 1014},
        {"CATEGORY-ASSISTED", nullptr, 1016},
        {"CATEGORY-MODE", nullptr, 1017},
        {"CATEGORY-OVERLAY", nullptr, 1023},
        {"CATEGORY-POWER", nullptr, 1021},
        {"CATEGORY-STATION", nullptr, 1025},
        {"CATEGORY-TRANSMITTER", nullptr, 1022},
    };
    return fields;
}

const HeaderField* FindHeaderField(const std::string& tagIn) {
    std::string tag = text::ToUpper(text::Trim(tagIn));
    if (tag == "E-MAIL") tag = "EMAIL";
    for (const HeaderField& f : HeaderFields()) {
        if (tag == f.tag) return &f;
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
    out.field = f;
    out.value = option.substr(eq + 1);
    return true;
}

namespace {
// One line break, whatever its form in the operator's text.
std::string UnifyBreaks(const std::string& value) {
    return text::ReplaceAll(text::ReplaceAll(value, "\r\n", "\n"), "\r", "\n");
}
}  // namespace

std::string DialogText(const std::string& value) { return text::ReplaceAll(UnifyBreaks(value), "\n", "\r\n"); }

std::string SettingsText(const HeaderValue& v) {
    // Single-line fields keep their text; the soapbox keeps its lines the way the dialog stores them.
    if (std::string(v.field->tag) != "SOAPBOX") return v.value;
    return text::ReplaceAll(UnifyBreaks(v.value), "\n", "<CR><LF>");
}

bool WriteHeaderSettings(const std::vector<HeaderValue>& values, std::vector<std::string>& warnings) {
    bool ok = true;
    for (const HeaderValue& v : values) {
        if (!v.field->settingsKey) {
            warnings.push_back(std::string(v.field->tag) +
                               " can only be set in the header dialog of the Windows build; it keeps its default");
            continue;
        }
        ok = Settings::WriteString(v.field->settingsKey, SettingsText(v)) && ok;
    }
    return ok;
}

}  // namespace replay
