// FormatNotice, FormatChatLine: the exact HTML fragments of a notice and of
// a chat line.
//
// Texts are always printf arguments, never part of the format, so a "%" in a
// message is shown as it is. Only a chat line's message goes through the tag
// filter: the sender's id and nickname, and notices, come from the server and
// go into the HTML as they are, except that every field is mended first
// (MendCp949), so that a lone lead byte cannot swallow the markup after it.
// Window-free, so the bytes are checked without a window (and the formats
// can be fuzzed natively).
#pragma once

#include "framework/CString.h"

class CHtmlTagFilter;

// Text from the network made safe to splice into markup that is later
// widened as code page 949. A lead byte (0x81-0xFE) takes the byte after it
// as its trail whatever that byte is: widening "\xB0<br>" gives "?br>" and
// the break is gone (measured under Wine). Every lead byte without a valid
// trail byte after it becomes "?", which is what widening shows for it
// anyway; no markup character is a valid trail byte.
CString MendCp949(const char* text);

// The notice fragment: the text in bold, in the notice colour, between blank
// lines.
CString FormatNotice(const char* text);

// The chat-line fragment of a record "id BEL nickname BEL message": the
// nickname in bold blue, the id in purple parentheses, then the filtered
// message. Missing fields show as empty; fields after the third are ignored,
// so a message is cut at its first BEL.
CString FormatChatLine(const char* record, const CHtmlTagFilter& filter);
