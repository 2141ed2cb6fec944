// Handles that the framework's message loops wait on beside the message queue, so that work
// finished elsewhere (an asynchronous request that signals an event) reaches the window's
// thread without that thread ever waiting on it alone. When a handle is signalled, its
// callback runs on the loop's thread; the callback must reset the handle or take it off the
// list, since the loop waits on it again afterwards.
#pragma once

#include <windows.h>

using WaitHandleCallback = void (*)(HANDLE handle, void* context);

// Adds a handle to the list; false when the list is full (the loop waits on at most 63).
bool AfxAddWaitHandle(HANDLE handle, WaitHandleCallback callback, void* context);
void AfxRemoveWaitHandle(HANDLE handle);

// GetMessage for the framework's loops: waits for the next message of the thread, running the
// callbacks of the handles signalled meanwhile. 0 for WM_QUIT, -1 on failure, else non-zero.
BOOL AfxGetMessage(MSG* msg);
