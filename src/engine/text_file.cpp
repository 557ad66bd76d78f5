#include "engine/text_file.h"

#include <cstdio>

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    if (path.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);

    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        // Only a CR that ends a line belongs to the line end, as in a text-mode read.
        if (end > pos && end < bytes.size() && bytes[end - 1] == '\r') --end;
        lines.push_back(bytes.substr(pos, end - pos));
        pos = next;
    }
    return true;
}
