#include <windows.h>

#include "platform/prompts.h"

namespace {

class Win32Prompts : public Prompts {
public:
    void ShowMessage(const std::string& text, const char* caption, MessageIcon icon) override {
        UINT type = MB_OK;
        if (icon == MessageIcon::information) type |= MB_ICONINFORMATION;
        if (icon == MessageIcon::warning) type |= MB_ICONWARNING;
        MessageBoxA(nullptr, text.c_str(), caption, type);
    }
};

}  // namespace

Prompts& PlatformPrompts() {
    static Win32Prompts prompts;
    return prompts;
}
