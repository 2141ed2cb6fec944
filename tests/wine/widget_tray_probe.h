// The notification area as a Wine test sees it: whether the shell holds an icon, where the
// taskbar shows it, clicks on it delivered by the taskbar itself, and the CSystemTray object
// of this thread that put an icon there.
#pragma once

#include "tests/wine/widget_messages.h"
#include "tray/system_tray.h"

#include <windows.h>

// The shell still holds the icon (owner, id): a modification that changes nothing succeeds
// only for an icon that exists.
bool TrayIconExists(HWND owner, UINT id);
// Asks the shell to delete the icon; true when it had one to delete.
bool TrayDeleteIcon(HWND owner, UINT id);

// The taskbar of the Wine virtual desktop, whose notification area shows the icons; null when
// none appears within a few seconds.
HWND TrayTaskbarWindow();

// Moves the pointer across the taskbar's notification area, right to left, until the owner of
// the icon reports the move through its callback message; the point (taskbar client
// coordinates) is where the icon is shown. `recorder` must record the callback message.
bool TrayFindIcon(HWND owner, WidgetMessageRecorder& recorder, POINT* where);
// A mouse message at `where` in the taskbar, as the pointer would give it.
void TrayPostMouse(POINT where, UINT mouseMessage);

// The CSystemTray of this thread whose record names (owner, id), found through its hidden
// window; null when there is none.
const CSystemTray* TrayObjectFor(HWND owner, UINT id);
