// Images over http from a loopback server: decoded, refused for size or
// scheme, at most a few at once, and never announced after the loader is
// gone.
#include "framework/html/ImageDecoder.h"
#include "framework/html/ImageLoader.h"

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestImages.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <map>

namespace {

using html::ImageLoader;
using html::ImageLoadResult;
using html::ImageLoadStatus;

constexpr UINT kResultsMessage = WM_APP + 7;
constexpr DWORD kWaitMs = 15000;

// A message-only window that the loader posts to.
class MessageWindow {
public:
    MessageWindow()
        : m_hWnd(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    ~MessageWindow() { ::DestroyWindow(m_hWnd); }
    operator HWND() const { return m_hWnd; }

    // Waits up to `ms` for the loader's message; true when one came.
    bool WaitForMessage(DWORD ms) const {
        const DWORD start = ::GetTickCount();
        MSG msg;
        while (::GetTickCount() - start < ms) {
            if (::PeekMessageW(&msg, m_hWnd, kResultsMessage, kResultsMessage, PM_REMOVE)) return true;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
        }
        return false;
    }

private:
    HWND m_hWnd;
};

// Collects results by id until `count` have come or time is up.
std::map<int, ImageLoadResult> WaitForResults(ImageLoader& loader, const MessageWindow& window, std::size_t count) {
    std::map<int, ImageLoadResult> results;
    const DWORD start = ::GetTickCount();
    while (results.size() < count && ::GetTickCount() - start < kWaitMs) {
        if (!window.WaitForMessage(200)) continue;
        for (ImageLoadResult& result : loader.TakeResults()) results[result.id] = std::move(result);
    }
    return results;
}

class ImageLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { ::CoUninitialize(); }

    ImageLoadResult LoadOne(const std::string& path) {
        ImageLoader loader(window, kResultsMessage);
        EXPECT_TRUE(loader.Request(1, server.Url(path)));
        auto results = WaitForResults(loader, window, 1);
        EXPECT_EQ(results.size(), 1u);
        return results.empty() ? ImageLoadResult{} : std::move(results[1]);
    }

