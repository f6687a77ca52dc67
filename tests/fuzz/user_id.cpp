// DecodeUserId on any command-line argument: every argument decodes, to an
// identity of at most one byte per two characters and without a NUL.
#include "app/UserId.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string argument = fuzz::TextOf(data, size);
    const CString identity = DecodeUserId(CString(argument));
    FUZZ_CHECK(static_cast<size_t>(identity.GetLength()) <= (argument.size() + 1) / 2);
    FUZZ_CHECK(identity.str().find('\0') == std::string::npos);
    return 0;
}
