#include "framework/ImageList.h"

#include <utility>

BOOL CImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ::ImageList_Create(width, height, flags, initial, grow);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList() {
    const HIMAGELIST list = std::exchange(m_hImageList, nullptr);
    return list && ::ImageList_Destroy(list);
}

int CImageList::GetImageCount() const { return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0; }

BOOL CImageList::GetImageSize(int* width, int* height) const {
    return m_hImageList && ::ImageList_GetIconSize(m_hImageList, width, height);
}

int CImageList::Add(HBITMAP bitmap, COLORREF maskColor) {
    if (!m_hImageList || !bitmap) return -1;
    return ::ImageList_AddMasked(m_hImageList, bitmap, maskColor);
}

int CImageList::Add(HICON icon) {
    if (!m_hImageList || !icon) return -1;
    return ::ImageList_AddIcon(m_hImageList, icon);
}

// ImageList_Replace wants a separate mask; going through a scratch list and
// an icon keeps the transparent-colour rule the same as Add's.
BOOL CImageList::Replace(int index, HBITMAP bitmap, COLORREF maskColor) {
    if (index < 0 || index >= GetImageCount() || !bitmap) return FALSE;
    int width = 0;
    int height = 0;
    GetImageSize(&width, &height);
    CImageList scratch;
    if (!scratch.Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 1) || scratch.Add(bitmap, maskColor) < 0) {
        return FALSE;
    }
    const HICON icon = scratch.ExtractIcon(0);
    const BOOL replaced = Replace(index, icon);
    if (icon) ::DestroyIcon(icon);
    return replaced;
}

BOOL CImageList::Replace(int index, HICON icon) {
    if (index < 0 || index >= GetImageCount() || !icon) return FALSE;
    return ::ImageList_ReplaceIcon(m_hImageList, index, icon) == index;
}

BOOL CImageList::Draw(HDC dc, int index, int x, int y, UINT style) const {
    return m_hImageList && ::ImageList_Draw(m_hImageList, index, dc, x, y, style);
}

HICON CImageList::ExtractIcon(int index) const {
    return m_hImageList ? ::ImageList_GetIcon(m_hImageList, index, ILD_NORMAL) : nullptr;
}
