// CommandLine: the options of a service, "--name value" pairs read in order.
#pragma once

#include <string>
#include <string_view>

class CommandLine {
public:
    CommandLine(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

    // Moves to the next option; false when none is left.
    bool Next();
    std::string_view Name() const { return m_name; }
    // The argument after the option's name; false when there is none.
    bool TakeText(std::string& value);
    // The argument after the option's name as a whole decimal number within
    // [low, high].
    bool TakeNumber(long low, long high, long& value);

private:
    int m_argc;
    char** m_argv;
    int m_next = 1;
    std::string_view m_name;
};

// A whole decimal number within [low, high]; no sign, space or other text.
bool ParseNumber(std::string_view text, long low, long high, long& value);
