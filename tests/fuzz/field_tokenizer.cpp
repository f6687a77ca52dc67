// CFieldTokenizer with the program's two delimiters, BEL (chat-line records)
// and "||" (profile answers), and with a delimiter taken from the input.
//
// The fields, joined again with the delimiter, must give back the record
// byte for byte: nothing lost, nothing read from outside the record, and the
// field table never overrun, however many delimiters come.
#include "display/FieldTokenizer.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstring>

namespace {

void SplitAndRejoin(const char* delimiter, const std::string& record) {
    CFieldTokenizer tokenizer(delimiter);
    tokenizer.Split(record.c_str());
    FUZZ_CHECK(tokenizer.m_count <= CFieldTokenizer::kMaxFields);
    if (record.empty()) {
        FUZZ_CHECK(tokenizer.m_count == 0);
        return;
    }
    std::string rejoined;
    for (unsigned int i = 0; i < tokenizer.m_count; ++i) {
        if (i > 0) rejoined += tokenizer.m_delimiter;
        rejoined += tokenizer.m_fields[i];
    }
    FUZZ_CHECK(rejoined == record);
    // A second split on the same tokenizer must forget the first.
    tokenizer.Split("");
    FUZZ_CHECK(tokenizer.m_count == 0);
}

}  // namespace

// Input: the record; for the third split, the bytes before the first
// newline are the delimiter and the rest the record.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string record = fuzz::TextOf(data, size);
    SplitAndRejoin("\a", record);
    SplitAndRejoin("||", record);
    const size_t newline = record.find('\n');
    if (newline != std::string::npos) {
        SplitAndRejoin(record.substr(0, newline).c_str(), record.substr(newline + 1));
    }
    return 0;
}
