// Private-profile files on posix, behaving as the Windows API does under the same calls. Like it, a write
// reads the whole file, changes the one entry and writes the file out again in normal form
// ("[section]" lines and "key=value" lines, CRLF, blank lines dropped); unlike it, the file is replaced in
// one step, so a failed write leaves it whole, and a file that cannot be read is never written.
#include <sstream>

#include "common/text.h"
#include "platform/file_io.h"
#include "platform/profile.h"

namespace platform {

namespace {

struct Entry {
    std::string name;
    std::string value;
    bool hasValue = false;
};

struct Section {
    std::string name;  // empty for lines before the first section
    std::vector<Entry> entries;
};

std::string UnixPath(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

// A settings file holds a few dozen short keys; a file past this size is not one (a device never ends)
// and is neither read nor rewritten.
constexpr size_t kSettingsFileLimit = size_t{1} << 20;

// The file's sections, or the one empty section of a missing file.
ReadResult Load(const std::string& path, std::vector<Section>& sections) {
    sections.assign(1, Section());
    std::string bytes;
    ReadResult result = ReadWholeFile(path, kSettingsFileLimit, bytes);
    if (result != ReadResult::read) return result;
    for (const std::string& line : text::Split(bytes, '\n')) {
        std::string t = text::Trim(line);
        if (t.empty()) continue;
        if (t[0] == '[') {
            size_t close = t.find(']');
            Section s;
            s.name = text::Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            sections.push_back(s);
            continue;
        }
        Entry e;
        size_t eq = t.find('=');
        if (eq == std::string::npos || t[0] == ';') {
            e.name = t;  // a comment or a stray word is no key, but it stays in the file
        } else {
            e.name = text::TrimRight(t.substr(0, eq));
            e.value = text::TrimLeft(t.substr(eq + 1));
            e.hasValue = true;
        }
        sections.back().entries.push_back(e);
    }
    return result;
}

Section* FindSection(std::vector<Section>& sections, const std::string& name) {
    for (Section& s : sections) {
        if (!s.name.empty() && text::EqualsNoCase(s.name, text::Trim(name))) return &s;
    }
    return nullptr;
}

Entry* FindEntry(Section& section, const std::string& key) {
    for (Entry& e : section.entries) {
        if (e.hasValue && text::EqualsNoCase(e.name, text::Trim(key))) return &e;
    }
    return nullptr;
}

std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

std::string ProfileGetString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue, size_t bufferSize) {
    if (bufferSize == 0) return std::string();
    std::string value = text::TrimRight(defaultValue);
    std::vector<Section> sections;
    if (Load(UnixPath(file), sections) == ReadResult::read) {
        if (Section* s = FindSection(sections, section)) {
            if (Entry* e = FindEntry(*s, key)) value = Unquote(e->value);
        }
    }
    if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    return value;
}

bool ProfileWriteString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    std::string path = UnixPath(file);
    std::vector<Section> sections;
    if (Load(path, sections) == ReadResult::unreadable) return false;
    Section* s = FindSection(sections, section);
    if (s == nullptr) {
        Section fresh;
        fresh.name = text::Trim(section);
        sections.push_back(fresh);
        s = &sections.back();
    }
    if (Entry* e = FindEntry(*s, key)) {
        e->value = text::Trim(value);
    } else {
        Entry fresh;
        fresh.name = text::Trim(key);
        fresh.value = text::Trim(value);
        fresh.hasValue = true;
        s->entries.push_back(fresh);
    }
    std::ostringstream out;
    for (const Section& sec : sections) {
        if (!sec.name.empty()) out << '[' << sec.name << "]\r\n";
        for (const Entry& e : sec.entries) {
            out << e.name;
            if (e.hasValue) out << '=' << e.value;
            out << "\r\n";
        }
    }
    // A missing folder is not created: writing the temporary file in it fails.
    return ReplaceFileContents(path, out.str());
}

}  // namespace platform
