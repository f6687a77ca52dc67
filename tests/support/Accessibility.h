// What a screen reader reads of a window: its client object as
// AccessibleObjectFromWindow gives it, in this process or another, and
// what that object's children say.
#pragma once

#include "framework/ComObject.h"

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

// The window's client object; empty when it cannot be had. The calling
// thread joins a COM apartment first, as a screen reader's thread has.
ComPtr<IAccessible> ClientObject(HWND window);

// About `object`'s child `child` (CHILDID_SELF for the object itself):
// its name or value (empty when it has none), role and state (0 when
// they cannot be had), and its screen rectangle (empty on failure).
std::wstring NameOf(IAccessible* object, LONG child = CHILDID_SELF);
std::wstring ValueOf(IAccessible* object, LONG child = CHILDID_SELF);
LONG RoleOf(IAccessible* object, LONG child = CHILDID_SELF);
LONG StateOf(IAccessible* object, LONG child = CHILDID_SELF);
RECT LocationOf(IAccessible* object, LONG child = CHILDID_SELF);
// Child `id`'s own object (1-based), empty for a simple child or on failure.
ComPtr<IAccessible> ChildOf(IAccessible* object, LONG id);
// The object in a VARIANT an IAccessible call answered with.
ComPtr<IAccessible> ObjectIn(VARIANT& answer);
// Every child's name in order, read one by one as a reader walks them.
std::vector<std::wstring> ChildNames(IAccessible* object);
VARIANT ChildId(LONG id);

// The client object's name and role, as NameOf and RoleOf.
std::wstring AccessibleName(HWND window);
LONG AccessibleRole(HWND window);
