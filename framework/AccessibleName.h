// An accessible name of our own for a control whose caption says nothing to
// a screen reader (an image button, an edit box without a label): its
// answer to WM_GETOBJECT for the client object is the system's standard
// object for the window, with only the name replaced. Role, state,
// location, default action and navigation stay the standard object's, so
// the control reads as what it is.
//
// This works wherever oleacc answers WM_GETOBJECT, Wine included; the
// system's annotation service (IAccPropServices) would do the same without
// a message, but Wine does not implement it.
#pragma once

#include "framework/AccessibleObject.h"
#include "framework/CString.h"

#include <windows.h>

#include <string>

// The answer to WM_GETOBJECT for a window named `name`: true, with
// `result` set, when the object asked for is the client object; false leaves
// the message to the window's default handling.
bool AnswerWithAccessibleName(HWND window, WPARAM wParam, LPARAM lParam, const std::wstring& name, LRESULT& result);

// A name that changes, kept by the control.
class CAccessibleName {
public:
    // Names `window` (code page 949 text); tells listening clients that the
    // name changed. An empty name gives the standard object back.
    void Set(HWND window, const CString& name);
    const std::wstring& Name() const { return m_name; }

    // As AnswerWithAccessibleName; false while the name is empty.
    bool Answer(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
        return !m_name.empty() && AnswerWithAccessibleName(window, wParam, lParam, m_name, result);
    }

private:
    std::wstring m_name;
};
