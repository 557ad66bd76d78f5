#pragma once
// What the plug-in asks of the operator: message boxes and the Cabrillo header dialog. On Windows these are
// real modal windows on the caller's thread; the headless side records them and answers at once.
#include <string>
#include <utility>
#include <vector>

#include "platform/cabrillo_header.h"

enum class MessageIcon { none, information, warning };

struct PromptRecord {
    std::string text;
    std::string caption;  // empty for the system's default caption
    MessageIcon icon = MessageIcon::none;
};

// The field behind a dialog label or Cabrillo tag ("CALLSIGN", "ADDRESS-CITY", "E-MAIL", ...); nullptr for
// any other text.
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
