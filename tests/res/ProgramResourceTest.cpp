// The program's icon and its About menu text.
#include <gtest/gtest.h>

#include "ResourceBytes.h"
#include "framework/Dpi.h"
#include "framework/ScaledResource.h"
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

// An icon of the program's resources, as Windows hands it out: its colour
// image's side, 0 when there is none.
int IconSide(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP colour{};
    const bool read = info.hbmColor && GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, colour.bmHeight);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    return read ? colour.bmWidth : 0;
}

TEST(ProgramIcon, OffersAnImageForEveryDisplayScale) {
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
        auto image = FindResourceBytes(RT_ICON, entry.id);
        ASSERT_TRUE(image.has_value()) << "image " << entry.id;
        // 0 stands for 256, which Windows expects PNG-compressed.
        const int size = entry.width == 0 ? 256 : entry.width;
        const bool png = image->size >= 8 && std::memcmp(image->data, "\x89PNG\r\n\x1a\n", 8) == 0;
        EXPECT_EQ(png, size == 256) << size;
        sizes.insert(size);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

TEST(ProgramIcon, LoadsAtEverySizeWithAColourImage) {
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        EXPECT_EQ(IconSide(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR))),
                  size);
    }
}

TEST(ProgramIcon, ComesAtTheSizesTheSystemAsksOfAWindowAtItsDpi) {
    for (UINT dpi : {96u, 120u, 144u, 168u, 192u}) {
        SCOPED_TRACE(dpi);
        const HINSTANCE module = GetModuleHandleW(nullptr);
        EXPECT_EQ(IconSide(LoadIconForDpi(module, IDR_MAINFRAME, IconKind::Big, dpi)),
                  SystemMetricForDpi(SM_CXICON, dpi));
        EXPECT_EQ(IconSide(LoadIconForDpi(module, IDR_MAINFRAME, IconKind::Small, dpi)),
                  SystemMetricForDpi(SM_CXSMICON, dpi));
    }
    EXPECT_EQ(SystemMetricForDpi(SM_CXICON, 192), 64);
}

}  // namespace
