#pragma once
// The Cabrillo header dialog, modal on the caller's thread. On Windows it is the real dialog; without a screen
// it answers at once what was installed beforehand (HeadlessHeaderAnswer), so a replay gives the native
// plug-in every header field an operator types into the Windows dialog.
#include <string>
#include <utility>
#include <vector>

#include "scoring/cabrillo_header.h"

class HeaderDialog {
public:
    virtual ~HeaderDialog() = default;
    // true when the operator pressed OK, with the edited texts in `fields`; false on cancel, `fields`
    // unchanged. This base answers headless: the installed answer's edits, or cancel.
    virtual bool Edit(CabrilloHeaderFields& fields);
};

// What the headless dialog answers: OK with these edits applied (by label, see HeaderFieldByLabel), or Cancel.
// By default it confirms the fields unchanged.
struct HeadlessHeaderAnswer {
    bool confirm = true;
    std::vector<std::pair<std::string, std::string>> edits;
};
void SetHeadlessHeaderAnswer(const HeadlessHeaderAnswer& answer);
HeadlessHeaderAnswer CurrentHeadlessHeaderAnswer();

// The field behind a dialog label or Cabrillo tag ("CALLSIGN", "ADDRESS-CITY", "E-MAIL", ...); nullptr for
// any other text.
std::string* HeaderFieldByLabel(CabrilloHeaderFields& fields, const std::string& label);

// The dialog in use: the build's own unless a test installed another (nullptr restores it).
HeaderDialog& CurrentHeaderDialog();
void SetHeaderDialogForTesting(HeaderDialog* dialog);
HeaderDialog& PlatformHeaderDialog();
