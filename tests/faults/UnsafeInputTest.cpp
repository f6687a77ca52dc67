// What the room sends cannot make the pane run, open or fetch anything
// local, and one line's markup cannot reach into the next line. Lines are
// rendered as the chat window renders them (its tag filter, its formats,
// widened from code page 949 as the view widens them) into the pane's
// document, measured and painted with fixed metrics.
#include "display/ChatFormat.h"
#include "display/HtmlTagFilter.h"
#include "framework/LinkOpener.h"
#include "framework/html/ImageLoader.h"
#include "tests/html/PaneTestSupport.h"
#include "tests/support/DocumentText.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using html::testing::FixedMetrics;
using html::testing::kPaneTemplate;
using html::testing::RecordingSurface;

constexpr int kPaneWidth = 600;
constexpr html::Color kBlack = html::Rgb(0, 0, 0);
constexpr html::Color kBlue = html::Rgb(0, 0, 255);
constexpr html::Color kPurple = html::Rgb(0x80, 0, 0x80);

// One painted run of text, with everything about its look.
struct DrawnRun {
    std::u16string text;
    int x;
    int baseline;
    html::Color color;
    html::FontSpec font;
};

class RunRecorder : public RecordingSurface {
public:
    void DrawTextRun(const html::FontSpec& font, int x, int baseline, std::u16string_view text,
                     html::Color color) override {
        runs.push_back({std::u16string(text), x, baseline, color, font});
    }
    std::vector<DrawnRun> runs;
};

class RenderedChat : public ::testing::Test {
protected:
    RenderedChat() {
        // The chat window's whitelist.
        filter.AddTag("a");
        filter.AddTag("img");
        filter.AddTag("embed");
        document.Load(kPaneTemplate);
        document.SetViewport(kPaneWidth, 2000, metrics);
    }

    void AddChatLine(const char* record) { document.AppendHtml(DocumentText(FormatChatLine(record, filter))); }
    void AddNotice(const char* text) { document.AppendHtml(DocumentText(FormatNotice(text))); }

    // The painted runs, by baseline, top to bottom.
    std::map<int, std::vector<DrawnRun>> RunsByLine() {
        RunRecorder recorder;
        document.Paint(recorder, {0, 0, kPaneWidth, 2000});
        std::map<int, std::vector<DrawnRun>> lines;
        for (DrawnRun& run : recorder.runs) lines[run.baseline].push_back(std::move(run));
        return lines;
    }

    // The runs of the line whose text holds `text`.
    std::vector<DrawnRun> RunsOfLineWith(std::u16string_view text) {
        for (auto& [baseline, runs] : RunsByLine()) {
            std::u16string whole;
            for (const DrawnRun& run : runs) whole += run.text;
            if (whole.find(text) != std::u16string::npos) return runs;
        }
        return {};
    }

    // The link under the middle of the first run of `text`.
    std::u16string LinkOver(std::u16string_view text) {
        for (const auto& [baseline, runs] : RunsByLine()) {
            for (const DrawnRun& run : runs) {
                if (run.text.find(text) != std::u16string::npos) return document.LinkAt(run.x + 2, baseline - 3);
            }
        }
        ADD_FAILURE() << "no run shows the text";
        return {};
    }

    CHtmlTagFilter filter;
    FixedMetrics metrics;
    html::Document document;
};

// Markup that a nickname, an id, a message or a notice leaves open.
struct Hostile {
    const char* name;
    bool notice;
    const char* text;
};

class MarkupStaysInItsLine : public RenderedChat, public ::testing::WithParamInterface<Hostile> {};

TEST_P(MarkupStaysInItsLine, NextLineLooksAsUsual) {
    const Hostile& hostile = GetParam();
    if (hostile.notice) AddNotice(hostile.text);
    else AddChatLine(hostile.text);
    AddChatLine("id2\anick2\ahello there");

    const std::vector<DrawnRun> next = RunsOfLineWith(u"hello there");
    ASSERT_FALSE(next.empty()) << "the next line is not on a line of its own";
    std::u16string whole;
    for (const DrawnRun& run : next) {
        whole += run.text;
        EXPECT_FALSE(run.font.italic) << html::testing::Utf8(run.text);
        EXPECT_FALSE(run.font.underline) << html::testing::Utf8(run.text);
        EXPECT_FALSE(run.font.strikeout) << html::testing::Utf8(run.text);
        // Only the speaker's name is bold, in blue; the id is purple, the
        // rest the page's black.
        const bool name = run.text == u"nick2";
        EXPECT_EQ(run.font.bold, name) << html::testing::Utf8(run.text);
        const html::Color expected = name ? kBlue : run.text.find(u"(id2)") != std::u16string::npos ? kPurple : kBlack;
        EXPECT_EQ(run.color, expected) << html::testing::Utf8(run.text);
        EXPECT_EQ(run.font.pixelSize, 11) << html::testing::Utf8(run.text);
    }
    EXPECT_EQ(whole, u"\u00A0nick2(id2): hello there");
    EXPECT_EQ(LinkOver(u"hello"), u"");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MarkupStaysInItsLine,
    ::testing::Values(Hostile{"NicknameOpensBoldItalicRed", false, "id\a<b><i><font color=red>\amessage"},
                      Hostile{"NicknameOpensUnderlineStrikeAndALink", false, "id\a<u><s><a href=http://x/>\amessage"},
                      Hostile{"NicknameOpensABigFont", false, "id\a<font size=7 face=Courier>\amessage"},
                      Hostile{"IdOpensItalic", false, "<i><b>\anick\amessage"},
                      Hostile{"MessageLeavesALinkOpen", false, "id\anick\a<a href=http://x/>click"},
                      Hostile{"MessageLeavesAnEmbedAndEscapedTags", false, "id\anick\a<embed src=x><b><i>"},
                      Hostile{"NicknameEndsInALoneLeadByte", false, "id\anick\xB0\amessage"},
                      Hostile{"MessageEndsInALoneLeadByte", false, "id\anick\amessage\xB0"},
                      Hostile{"NoticeOpensItalicAndALink", true, "<i><u><a href=http://x/><font color=red>"},
                      Hostile{"NoticeEndsInALoneLeadByte", true, "notice\xB0"}),
    [](const auto& info) { return std::string(info.param.name); });

