// Static message tables: each window or command-target class lists (message, notification
// code, control id, handler) rows in a constexpr array and chains to its base class's table.
// The row builders below are templates over the handler's member pointer, so a handler with
// the wrong signature for its message does not compile.
#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>

class CCmdTarget;
class CWnd;

struct MsgEntry {
    UINT message; // the window message
    UINT code;    // WM_COMMAND: the notification code; otherwise 0
    UINT id;      // WM_COMMAND: the control or command id; otherwise 0
    // Runs the handler; returns false to let the message go on to the default processing.
    bool (*call)(CCmdTarget& target, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

struct MessageMap {
    const MessageMap* (*base)(); // the base class's table, or null at the root
    const MsgEntry* entries;
    std::size_t count;
};

template <std::size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* (*base)(), const MsgEntry (&entries)[N]) {
    return MessageMap{base, entries, N};
}

namespace msg {
namespace detail {

template <class> struct MemberOf;
template <class T, class F> struct MemberOf<F T::*> { using Class = T; };
template <auto Handler> using ClassOf = typename MemberOf<decltype(Handler)>::Class;

template <auto Handler> ClassOf<Handler>& Self(CCmdTarget& target) {
    return static_cast<ClassOf<Handler>&>(target);
}

} // namespace detail

// WM_COMMAND with a notification code from a control (BN_CLICKED for a button click):
// void Handler()
template <auto Handler> constexpr MsgEntry Command(UINT id, UINT code = BN_CLICKED) {
    return MsgEntry{WM_COMMAND, code, id, [](CCmdTarget& t, WPARAM, LPARAM, LRESULT& r) {
                        (detail::Self<Handler>(t).*Handler)();
                        r = 0;
                        return true;
                    }};
}

// WM_TIMER: void Handler(UINT_PTR timerId)
template <auto Handler> constexpr MsgEntry Timer() {
    return MsgEntry{WM_TIMER, 0, 0, [](CCmdTarget& t, WPARAM w, LPARAM, LRESULT& r) {
                        (detail::Self<Handler>(t).*Handler)(static_cast<UINT_PTR>(w));
                        r = 0;
                        return true;
                    }};
}

// WM_PAINT, WM_DESTROY and other messages without arguments: void Handler()
template <UINT Message, auto Handler> constexpr MsgEntry Plain() {
    return MsgEntry{Message, 0, 0, [](CCmdTarget& t, WPARAM, LPARAM, LRESULT& r) {
                        (detail::Self<Handler>(t).*Handler)();
                        r = 0;
                        return true;
                    }};
}

// WM_SYSCOMMAND: void Handler(UINT commandId, LPARAM lParam)
template <auto Handler> constexpr MsgEntry SysCommand() {
    return MsgEntry{WM_SYSCOMMAND, 0, 0, [](CCmdTarget& t, WPARAM w, LPARAM l, LRESULT& r) {
                        (detail::Self<Handler>(t).*Handler)(static_cast<UINT>(w), l);
                        r = 0;
                        return true;
                    }};
}

// WM_QUERYDRAGICON: HCURSOR Handler()
template <auto Handler> constexpr MsgEntry QueryDragIcon() {
    return MsgEntry{WM_QUERYDRAGICON, 0, 0, [](CCmdTarget& t, WPARAM, LPARAM, LRESULT& r) {
                        r = reinterpret_cast<LRESULT>((detail::Self<Handler>(t).*Handler)());
                        return true;
                    }};
}

// WM_CHAR and WM_KEYDOWN: void Handler(UINT character, UINT repeatCount, UINT flags)
template <UINT Message, auto Handler> constexpr MsgEntry Key() {
    static_assert(Message == WM_CHAR || Message == WM_KEYDOWN || Message == WM_KEYUP);
    return MsgEntry{Message, 0, 0, [](CCmdTarget& t, WPARAM w, LPARAM l, LRESULT& r) {
                        (detail::Self<Handler>(t).*Handler)(static_cast<UINT>(w),
                                                            static_cast<UINT>(l & 0xFFFF),
                                                            static_cast<UINT>((l >> 16) & 0xFFFF));
                        r = 0;
                        return true;
                    }};
}

// Mouse messages: void Handler(UINT keyFlags, POINT clientPoint)
template <UINT Message, auto Handler> constexpr MsgEntry Mouse() {
    static_assert(Message >= WM_MOUSEFIRST && Message <= WM_MOUSELAST);
    return MsgEntry{
        Message, 0, 0, [](CCmdTarget& t, WPARAM w, LPARAM l, LRESULT& r) {
            const POINT point{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
            (detail::Self<Handler>(t).*Handler)(static_cast<UINT>(w), point);
            r = 0;
            return true;
        }};
}

// WM_SETCURSOR: BOOL Handler(HWND window, UINT hitTest, UINT message); FALSE goes on to the
// default processing.
template <auto Handler> constexpr MsgEntry SetCursor() {
    return MsgEntry{WM_SETCURSOR, 0, 0, [](CCmdTarget& t, WPARAM w, LPARAM l, LRESULT& r) {
                        const BOOL handled = (detail::Self<Handler>(t).*Handler)(
                            reinterpret_cast<HWND>(w), LOWORD(l), HIWORD(l));
                        r = handled;
                        return handled != FALSE;
                    }};
}

} // namespace msg

// The root of every class with a message table.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const MessageMap* GetMessageMap() const { return ThisMessageMap(); }
    static const MessageMap* ThisMessageMap();

    // Looks for a row of this object's table chain that takes the message, and runs it.
    bool DispatchFromTable(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam,
                           LRESULT& result);
};
