#include "platform/prompts.h"

#include <atomic>

namespace {
std::atomic<Prompts*> overridePrompts{nullptr};
}  // namespace

Prompts& CurrentPrompts() {
    Prompts* p = overridePrompts.load();
    return p ? *p : PlatformPrompts();
}

void SetPromptsForTesting(Prompts* prompts) { overridePrompts.store(prompts); }