    LoopbackHttpServer server;
    MessageWindow window;
};

TEST_F(ImageLoaderTest, LoadsAndDecodesABitmap) {
    server.Route("/red.bmp", {200, MakeBmp(3, 2, 255, 0, 0)});
    const ImageLoadResult result = LoadOne("/red.bmp");
    ASSERT_EQ(result.status, ImageLoadStatus::Loaded);
    EXPECT_EQ(result.image.width, 3);
    EXPECT_EQ(result.image.height, 2);
    ASSERT_EQ(result.image.pixels.size(), 6u);
    EXPECT_EQ(result.image.pixels[0], 0xFFFF0000u);
    // The program's name, not a name of the pane's own.
    EXPECT_NE(server.LastRequest().find("\r\nUser-Agent: htmlview_tests\r\n"), std::string::npos);
}

TEST_F(ImageLoaderTest, LoadsAPngWithItsAlphaPremultiplied) {
    server.Route("/a.png", {200, MakePng(2, 1, {0x00FF00FFu, 0xFF000080u})});
    const ImageLoadResult result = LoadOne("/a.png");
    ASSERT_EQ(result.status, ImageLoadStatus::Loaded);
    ASSERT_EQ(result.image.pixels.size(), 2u);
    EXPECT_EQ(result.image.pixels[0], 0xFF00FF00u);
    const std::uint32_t halfRed = result.image.pixels[1];
    EXPECT_EQ(halfRed >> 24, 0x80u);
    EXPECT_NEAR(static_cast<int>((halfRed >> 16) & 0xFF), 0x80, 1);
}

TEST_F(ImageLoaderTest, RefusesPicturesOfMoreThan4096PixelsOnASide) {
    server.Route("/wide.bmp", {200, MakeBmp(4097, 1, 0, 0, 0)});
    server.Route("/tall.bmp", {200, MakeBmp(1, 4097, 0, 0, 0)});
    server.Route("/edge.bmp", {200, MakeBmp(4096, 1, 0, 0, 0)});
    EXPECT_EQ(LoadOne("/wide.bmp").status, ImageLoadStatus::TooLarge);
    EXPECT_EQ(LoadOne("/tall.bmp").status, ImageLoadStatus::TooLarge);
    EXPECT_EQ(LoadOne("/edge.bmp").status, ImageLoadStatus::Loaded);
}

TEST_F(ImageLoaderTest, RefusesBodiesOverTenMegabytesAnnouncedOrNot) {
    const std::string tooMany(html::kMaximumImageBytes + 1, 'x');
    server.Route("/announced", {200, tooMany, true});
    server.Route("/unannounced", {200, tooMany, false});
    EXPECT_EQ(LoadOne("/announced").status, ImageLoadStatus::TooManyBytes);
    EXPECT_EQ(LoadOne("/unannounced").status, ImageLoadStatus::TooManyBytes);
}

TEST_F(ImageLoaderTest, ErrorAnswersAndGarbageFail) {
    server.Route("/garbage", {200, "this is no picture"});
    server.Route("/gone", {500, MakeBmp(1, 1, 0, 0, 0)});
    EXPECT_EQ(LoadOne("/garbage").status, ImageLoadStatus::Undecodable);
    EXPECT_EQ(LoadOne("/gone").status, ImageLoadStatus::DownloadFailed);
    EXPECT_EQ(LoadOne("/missing").status, ImageLoadStatus::DownloadFailed);
}

TEST_F(ImageLoaderTest, OtherSchemesAreRefusedWithoutARequest) {
    ImageLoader loader(window, kResultsMessage);
    EXPECT_FALSE(loader.Request(1, u"file:///C:/windows/win.ini"));
    EXPECT_FALSE(loader.Request(2, u"\\\\127.0.0.1\\share\\a.png"));
    EXPECT_FALSE(loader.Request(3, u"ftp://127.0.0.1/a.png"));
    EXPECT_FALSE(window.WaitForMessage(300));
    EXPECT_EQ(server.Requests(), 0);
}

TEST(ImageLoaderUrls, OnlyHttpAndHttpsAreLoadable) {
    EXPECT_TRUE(html::ImageLoader::IsLoadable(u"http://127.0.0.1/a.png"));
    EXPECT_TRUE(html::ImageLoader::IsLoadable(u" HTTPS://example.com/a.gif"));
    for (const std::u16string_view url :
         {u"file:///c:/a.png", u"\\\\host\\share\\a.png", u"c:\\a.png", u"data:image/png;base64,AAAA",
          u"ftp://example.com/a.png", u"a.png", u"javascript:x"}) {
        EXPECT_FALSE(html::ImageLoader::IsLoadable(url));
    }
}

TEST_F(ImageLoaderTest, LoadsAtMostThreeAtOnceAndFinishesThemAll) {
    server.Route("/slow.bmp", {200, MakeBmp(1, 1, 0, 0, 255), true, 300});
    ImageLoader loader(window, kResultsMessage);
    for (int id = 1; id <= 8; ++id) ASSERT_TRUE(loader.Request(id, server.Url("/slow.bmp")));
    const auto results = WaitForResults(loader, window, 8);
    ASSERT_EQ(results.size(), 8u);
    for (const auto& [id, result] : results) EXPECT_EQ(result.status, ImageLoadStatus::Loaded) << id;
    EXPECT_LE(server.MostAtOnce(), ImageLoader::kMaximumWorkers);
    EXPECT_GE(server.MostAtOnce(), 2);
}

TEST_F(ImageLoaderTest, NothingIsPostedAfterTheLoaderIsGone) {
    server.Route("/slow.bmp", {200, MakeBmp(1, 1, 0, 0, 255), true, 500});
    {
        ImageLoader loader(window, kResultsMessage);
        ASSERT_TRUE(loader.Request(1, server.Url("/slow.bmp")));
        ::Sleep(100);  // the request is under way
    }
    EXPECT_FALSE(window.WaitForMessage(1500));
}

TEST(ImageDecoder, RefusesEmptyAndUnknownBytes) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    html::DecodedImage image;
    EXPECT_EQ(html::DecodeImage(nullptr, 0, image), html::DecodeResult::Undecodable);
    const std::string junk = "GIF89a but not really";
    EXPECT_EQ(html::DecodeImage(reinterpret_cast<const std::uint8_t*>(junk.data()), junk.size(), image),
              html::DecodeResult::Undecodable);
    EXPECT_EQ(image.width, 0);
    ::CoUninitialize();
}

}  // namespace
