// ProfileDirectory: the users file of the profile service.
//
// One user per line: the id, white space, then the nickname up to the end of
// the line, both as CP949 bytes. Blank lines and lines starting with '#' are
// skipped; so is a line with no nickname. The first line of an id wins.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

class ProfileDirectory {
public:
    static ProfileDirectory Parse(std::string_view fileText);

    // The nickname of `id`, compared byte for byte; null when unknown.
    const std::string* Find(std::string_view id) const;
    size_t Size() const { return m_nicknames.size(); }

private:
    std::unordered_map<std::string, std::string> m_nicknames;
};
