#include "display/ChatRendering.h"

#include "display/ChatFormat.h"
#include "display/ChatView.h"

void AddNotice(CChatView& view, const char* text) { view.AppendHtml(FormatNotice(text)); }

void AddChatLine(CChatView& view, const CHtmlTagFilter& filter, const char* record) {
    view.AppendHtml(FormatChatLine(record, filter));
}
