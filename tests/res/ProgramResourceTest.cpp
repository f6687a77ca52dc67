// The program's icon and its About menu text.
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

}  // namespace
