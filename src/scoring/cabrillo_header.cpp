#include "scoring/cabrillo_header.h"

#include "common/text.h"
#include "resources/resource.h"

namespace {

using F = CabrilloHeaderFields;

// fileLine and settingsWrite keep the order the file and a fresh settings file have always had.
const std::vector<CabrilloHeaderTag> kTags = {
    {"CALLSIGN", nullptr, nullptr, IDC_CAB_CALLSIGN, &F::callsign, 2, 0},
    {"CONTEST", nullptr, "Contest", IDC_CAB_CONTEST, &F::contest, 4, 10},
    {"CLAIMED-SCORE", "CLAIMED", "Claimed", IDC_CAB_CLAIMED, &F::claimed, 12, 0},
    {"LOCATION", nullptr, nullptr, IDC_CAB_LOCATION, &F::location, 1, 0},
    {"CATEGORY-OPERATOR", nullptr, "Category", IDC_CAB_CATEGORY_OPERATOR, &F::categoryOperator, 5, 8},
    {"CATEGORY-ASSISTED", nullptr, nullptr, IDC_CAB_CATEGORY_ASSISTED, &F::categoryAssisted, 6, 0},
    {"CATEGORY-BAND", nullptr, nullptr, IDC_CAB_CATEGORY_BAND, &F::categoryBand, 7, 0},
    {"CATEGORY-MODE", nullptr, nullptr, IDC_CAB_CATEGORY_MODE, &F::categoryMode, 8, 0},
    {"CATEGORY-OVERLAY", nullptr, "Category_Overlay", IDC_CAB_CATEGORY_OVERLAY, &F::categoryOverlay, 0, 9},
    {"CATEGORY-POWER", nullptr, nullptr, IDC_CAB_CATEGORY_POWER, &F::categoryPower, 9, 0},
    {"CATEGORY-STATION", nullptr, nullptr, IDC_CAB_CATEGORY_STATION, &F::categoryStation, 10, 0},
    {"CATEGORY-TRANSMITTER", nullptr, nullptr, IDC_CAB_CATEGORY_TRANSMITTER, &F::categoryTransmitter, 11, 0},
    {"OPERATORS", nullptr, "Operators", IDC_CAB_OPERATORS, &F::operators, 13, 1},
    {"NAME", nullptr, "Name", IDC_CAB_NAME, &F::name, 14, 2},
    {"ADDRESS", nullptr, "Address", IDC_CAB_ADDRESS, &F::address, 15, 3},
    {"ADDRESS-CITY", nullptr, "Address_City", IDC_CAB_ADDRESS_CITY, &F::addressCity, 16, 4},
    {"ADDRESS-STATE-PROVINCE", nullptr, "Address_St_Prov", IDC_CAB_ADDRESS_STATE_PROVINCE,
     &F::addressStateProvince, 17, 5},
    {"ADDRESS-POSTALCODE", nullptr, "Address_PostalCode", IDC_CAB_ADDRESS_POSTALCODE, &F::addressPostalCode, 18,
     6},
    {"ADDRESS-COUNTRY", nullptr, "Address_Country", IDC_CAB_ADDRESS_COUNTRY, &F::addressCountry, 19, 7},
    {"CLUB", nullptr, "Club", IDC_CAB_CLUB, &F::club, 3, 12},
    {"EMAIL", "E-MAIL", "Email", IDC_CAB_EMAIL, &F::email, 22, 11},
    {"SOAPBOX", nullptr, "SoapBox", IDC_CAB_SOAPBOX, &F::soapbox, 20, 13},
};

}  // namespace

const std::vector<CabrilloHeaderTag>& CabrilloHeaderTags() { return kTags; }

const CabrilloHeaderTag* FindCabrilloHeaderTag(const std::string& tagOrLabel) {
    const std::string upper = text::ToUpper(text::Trim(tagOrLabel));
    for (const CabrilloHeaderTag& t : kTags) {
        if (upper == t.tag || upper == t.Label()) return &t;
    }
    return nullptr;
}

const CabrilloHeaderTag& CabrilloHeaderTagOf(std::string CabrilloHeaderFields::*member) {
    for (const CabrilloHeaderTag& t : kTags) {
        if (t.member == member) return t;
    }
    return kTags.front();  // every member has a row
}
