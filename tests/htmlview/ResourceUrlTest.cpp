// res:// URLs: parsing, and loading the HTML resources of this test program,
// from the running module and from a copy mapped as a data file.
#include "framework/html/ResourceUrl.h"

#include "TestResources.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using html::ParseResourceUrl;

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

TEST(ResourceUrl, SplitsModulePathAndNumberAtTheLastSlash) {
    const auto windowsPath = ParseResourceUrl(L"res://C:\\dir\\prog.exe/129");
    ASSERT_TRUE(windowsPath);
    EXPECT_EQ(windowsPath->modulePath, L"C:\\dir\\prog.exe");
    EXPECT_EQ(windowsPath->number, 129u);

    const auto slashedPath = ParseResourceUrl(L"RES://C:/dir/prog.exe/65535");
    ASSERT_TRUE(slashedPath);
    EXPECT_EQ(slashedPath->modulePath, L"C:/dir/prog.exe");
    EXPECT_EQ(slashedPath->number, 65535u);
}

TEST(ResourceUrl, RefusesWhatIsNotAResourceNumberOfAModule) {
    for (const wchar_t* url : {L"res://prog.exe/", L"res://prog.exe/12a", L"res://prog.exe/0", L"res://prog.exe/65536",
                               L"res://prog.exe/99999999999999999999", L"res:///129", L"res://129",
                               L"http://prog.exe/129", L"res:/prog.exe/129", L"", L"res://prog.exe/-1"}) {
        EXPECT_FALSE(ParseResourceUrl(url)) << std::wstring(url).size();
    }
}

TEST(ResourceUrl, LoadsThisProgramsResourceAsWideText) {
    const auto text = html::LoadHtmlResource({ThisProgram(), IDR_SECOND_PAGE});
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, u"<html><body>한글</body></html>");
}

TEST(ResourceUrl, ComparesTheModulePathWithoutRegardToCase) {
    std::wstring path = ThisProgram();
    ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    const auto text = html::LoadHtmlResource({path, IDR_SECOND_PAGE});
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, u"<html><body>한글</body></html>");
}

TEST(ResourceUrl, LoadsFromAnotherModuleMappedAsData) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring copy = std::wstring(folder) + L"htmlview_resource_copy.exe";
    ASSERT_TRUE(::CopyFileW(ThisProgram().c_str(), copy.c_str(), FALSE));
    const auto text = html::LoadHtmlResource({copy, IDR_SECOND_PAGE});
    ::DeleteFileW(copy.c_str());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, u"<html><body>한글</body></html>");
}

TEST(ResourceUrl, MissingResourceOrModuleLoadsNothing) {
    EXPECT_FALSE(html::LoadHtmlResource({ThisProgram(), 4321}));
    EXPECT_FALSE(html::LoadHtmlResource({L"C:\\no\\such\\module.dll", IDR_SECOND_PAGE}));
}

}  // namespace
