#include "platform/settings.h"

#include <atomic>

#include "common/text.h"
#include "platform/profile.h"

namespace {

std::atomic<const char*> fileName{Settings::kFileName};

}  // namespace

void Settings::UseFile(const char* name) { fileName.store(name); }

const char* Settings::FileName() { return fileName.load(); }

std::string Settings::GetString(const std::string& key, size_t bufferSize, const std::string& defaultValue) {
    return platform::ProfileGetString(FileName(), kSection, key, defaultValue, bufferSize);
}

int Settings::GetInt(const std::string& key, size_t bufferSize) {
    return text::LeadingInt(GetString(key, bufferSize));
}

bool Settings::WriteString(const std::string& key, const std::string& value) {
    return platform::ProfileWriteString(FileName(), kSection, key, value);
}

bool Settings::WriteInt(const std::string& key, int value) { return WriteString(key, text::Format("%i", value)); }
