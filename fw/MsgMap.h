// Message maps: one line a message, each line unpacking the message's
// parameters into a typed call of its handler, as the handler names say.
//
//     BEGIN_MESSAGE_MAP(CSlideView, CWnd)
//         ON_WM_TIMER()
//         ON_WM_PAINT()
//     END_MESSAGE_MAP()
//
// A class lists DECLARE_MESSAGE_MAP() in its declaration. Messages not listed
// go to the base class's map.
#pragma once

#include <windows.h>
#include <windowsx.h>

#define DECLARE_MESSAGE_MAP() \
protected:                    \
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    LRESULT theClass::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)    \
    {                                                                           \
        using TheBaseClass = baseClass;                                         \
        (void)wParam;                                                           \
        (void)lParam;

#define END_MESSAGE_MAP()                                   \
        return TheBaseClass::WindowProc(message, wParam, lParam); \
    }

#define VLM_ON(msg, call) \
    if (message == (msg)) {  \
        call;                \
        return 0;            \
    }

#define ON_WM_CREATE() \
    if (message == WM_CREATE) \
        return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam));
#define ON_WM_DESTROY() VLM_ON(WM_DESTROY, OnDestroy())
#define ON_WM_TIMER() VLM_ON(WM_TIMER, OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_PAINT() VLM_ON(WM_PAINT, OnPaint())
#define ON_WM_SIZE() VLM_ON(WM_SIZE, OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_QUERYDRAGICON() \
    if (message == WM_QUERYDRAGICON) \
        return reinterpret_cast<LRESULT>(OnQueryDragIcon());
#define ON_WM_SYSCOMMAND() VLM_ON(WM_SYSCOMMAND, OnSysCommand(static_cast<UINT>(wParam), lParam))
#define ON_WM_SETCURSOR() \
    if (message == WM_SETCURSOR) \
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
#define ON_WM_NCACTIVATE() \
    if (message == WM_NCACTIVATE) \
        return OnNcActivate(static_cast<BOOL>(wParam));
#define ON_WM_ACTIVATE() \
    VLM_ON(WM_ACTIVATE, OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0))
#define ON_WM_ACTIVATEAPP() VLM_ON(WM_ACTIVATEAPP, OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam)))
#define VLM_MOUSE_POINT POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}
#define ON_WM_MOUSEMOVE() VLM_ON(WM_MOUSEMOVE, OnMouseMove(static_cast<UINT>(wParam), VLM_MOUSE_POINT))
#define ON_WM_LBUTTONDOWN() VLM_ON(WM_LBUTTONDOWN, OnLButtonDown(static_cast<UINT>(wParam), VLM_MOUSE_POINT))
#define ON_WM_MBUTTONDOWN() VLM_ON(WM_MBUTTONDOWN, OnMButtonDown(static_cast<UINT>(wParam), VLM_MOUSE_POINT))
#define ON_WM_RBUTTONDOWN() VLM_ON(WM_RBUTTONDOWN, OnRButtonDown(static_cast<UINT>(wParam), VLM_MOUSE_POINT))
#define VLM_KEY_ARGS static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)
#define ON_WM_KEYDOWN() VLM_ON(WM_KEYDOWN, OnKeyDown(VLM_KEY_ARGS))
#define ON_WM_SYSKEYDOWN() VLM_ON(WM_SYSKEYDOWN, OnSysKeyDown(VLM_KEY_ARGS))
#define ON_WM_HSCROLL() \
    VLM_ON(WM_HSCROLL, OnHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
// A message of the program's own choosing: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(msg, handler) \
    if (message == (msg))        \
        return handler(wParam, lParam);
// Notifications of child controls by id: void handler().
#define ON_COMMAND_CODE(id, code, handler)                                             \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) { \
        handler();                                                                     \
        return 0;                                                                      \
    }
// A command by id: a menu entry (code 0), an accelerator (1) or a button's click.
#define ON_COMMAND(id, handler)                                                    \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) <= 1) { \
        handler();                                                                 \
        return 0;                                                                  \
    }
#define ON_BN_CLICKED(id, handler) ON_COMMAND_CODE(id, BN_CLICKED, handler)
#define ON_EN_KILLFOCUS(id, handler) ON_COMMAND_CODE(id, EN_KILLFOCUS, handler)
