// AddNotice, AddChatLine: the renderers the chat window calls for a notice
// and for a received chat line. They format the fragment (ChatFormat.h) and
// append it to the chat view, whose result they do not look at: a lost
// fragment has no one to be reported to.
#pragma once

class CChatView;
class CHtmlTagFilter;

void AddNotice(CChatView& view, const char* text);
void AddChatLine(CChatView& view, const CHtmlTagFilter& filter, const char* record);
