// ReadMenuTemplate: the items of a standard menu template (a MENU resource),
// read without <windows.h>, so that the reader also builds natively and is
// fuzzed there.
//
// A template is a header of two 16-bit words (the version, which must be 0,
// and the number of header bytes that follow them), then the items in order:
// 16-bit flags, a 16-bit command id unless the item opens a popup, and its
// text, UTF-16 up to a zero unit. A popup's items follow the popup item; an
// item with the end flag is the last of its menu, and the end of the menu bar
// ends the template. Words are in the machine's order, as the resource loader
// hands them.
//
// The items come out flat, each with its depth, rather than as a tree: the
// menus are built front to back anyway, and a template nested thousands of
// popups deep then costs no recursion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The template's flags that shape the menu (MF_POPUP and MF_END); the others
// are an item's state and type, as AppendMenu takes them.
inline constexpr std::uint16_t kMenuTemplatePopup = 0x0010;
inline constexpr std::uint16_t kMenuTemplateEnd = 0x0080;

struct MenuTemplateItem {
    std::uint16_t flags = 0;  // as written, popup and end flags included
    std::uint16_t id = 0;     // 0 for a popup, which has none
    std::u16string text;
    int depth = 0;  // 0 on the menu bar, 1 in the bar's popups, and so on

    friend bool operator==(const MenuTemplateItem&, const MenuTemplateItem&) = default;
};

struct MenuTemplate {
    // In template order: a popup item, then its items.
    std::vector<MenuTemplateItem> items;
    // Bytes read, the header included; whatever follows the end of the menu
    // bar is not looked at.
    std::size_t size = 0;
};

// The template in the `size` bytes at `data`, none read beyond them; nothing
// when `data` is null, the version is not 0, or the template is cut short
// (a header, an item or a text runs past the end, or a menu never ends).
std::optional<MenuTemplate> ReadMenuTemplate(const void* data, std::size_t size);
