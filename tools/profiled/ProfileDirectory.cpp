#include "tools/profiled/ProfileDirectory.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

ProfileDirectory ProfileDirectory::Parse(std::string_view fileText) {
    ProfileDirectory directory;
    while (!fileText.empty()) {
        const size_t lineEnd = fileText.find('\n');
        const std::string_view line = Trim(fileText.substr(0, lineEnd));
        fileText = lineEnd == std::string_view::npos ? std::string_view() : fileText.substr(lineEnd + 1);
        if (line.empty() || line.front() == '#') continue;

        size_t idEnd = 0;
        while (idEnd < line.size() && !IsBlank(line[idEnd])) ++idEnd;
        const std::string_view nickname = Trim(line.substr(idEnd));
        if (nickname.empty()) continue;
        directory.m_nicknames.try_emplace(std::string(line.substr(0, idEnd)), nickname);
    }
    return directory;
}

const std::string* ProfileDirectory::Find(std::string_view id) const {
    const auto found = m_nicknames.find(std::string(id));
    return found == m_nicknames.end() ? nullptr : &found->second;
}
