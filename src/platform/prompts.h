#pragma once
// What the plug-in asks of the operator: message boxes and the Cabrillo header dialog. On Windows these are
// real modal windows on the caller's thread; the headless side records them and answers at once.
#include <string>
#include <utility>
#include <vector>

enum class MessageIcon { none, information, warning };

struct PromptRecord {
    std::string text;
    std::string caption;  // empty for the system's default caption
    MessageIcon icon = MessageIcon::none;
};

// The texts of the Cabrillo header dialog, one per control, named after the Cabrillo tag of its label.
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

// The field behind a dialog label ("CALLSIGN", "ADDRESS-CITY", "E-MAIL", ...); nullptr for any other text.
std::string* HeaderFieldByLabel(CabrilloHeaderFields& fields, const std::string& label);

class Prompts {
public:
    virtual ~Prompts() = default;
    // caption nullptr: the system's default caption.
    virtual void ShowMessage(const std::string& text, const char* caption, MessageIcon icon) = 0;
    // The Cabrillo header dialog, modal on the caller's thread: true when the operator pressed OK, with the
    // edited texts in `fields`; false on cancel, `fields` unchanged. Without a screen it confirms at once.
    virtual bool EditCabrilloHeader(CabrilloHeaderFields& fields);
};

// What the headless header dialog answers: OK with these edits applied (by label, see HeaderFieldByLabel),
// or Cancel. By default it confirms the fields unchanged. The Windows side shows the real dialog instead.
struct HeadlessHeaderAnswer {
    bool confirm = true;
    std::vector<std::pair<std::string, std::string>> edits;
};
void SetHeadlessHeaderAnswer(const HeadlessHeaderAnswer& answer);
HeadlessHeaderAnswer CurrentHeadlessHeaderAnswer();

// The prompts in use: the platform's own unless a test or tool installed others (nullptr restores them).
Prompts& CurrentPrompts();
void SetPromptsForTesting(Prompts* prompts);
Prompts& PlatformPrompts();
