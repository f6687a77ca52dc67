// CDialog: a dialog from a template resource, run modally with its own loop
// or created modeless; CDataExchange with DDX_Control and DDX_Text.
//
// The dialog is made with CreateDialogIndirectParamW under the creation hook,
// so the object handles every message of it, WM_CREATE included; the dialog
// procedure itself only ever answers "not handled", leaving the dialog
// manager's defaults. The modal loop is ours rather than DialogBox's so that
// PreTranslateMessage sees each message first and the run can end on the
// window's destruction as well as on EndDialog.
//
// Display scale: a dialog is laid out by the system at the DPI it is made
// at. When it moves to a monitor of another DPI, Windows would rescale a
// per-monitor dialog by itself and Wine would not; the framework turns the
// system's rescaling off and rescales every dialog itself (OnDpiChanged), so
// that the one path is the one the tests see.
#pragma once

#include "framework/CString.h"
#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"

#include <windows.h>

class CDataExchange;

class CDialog : public CWnd {
public:
    CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_pParentWnd(parent) {}

    // Runs the dialog until EndDialog (its result), the window's destruction
    // or WM_QUIT (IDABORT; a quit is posted again for the loop outside).
    // Returns -1 when the dialog cannot be created, a WM_CREATE answered -1
    // included. The parent is disabled meanwhile.
    INT_PTR DoModal();
    // Creates the dialog modeless; it shows itself if its template says so.
    bool Create();
    // Ends a modal run with `result`; a modeless dialog is hidden.
    void EndDialog(INT_PTR result);

    // Moves data between controls and members: from the controls when
    // `saveAndValidate`, to them otherwise. False when an exchange failed.
    bool UpdateData(bool saveAndValidate = true);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // The DPI the dialog is drawn at: its monitor's when it was made, then
    // each one WM_DPICHANGED brings.
    DpiScale GetDpiScale() const { return m_dpiScale; }

protected:
    virtual void DoDataExchange(CDataExchange* dx);

    // WM_DPICHANGED: takes the new DPI (brought into the range DpiScale
    // draws for), gives every control the dialog's font at it, moves the
    // controls to their places scaled from the old DPI, and takes the
    // rectangle the system suggests (a message without one keeps the
    // window's). A dialog that lays itself out does so in its WM_SIZE.
    void OnDpiChanged(UINT dpi, const RECT* suggested);

    DECLARE_MESSAGE_MAP()

private:
    enum class ModalState { NotRunning, Running, Ended };

    static INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM);
    bool CreateFromTemplate(HWND owner);
    void RunModalLoop();
    BOOL HandleInitDialog();
    void HandleOK() { OnOK(); }
    void HandleCancel() { OnCancel(); }

    void ScaleControls(DpiScale from);

    UINT m_templateId;
    CWnd* m_pParentWnd;
    DpiScale m_dpiScale;
    DpiScale m_creationScale;  // the DPI of the template's font as the system made it
    CFont m_scaledFont;        // the controls' font at a DPI other than the creation one
    ModalState m_modalState = ModalState::NotRunning;
    INT_PTR m_modalResult = -1;
};

// One data exchange: the direction and the dialog, and whether a step failed.
class CDataExchange {
public:
    CDataExchange(CWnd& dialog, bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(&dialog) {}

    // The dialog's control `id`; a missing one fails the exchange.
    HWND PrepareCtrl(int id);
    void Fail() { m_failed = true; }
    bool HasFailed() const { return m_failed; }

    const bool m_bSaveAndValidate;
    CWnd* const m_pDlgWnd;

private:
    bool m_failed = false;
};

// Attaches `control` to the dialog's control `id` on the first exchange; an
// attached one is left as it is.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Moves the text of control `id` into `value` or from it.
void DDX_Text(CDataExchange* dx, int id, CString& value);
