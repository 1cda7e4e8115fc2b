#include "app/KeyboardLocks.h"

#include <QGuiApplication>

#ifdef CARDWRIGHT_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

std::optional<LockKeys> QueryLockKeys() {
#ifdef CARDWRIGHT_HAVE_X11
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (display == nullptr) {
        return std::nullopt;
    }
    auto lit = [display](const char* name) {
        const Atom atom = XInternAtom(display, name, True);
        Bool on = False;
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) {
            return false;
        }
        return on == True;
    };
    return LockKeys{lit("Caps Lock"), lit("Num Lock"), lit("Scroll Lock")};
#else
    return std::nullopt;
#endif
}
