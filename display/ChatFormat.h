// FormatNotice, FormatChatLine: the exact HTML fragments of a notice and of
// a chat line.
//
// Texts are always printf arguments, never part of the format, so a "%" in a
// message is shown as it is. Only a chat line's message goes through the tag
// filter: the sender's id and nickname, and notices, come from the server and
// go into the HTML as they are. Window-free, so the bytes are checked without
// a window (and the formats can be fuzzed natively).
#pragma once

#include "framework/CString.h"

class CHtmlTagFilter;

// The notice fragment: the text in bold, in the notice colour, between blank
// lines.
CString FormatNotice(const char* text);

// The chat-line fragment of a record "id BEL nickname BEL message": the
// nickname in bold blue, the id in purple parentheses, then the filtered
// message. Missing fields show as empty; fields after the third are ignored,
// so a message is cut at its first BEL.
CString FormatChatLine(const char* record, const CHtmlTagFilter& filter);
