#pragma once
// The Cabrillo header fields, in one table: each field's Cabrillo tag, the label of the header dialog beside
// its control, the settings key it is kept under between runs, the dialog's control and the member that
// holds it. The dialog, the headless answer, the export and the replay all walk this table.
#include <string>
#include <vector>

// The texts of the Cabrillo header dialog, one per control.
struct CabrilloHeaderFields {
    std::string contest;
    std::string callsign;
    std::string claimed;
    std::string categoryOperator;
    std::string location;
    std::string categoryBand;
    std::string categoryAssisted;
    std::string categoryMode;
    std::string categoryOverlay;
    std::string categoryPower;
    std::string categoryStation;
    std::string categoryTransmitter;
    std::string name;
    std::string address;
    std::string addressCity;
    std::string addressStateProvince;
    std::string addressPostalCode;
    std::string addressCountry;
    std::string operators;
    std::string club;
    std::string soapbox;  // lines separated by CR LF, as a multi-line edit control holds them
    std::string email;
};

struct CabrilloHeaderTag {
    const char* tag;          // as the file writes it and the operator names it
    const char* label;        // the dialog's label beside the control, where it differs from the tag
    const char* settingsKey;  // nullptr: not kept between runs
    int controlId;
    std::string CabrilloHeaderFields::*member;
    // The field's place among the header lines of the file (1 first), 0 for none; and among the keys the
    // export stores after an OK (1 first), 0 for a key it does not store.
    int fileLine;
    int settingsWrite;

    const char* Label() const { return label ? label : tag; }
};

// Every field, in the order the replay lists them.
const std::vector<CabrilloHeaderTag>& CabrilloHeaderTags();
// The field with this tag or dialog label, letter case ignored ("EMAIL" and "E-MAIL" alike); nullptr for
// any other text.
const CabrilloHeaderTag* FindCabrilloHeaderTag(const std::string& tagOrLabel);
// The same table by one of its members: the claimed score's field, the contest's, ...
const CabrilloHeaderTag& CabrilloHeaderTagOf(std::string CabrilloHeaderFields::*member);
