#include "display/ChatFormat.h"

#include "display/FieldTokenizer.h"
#include "display/HtmlTagFilter.h"
#include "framework/TextConversion.h"

#include <string>
#include <utility>

namespace {

constexpr unsigned int kIdField = 0;
constexpr unsigned int kNicknameField = 1;
constexpr unsigned int kMessageField = 2;

const char* FieldOrEmpty(const CFieldTokenizer& tokenizer, unsigned int index) {
    return index < tokenizer.m_count ? tokenizer.m_fields[index] : "";
}

}  // namespace

CString MendCp949(const char* text) {
    std::string mended = text ? text : "";
    for (size_t i = 0; i < mended.size(); ++i) {
        if (!IsCp949LeadByte(static_cast<unsigned char>(mended[i]))) continue;
        if (i + 1 < mended.size() && IsCp949TrailByte(static_cast<unsigned char>(mended[i + 1]))) {
            ++i;  // a whole double-byte character
        } else {
            mended[i] = '?';
        }
    }
    return CString(std::move(mended));
}

CString FormatNotice(const char* text) {
    CString fragment;
    fragment.Format("<br>&nbsp<Font color=394D84><b>%s</b></Font><br><br>", MendCp949(text).GetString());
    return fragment;
}

CString FormatChatLine(const char* record, const CHtmlTagFilter& filter) {
    CString separator;
    separator.Format("%c", 7);  // BEL
    CFieldTokenizer tokenizer(separator);
    tokenizer.Split(record);

    CString message;
    filter.Filter(MendCp949(FieldOrEmpty(tokenizer, kMessageField)), message);
    CString fragment;
    fragment.Format("&nbsp<Font color='blue'><B>%s</B></Font><Font color='purple'>(%s)</font>: %s<br>",
                    MendCp949(FieldOrEmpty(tokenizer, kNicknameField)).GetString(),
                    MendCp949(FieldOrEmpty(tokenizer, kIdField)).GetString(), message.GetString());
    return fragment;
}
