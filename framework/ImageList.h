// CImageList: an image list handle that the object owns (destroyed with the
// object, on DeleteImageList and when Create makes another).
#pragma once

#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    // A new list of `width` x `height` images; flags as ImageList_Create
    // (ILC_COLOR24 | ILC_MASK ...). Replaces the list held.
    BOOL Create(int width, int height, UINT flags, int initial, int grow);
    BOOL DeleteImageList();

    int GetImageCount() const;
    BOOL GetImageSize(int* width, int* height) const;

    // Adds a bitmap, with pixels of `maskColor` transparent; the index of its
    // first image, or -1.
    int Add(HBITMAP bitmap, COLORREF maskColor);
    int Add(HICON icon);
    // Replaces image `index` in place; FALSE when there is no such image.
    BOOL Replace(int index, HBITMAP bitmap, COLORREF maskColor);
    BOOL Replace(int index, HICON icon);

    // Draws image `index` at (x, y); `style` as ImageList_Draw (ILD_NORMAL,
    // ILD_TRANSPARENT ...).
    BOOL Draw(HDC dc, int index, int x, int y, UINT style) const;
    // A new icon of image `index` (the caller destroys it), or null.
    HICON ExtractIcon(int index) const;

private:
    HIMAGELIST m_hImageList = nullptr;
};