// Links

class Links : public RenderedChat {
protected:
    // The URL under the link text once the line is rendered, and whether
    // the pane's opener would hand it to the shell.
    bool WouldOpen(const std::string& href) {
        AddChatLine(("id\anick\a<a href=\"" + href + "\">LINKTEXT</a>").c_str());
        const std::u16string url = LinkOver(u"LINKTEXT");
        EXPECT_FALSE(url.empty()) << href;
        bool launched = false;
        const LinkOpener opener([&launched](const std::wstring&) { return launched = true; });
        opener.Open(url);
        EXPECT_EQ(launched, OpenableUrl(url).has_value());
        return launched;
    }
};

TEST_F(Links, ThatWouldRunOrOpenSomethingLocalAreNeverOpened) {
    for (const char* href :
         {"javascript:alert(1)", "JaVaScRiPt:alert(1)", " javascript:alert(1)", "java&#9;script:alert(1)",
          "&#106;avascript:alert(1)", "vbscript:msgbox(1)", "file:///C:/windows/system32/calc.exe",
          "file://server/share/run.exe", "res://WobbleMiniChat.exe/129", "about:blank", "\\\\server\\share\\run.exe",
          "//server/share/run.exe", "C:\\windows\\system32\\calc.exe", "calc.exe", "data:text/html,<b>x</b>",
          "ms-settings:", "shell:startup"}) {
        EXPECT_FALSE(WouldOpen(href)) << href;
    }
}

TEST_F(Links, OverTheWebAndMailAreOpened) {
    EXPECT_TRUE(WouldOpen("http://example.com/"));
    EXPECT_TRUE(WouldOpen("https://example.com/a?b=c"));
    EXPECT_TRUE(WouldOpen("mailto:someone@example.com"));
}

// Images and embeds

TEST_F(RenderedChat, ImagesFromLocalOrInlineSourcesAreNeverFetched) {
    const std::vector<std::string> sources = {"file:///C:/windows/win.ini",   "file://server/share/a.png",
                                              "\\\\server\\share\\a.png",     "//server/share/a.png",
                                              "res://WobbleMiniChat.exe/154", "data:image/png;base64,iVBORw0KGgo=",
                                              "C:\\windows\\a.bmp",           "about:blank",
                                              "javascript:alert(1)"};
    for (const std::string& source : sources) AddChatLine(("id\anick\a<img src=\"" + source + "\">").c_str());
    const std::vector<html::ImageRequest> requests = document.TakeImageRequests();
    ASSERT_EQ(requests.size(), sources.size());
    // No window: a loader that tried anything would have nowhere to report.
    html::ImageLoader loader(nullptr, WM_APP);
    for (const html::ImageRequest& request : requests) {
        EXPECT_FALSE(html::ImageLoader::IsLoadable(request.url)) << html::testing::Utf8(request.url);
        EXPECT_FALSE(loader.Request(request.id, request.url)) << html::testing::Utf8(request.url);
    }
    EXPECT_TRUE(html::ImageLoader::IsLoadable(u"http://127.0.0.1/a.png"));
}

TEST_F(RenderedChat, EmbedsAreInertPlaceholders) {
    AddChatLine("id\anick\a<embed src=\"C:\\windows\\system32\\calc.exe\" autostart=true>");
    AddChatLine("id\anick\a<embed src=\"http://127.0.0.1/movie.swf\" type=application/x-shockwave-flash>");
    AddChatLine("id\anick\a<embed src=\"javascript:alert(1)\"><a href=\"file:///c:/\"><embed src=x></a>");
    EXPECT_TRUE(document.TakeImageRequests().empty()) << "an embed was asked for";
    const std::u16string layout = document.DumpLayout();
    size_t placeholders = 0;
    for (size_t at = layout.find(u"[embed]"); at != std::u16string::npos; at = layout.find(u"[embed]", at + 1)) {
        ++placeholders;
    }
    EXPECT_EQ(placeholders, 4u);
}

}  // namespace
