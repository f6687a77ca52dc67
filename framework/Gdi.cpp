#include "framework/Gdi.h"

#include "framework/TextConversion.h"

void CDCBase::FillSolidRect(const RECT& rect, COLORREF color) {
    // A brush of its own rather than ExtTextOut's opaque trick, which would
    // leave the DC's background colour changed.
    CBrush brush;
    if (brush.CreateSolidBrush(color)) ::FillRect(m_hDC, &rect, brush);
}

void CDCBase::Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    FillSolidRect(rect.left, rect.top, width - 1, 1, topLeft);
    FillSolidRect(rect.left, rect.top, 1, height - 1, topLeft);
    FillSolidRect(rect.right - 1, rect.top, 1, height, bottomRight);
    FillSolidRect(rect.left, rect.bottom - 1, width, 1, bottomRight);
}

int CDCBase::DrawText(const CString& text, RECT& rect, UINT format) {
    const std::wstring wide = ToWide(text);
    return ::DrawTextW(m_hDC, wide.c_str(), static_cast<int>(wide.size()), &rect, format);
}

bool CDC::CreateCompatibleDC(HDC reference) {
    DeleteDC();
    m_hDC = ::CreateCompatibleDC(reference);
    return m_hDC != nullptr;
}

bool CDC::DeleteDC() {
    const HDC dc = std::exchange(m_hDC, nullptr);
    return dc && ::DeleteDC(dc);
}
