#include "engine/text_file.h"

#include "platform/file_io.h"

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    std::string bytes;
    if (path.empty() || platform::ReadWholeFile(path, kTextFileLimit, bytes) != platform::ReadResult::read) {
        return false;
    }
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
