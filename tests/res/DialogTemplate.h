// DialogTemplate: reads an extended dialog template (DLGTEMPLATEEX and its
// items) out of the bytes of a dialog resource, so that tests can check a
// template field by field without creating a window. Every read is bounds-
// checked: a template cut short yields no result rather than a wild read.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A field that holds either a 16-bit ordinal or a UTF-16 string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::u16string name;
};

struct DialogItem {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    std::vector<BYTE> creationData;
};

struct DialogFont {
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::u16string typeface;
};

struct DialogTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string title;
    std::optional<DialogFont> font;
    std::vector<DialogItem> items;
};

std::optional<DialogTemplate> ParseDialogTemplateEx(const void* bytes, size_t size);

// The class of an item in lower case, with the predefined ordinals
// (0x80 button ... 0x85 combobox) spelled out, so that a template that names
// a class and one that uses its ordinal compare equal.
std::u16string ItemClassName(const DialogItem& item);
