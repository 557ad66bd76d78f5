#pragma once
// What the plug-in tells the operator: message boxes. On Windows these are real modal windows on the caller's
// thread; the headless side writes them to standard error.
#include <string>

enum class MessageIcon { none, information, warning };

struct PromptRecord {
    std::string text;
    std::string caption;  // empty for the system's default caption
    MessageIcon icon = MessageIcon::none;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // caption nullptr: the system's default caption.
    virtual void ShowMessage(const std::string& text, const char* caption, MessageIcon icon) = 0;
};

// The prompts in use: the platform's own unless a test or tool installed others (nullptr restores them).
Prompts& CurrentPrompts();
void SetPromptsForTesting(Prompts* prompts);
Prompts& PlatformPrompts();
