#include "LockKeyState.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(VALDINA_HAVE_XKB)
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

#if defined(VALDINA_HAVE_XKB)
namespace {
bool NamedIndicator(Display* display, const char* name)
{
    Bool on = False;
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on;
}
}
#endif

LockKeyState QueryLockKeyState()
{
    LockKeyState state;
#if defined(Q_OS_WIN)
    state.known = true;
    state.caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    state.num = (GetKeyState(VK_NUMLOCK) & 1) != 0;
    state.scroll = (GetKeyState(VK_SCROLL) & 1) != 0;
#elif defined(VALDINA_HAVE_XKB)
    // Only the xcb platform has an X display; offscreen and Wayland cannot tell.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (display) {
        state.known = true;
        state.caps = NamedIndicator(display, "Caps Lock");
        state.num = NamedIndicator(display, "Num Lock");
        state.scroll = NamedIndicator(display, "Scroll Lock");
    }
#endif
    return state;
}
