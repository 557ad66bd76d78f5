// Without a screen the operator's prompts are answered at once: a message is written to standard error.
#include <cstdio>

#include "platform/prompts.h"

namespace {

class HeadlessPrompts : public Prompts {
public:
    void ShowMessage(const std::string& text, const char* caption, MessageIcon) override {
        std::fprintf(stderr, "[%s] %s\n", caption ? caption : "Stats", text.c_str());
    }
};

}  // namespace

Prompts& PlatformPrompts() {
    static HeadlessPrompts prompts;
    return prompts;
}
