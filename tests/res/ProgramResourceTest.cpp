// The program's icon, its About menu text and its version record.
#include <gtest/gtest.h>

#include "ResourceBytes.h"
#include "res/resource.h"

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(AboutMenuText, ReadsBackAsUnicode) {
    const wchar_t* text = nullptr;
    // A length request with a zero buffer hands back a pointer into the
    // resource itself; the text is not NUL-terminated there.
    const int length = LoadStringW(nullptr, IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_GT(length, 0);
    const std::u16string expected = u"WobbleMiniChat 정보(&A)...";
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text), length), expected);
}

TEST(AboutMenuText, ReadsBackInCodePage949ForTheNarrowCode) {
    // The window loads it through the 8-bit interface; under a Korean code
    // page the bytes are the CP949 spelling, like every narrow literal here.
    if (GetACP() != 949) GTEST_SKIP() << "the ANSI code page is " << GetACP();
    char text[64] = {};
    const int length = LoadStringA(nullptr, IDS_ABOUTBOX, text, sizeof text);
    EXPECT_EQ(std::string(text, length), "WobbleMiniChat 정보(&A)...");
}

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramIcon, OffersASmallAndALargeImage) {
    auto group = FindResourceBytes(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_TRUE(group.has_value());
    GroupIconHeader header;
    ASSERT_GE(group->size, sizeof header);
    std::memcpy(&header, group->data, sizeof header);
    EXPECT_EQ(header.type, 1);
    ASSERT_GE(group->size, sizeof header + header.count * sizeof(GroupIconEntry));

    std::set<int> sizes;
    for (WORD i = 0; i < header.count; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group->data + sizeof header + i * sizeof entry, sizeof entry);
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.bitCount, 32);
        EXPECT_TRUE(FindResourceBytes(RT_ICON, entry.id).has_value()) << "image " << entry.id;
        sizes.insert(entry.width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));
}

TEST(ProgramIcon, LoadsAtBothSizesWithAColourImage) {
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                   IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        ASSERT_NE(info.hbmColor, nullptr);
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(VersionRecord, NamesVersionOneOfAnApplication) {
    auto version = FindResourceBytes(RT_VERSION, VS_VERSION_INFO);
    ASSERT_TRUE(version.has_value());
    // The fixed part follows the record's header, at the first DWORD boundary
    // after the key; find it by its signature rather than by offsets.
    const DWORD signature = 0xFEEF04BD;
    const BYTE* found = nullptr;
    for (size_t at = 0; at + sizeof(VS_FIXEDFILEINFO) <= version->size; at += 4)
        if (std::memcmp(version->data + at, &signature, sizeof signature) == 0) {
            found = version->data + at;
            break;
        }
    ASSERT_NE(found, nullptr);
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, found, sizeof fixed);
    EXPECT_EQ(fixed.dwFileVersionMS, DWORD{MAKELONG(0, 1)});
    EXPECT_EQ(fixed.dwProductVersionMS, DWORD{MAKELONG(0, 1)});
    EXPECT_EQ(fixed.dwFileType, DWORD{VFT_APP});
}

}  // namespace
