// CPoint, CRect: POINT and RECT with the few conveniences window code wants.
//
// They derive from the Win32 structures, so a CRect* goes wherever a RECT*
// is asked for.
#pragma once

#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int x, int y) : POINT{x, y} {}
};

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool PtInRect(POINT p) const { return ::PtInRect(this, p) != FALSE; }
    bool operator==(const RECT& other) const { return ::EqualRect(this, &other) != FALSE; }
};
