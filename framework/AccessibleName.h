// An accessible name of our own for a control whose caption says nothing to
// a screen reader (an image button, an edit box without a label).
//
// Where the system has its annotation service (IAccPropServices, Windows),
// the name is annotated on the window: both MSAA clients and the UI
// Automation proxies of standard controls read it there, and the control
// keeps everything else of the system's own object, an edit box its native
// text support. Where it has not (Wine, or a thread without COM), the
// control answers WM_GETOBJECT for the client object itself: the system's
// standard object for the window with only the name replaced, so role,
// state, location, default action and navigation stay the standard
// object's. AnnotateAccessibleName is the one place that decides, window by
// window, by whether the service took the name; a property on the window
// remembers it, and the framework clears the annotation as the window goes.
#pragma once

#include "framework/AccessibleObject.h"
#include "framework/CString.h"

#include <windows.h>
#include <oleacc.h>

#include <string>

// Spelled out like kIidIAccessible: MinGW's import library gives data
// thunks, not the GUIDs.
inline constexpr IID kIidIAccPropServices = {
    0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
inline constexpr MSAAPROPID kPropIdAccName = {
    0x608D3DF8, 0x8128, 0x4AA7, {0xA4, 0x28, 0xF5, 0x5E, 0x49, 0x26, 0x72, 0x91}};

// The annotation service the framework asks for names; the system's by
// default. Empty when there is none to be had.
using AnnotationServiceSource = ComPtr<IAccPropServices> (*)();
ComPtr<IAccPropServices> SystemAnnotationService();
// Puts `source` in the service's place, for tests; returns the one it
// replaces.
AnnotationServiceSource UseAnnotationService(AnnotationServiceSource source);

// Annotates `window`'s client object with the name; true when the service
// took it, and from then on the window answers nothing of its own.
bool AnnotateAccessibleName(HWND window, const std::wstring& name);
// Clears what AnnotateAccessibleName left on `window`; nothing when it left
// nothing. The framework calls it as each of its windows is destroyed.
void ForgetAccessibleName(HWND window);

// The answer to WM_GETOBJECT for a window named `name`: the name is
// annotated if it can be, and the message left to the window's default
// handling (false); otherwise, for the client object, true with `result`
// set to our own object.
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
