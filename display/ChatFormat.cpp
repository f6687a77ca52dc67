#include "display/ChatFormat.h"

#include "display/FieldTokenizer.h"
#include "display/HtmlTagFilter.h"

namespace {

constexpr unsigned int kIdField = 0;
constexpr unsigned int kNicknameField = 1;
constexpr unsigned int kMessageField = 2;

const char* FieldOrEmpty(const CFieldTokenizer& tokenizer, unsigned int index) {
    return index < tokenizer.m_count ? tokenizer.m_fields[index] : "";
}

}  // namespace

CString FormatNotice(const char* text) {
    CString fragment;
    fragment.Format("<br>&nbsp<Font color=394D84><b>%s</b></Font><br><br>", text ? text : "");
    return fragment;
}

CString FormatChatLine(const char* record, const CHtmlTagFilter& filter) {
    CString separator;
    separator.Format("%c", 7);  // BEL
    CFieldTokenizer tokenizer(separator);
    tokenizer.Split(record);

    CString message;
    filter.Filter(FieldOrEmpty(tokenizer, kMessageField), message);
    CString fragment;
    fragment.Format("&nbsp<Font color='blue'><B>%s</B></Font><Font color='purple'>(%s)</font>: %s<br>",
                    FieldOrEmpty(tokenizer, kNicknameField), FieldOrEmpty(tokenizer, kIdField),
                    message.GetString());
    return fragment;
}
