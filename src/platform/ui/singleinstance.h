#pragma once
#include <QCoreApplication>

// The one window of a kind that lives for the whole run. Its constructor enrols it (the first one
// created wins) and its destructor leaves; get() makes one on first use when start-up made none, as
// in window tests, and deletes that one when the application object goes.
template <class W> class SingleInstance {
public:
    static void enrol(W* w) {
        if (!s_current) s_current = w;
    }
    static void leave(W* w) {
        if (s_current == w) {
            s_current = nullptr;
            s_owned = false;
        }
    }
    static W* get() {
        if (!s_current) {
            new W();
            s_owned = true;
            qAddPostRoutine([] {
                if (s_owned) delete s_current;
            });
        }
        return s_current;
    }

private:
    static inline W* s_current = nullptr;
    static inline bool s_owned = false;
};
