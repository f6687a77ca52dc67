// The user's identity from the program's first command-line argument.
// Window-free, so it also builds natively for fuzzing.
#pragma once

#include "framework/CString.h"

// Reads `argument` as hexadecimal text, two characters per byte (an odd last
// character stands alone), each piece by strtol's base-16 rules; unscrambles
// the bytes and cuts them at the first zero. Every argument decodes to some
// identity, the empty argument to the empty one.
CString DecodeUserId(const CString& argument);
