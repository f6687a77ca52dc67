// CIcon: an icon its holder destroys (DestroyIcon) when it is replaced or
// goes. Icons are USER objects, not GDI ones, so they have no place among
// the GDI wrappers.
#pragma once

#include <windows.h>

#include <utility>

class CIcon {
public:
    CIcon() = default;
    explicit CIcon(HICON icon) : m_hIcon(icon) {}
    CIcon(CIcon&& other) noexcept : m_hIcon(std::exchange(other.m_hIcon, nullptr)) {}
    CIcon& operator=(CIcon&& other) noexcept {
        if (this != &other) Attach(std::exchange(other.m_hIcon, nullptr));
        return *this;
    }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;
    ~CIcon() { Attach(nullptr); }

    operator HICON() const { return m_hIcon; }
    void Attach(HICON icon) {
        if (m_hIcon && m_hIcon != icon) ::DestroyIcon(m_hIcon);
        m_hIcon = icon;
    }

private:
    HICON m_hIcon = nullptr;
};
