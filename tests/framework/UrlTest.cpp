// Which links may leave the program, and the form in which they are handed
// on.
#include "framework/LinkOpener.h"
#include "framework/UrlText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records what would have been launched.
struct RecordingLauncher {
    std::vector<std::wstring> opened;
    LinkOpener Opener() {
        return LinkOpener([this](const std::wstring& url) {
            opened.push_back(url);
            return true;
        });
    }
};

TEST(LinkOpener, OpensHttpHttpsAndMailtoInAnyLetterCase) {
    RecordingLauncher launcher;
    const LinkOpener opener = launcher.Opener();
    EXPECT_TRUE(opener.Open(u"http://example.com/"));
    EXPECT_TRUE(opener.Open(u"HTTPS://example.com/a?b=c#d"));
    EXPECT_TRUE(opener.Open(u"MailTo:someone@example.com"));
    EXPECT_EQ(launcher.opened, (std::vector<std::wstring>{L"http://example.com/", L"HTTPS://example.com/a?b=c#d",
                                                          L"MailTo:someone@example.com"}));
}

TEST(LinkOpener, RefusesEverySchemeThatWouldRunOrOpenSomethingLocal) {
    RecordingLauncher launcher;
    const LinkOpener opener = launcher.Opener();
    for (const std::u16string_view url :
         {u"file:///C:/windows/system32/calc.exe", u"javascript:alert(1)", u"data:text/html,<b>x</b>",
          u"\\\\host\\share\\run.exe", u"C:\\x", u"C:/x", u"res://prog.exe/129", u"about:blank", u"vbscript:msgbox",
          u"ms-settings:", u"/relative/path", u"page.html", u"", u"   ", u"http:", u"https:"}) {
        EXPECT_FALSE(opener.Open(url)) << std::string(url.begin(), url.end());
    }
    EXPECT_TRUE(launcher.opened.empty());
}

TEST(LinkOpener, SeesThroughWhatAUrlParserStrips) {
    RecordingLauncher launcher;
    const LinkOpener opener = launcher.Opener();
    EXPECT_FALSE(opener.Open(u"  javascript:alert(1)"));
    EXPECT_FALSE(opener.Open(u"java\tscript:alert(1)"));
    EXPECT_FALSE(
        opener.Open(u"\x01"
                    u"file:///c:/x"));
    EXPECT_FALSE(opener.Open(u"ht tp://example.com"));  // a space is no tab: not a scheme
    EXPECT_TRUE(opener.Open(u"\n ht\ttp://example.com/ \r\n"));
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], L"http://example.com/");
}

TEST(LinkOpener, EscapesWhatCouldBreakOutOfTheBrowsersCommandLine) {
    RecordingLauncher launcher;
    ASSERT_TRUE(launcher.Opener().Open(u"http://example.com/a\" --run \"b|c<d>^`"));
    EXPECT_EQ(launcher.opened.at(0), L"http://example.com/a%22%20--run%20%22b%7Cc%3Cd%3E%5E%60");
}

TEST(LinkOpener, KeepsNonAsciiCharactersAsTheyAre) {
    RecordingLauncher launcher;
    ASSERT_TRUE(launcher.Opener().Open(u"http://example.com/안녕"));
    EXPECT_EQ(launcher.opened.at(0), L"http://example.com/안녕");
}

TEST(LinkOpener, ReportsALaunchThatFailed) {
    const LinkOpener opener([](const std::wstring&) { return false; });
    EXPECT_FALSE(opener.Open(u"http://example.com/"));
}

TEST(UrlText, SchemeNeedsALeadingLetterAndOnlySchemeCharacters) {
    EXPECT_EQ(UrlScheme(u"Http://x"), u"http");
    EXPECT_EQ(UrlScheme(u"a+b-c.d:x"), u"a+b-c.d");
    EXPECT_EQ(UrlScheme(u"1http://x"), u"");
    EXPECT_EQ(UrlScheme(u":x"), u"");
    EXPECT_EQ(UrlScheme(u"no colon"), u"");
    EXPECT_EQ(UrlScheme(u"a b:c"), u"");
}

}  // namespace
