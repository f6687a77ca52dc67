// The chat window's and the About box's dialog templates, read back from the
// linked resources: the exact styles matter because the window has no
// caption, must own a task-bar button, and must let Enter and clicks on the
// skin pieces fall through to the right places.
#include <gtest/gtest.h>

#include "DialogTemplate.h"
#include "ResourceBytes.h"
#include "res/resource.h"

#include <string>

namespace {

DialogTemplate LoadTemplate(UINT id) {
    auto bytes = FindResourceBytes(RT_DIALOG, id);
    if (!bytes) {
        ADD_FAILURE() << "no dialog resource " << id;
        return {};
    }
    auto dialog = ParseDialogTemplateEx(bytes->data, bytes->size);
    if (!dialog) {
        ADD_FAILURE() << "dialog " << id << " is not a well-formed extended template";
        return {};
    }
    return *dialog;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct ExpectedItem {
    DWORD id;
    const char16_t* className;
    DWORD style;
    const char16_t* text;  // null: the text is the ordinal below
    WORD bitmap;
};

// Template order is also the tab and z-order, so the order is part of it.
const ExpectedItem kChatItems[] = {
    {IDC_INPUT, u"edit", kChild | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, u"", 0},
    {IDC_SEND, u"button", kChild | BS_PUSHBUTTON, u"보내기", 0},
    {IDC_LOWER_RIGHT, u"static", kChild | SS_BITMAP, nullptr, IDB_LOWER_RIGHT},
    {IDC_LOWER_PANEL_TOP, u"static", kChild | SS_BITMAP, nullptr, IDB_LOWER_PANEL_TOP},
    {IDC_LOWER_LEFT, u"static", kChild | SS_BITMAP, nullptr, IDB_LOWER_LEFT},
    {IDC_TITLE_BAND, u"static", kChild | SS_BITMAP, nullptr, IDB_TITLE_BAND},
    {IDC_LOWER_PANEL_BOTTOM, u"static", kChild | SS_BITMAP, nullptr, IDB_LOWER_PANEL_BOTTOM},
    {IDC_CLOSE, u"button", kChild | BS_PUSHBUTTON, u"", 0},
    {IDC_MAXIMIZE, u"button", kChild | BS_PUSHBUTTON, u"", 0},
    {IDC_MINIMIZE, u"button", kChild | BS_PUSHBUTTON, u"", 0},
    {IDC_UPPER_LEFT, u"static", kChild | SS_BITMAP, nullptr, IDB_UPPER_LEFT},
    {IDC_UPPER_RIGHT, u"static", kChild | SS_BITMAP, nullptr, IDB_UPPER_RIGHT},
    {IDC_UPPER_MIDDLE, u"static", kChild | SS_BITMAP, nullptr, IDB_UPPER_MIDDLE},
};

TEST(ChatDialogTemplate, IsACaptionlessSizablePopupWithItsOwnTaskBarButton) {
    const DialogTemplate dialog = LoadTemplate(IDD_CHAT_DIALOG);
    EXPECT_EQ(dialog.style, DWORD{WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT});
    EXPECT_EQ(dialog.exStyle, DWORD{WS_EX_APPWINDOW | WS_EX_WINDOWEDGE});
    EXPECT_EQ(dialog.cx, 355);
    EXPECT_EQ(dialog.cy, 263);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_TRUE(dialog.menu.name.empty() && !dialog.menu.isOrdinal);
    EXPECT_TRUE(dialog.windowClass.name.empty() && !dialog.windowClass.isOrdinal);
    ASSERT_TRUE(dialog.font.has_value());
    EXPECT_EQ(dialog.font->pointSize, 9);
    EXPECT_EQ(dialog.font->typeface, u"MS Shell Dlg");
}

TEST(ChatDialogTemplate, HoldsItsControlsInOrderWithExactStyles) {
    const DialogTemplate dialog = LoadTemplate(IDD_CHAT_DIALOG);
    ASSERT_EQ(dialog.items.size(), std::size(kChatItems));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        const ExpectedItem& expected = kChatItems[i];
        SCOPED_TRACE("item " + std::to_string(i) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(item.id, expected.id);
        EXPECT_EQ(ItemClassName(item), expected.className);
        EXPECT_EQ(item.style, expected.style);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_TRUE(item.creationData.empty());
        if (expected.text) {
            EXPECT_FALSE(item.text.isOrdinal);
            EXPECT_EQ(item.text.name, expected.text);
        } else {
            EXPECT_TRUE(item.text.isOrdinal);
            EXPECT_EQ(item.text.ordinal, expected.bitmap);
        }
    }
}

TEST(ChatDialogTemplate, OnlyTheInputBoxTakesTheFocusAndNoButtonIsTheDefault) {
    // Enter must reach the input box: a default push button would take it.
    for (const DialogItem& item : LoadTemplate(IDD_CHAT_DIALOG).items) {
        SCOPED_TRACE("id " + std::to_string(item.id));
        EXPECT_EQ((item.style & WS_TABSTOP) != 0, item.id == IDC_INPUT);
        if (ItemClassName(item) == u"button") {
            EXPECT_EQ(item.style & BS_TYPEMASK, DWORD{BS_PUSHBUTTON});
        }
    }
}

TEST(ChatDialogTemplate, SkinPiecesLetClicksThroughAndNameExistingBitmaps) {
    for (const DialogItem& item : LoadTemplate(IDD_CHAT_DIALOG).items) {
        if (ItemClassName(item) != u"static") continue;
        SCOPED_TRACE("id " + std::to_string(item.id));
        EXPECT_EQ(item.style & SS_NOTIFY, 0u);  // a notifying static would swallow the drag
        EXPECT_TRUE(FindResourceBytes(RT_BITMAP, item.text.ordinal).has_value());
    }
}

TEST(AboutBoxTemplate, IsAPlainCaptionedModalDialog) {
    const DialogTemplate dialog = LoadTemplate(IDD_ABOUTBOX);
    EXPECT_EQ(dialog.title, u"WobbleMiniChat 정보");
    EXPECT_TRUE(dialog.style & WS_CAPTION);
    EXPECT_TRUE(dialog.style & WS_SYSMENU);
    EXPECT_TRUE(dialog.style & DS_MODALFRAME);
    EXPECT_FALSE(dialog.style & WS_THICKFRAME);
    ASSERT_TRUE(dialog.font.has_value());
    EXPECT_EQ(dialog.font->typeface, u"MS Shell Dlg");
}

TEST(AboutBoxTemplate, ShowsTheIconTheVersionASecondLineAndOneOkButton) {
    const DialogTemplate dialog = LoadTemplate(IDD_ABOUTBOX);
    ASSERT_EQ(dialog.items.size(), 4u);

    const DialogItem& icon = dialog.items[0];
    EXPECT_EQ(ItemClassName(icon), u"static");
    EXPECT_EQ(icon.style & SS_TYPEMASK, DWORD{SS_ICON});
    EXPECT_TRUE(icon.text.isOrdinal);
    EXPECT_EQ(icon.text.ordinal, IDR_MAINFRAME);

    const DialogItem& version = dialog.items[1];
    EXPECT_EQ(ItemClassName(version), u"static");
    EXPECT_EQ(version.text.name, u"WobbleMiniChat Version 1.0");

    const DialogItem& secondLine = dialog.items[2];
    EXPECT_EQ(ItemClassName(secondLine), u"static");
    EXPECT_FALSE(secondLine.text.name.empty());
    EXPECT_GT(secondLine.y, version.y);  // under the version line

    const DialogItem& ok = dialog.items[3];
    EXPECT_EQ(ItemClassName(ok), u"button");
    EXPECT_EQ(ok.id, DWORD{IDOK});
    EXPECT_EQ(ok.text.name, u"확인");
    EXPECT_TRUE(ok.style & WS_TABSTOP);
}

TEST(DialogTemplateReader, RejectsEveryTruncationOfARealTemplate) {
    auto bytes = FindResourceBytes(RT_DIALOG, IDD_CHAT_DIALOG);
    ASSERT_TRUE(bytes.has_value());
    ASSERT_TRUE(ParseDialogTemplateEx(bytes->data, bytes->size).has_value());
    // The resource may carry up to three bytes of padding after the last
    // item; any cut into the template itself must be refused, never read past.
    size_t shortest = bytes->size;
    while (shortest > 0 && ParseDialogTemplateEx(bytes->data, shortest - 1)) --shortest;
    EXPECT_LE(bytes->size - shortest, 3u);
    for (size_t length = 0; length < shortest; ++length)
        EXPECT_FALSE(ParseDialogTemplateEx(bytes->data, length).has_value()) << length;
}

}  // namespace
