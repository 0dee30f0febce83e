#pragma once
#include <QtGlobal>

// Variable-length integers for packed stores: seven bits a byte, low bits first; signed values
// zigzag-encoded so that small negative numbers stay short.

inline quint64 zigzag(qint64 v) {
    return (static_cast<quint64>(v) << 1) ^ static_cast<quint64>(v >> 63);
}
inline qint64 unzigzag(quint64 v) {
    return static_cast<qint64>(v >> 1) ^ -static_cast<qint64>(v & 1);
}

inline char* putVarint(char* p, quint64 v) {
    while (v >= 0x80) {
        *p++ = static_cast<char>(v | 0x80);
        v >>= 7;
    }
    *p++ = static_cast<char>(v);
    return p;
}

inline const char* getVarint(const char* p, quint64* v) {
    quint64 r = 0;
    int shift = 0;
    for (;;) {
        const auto b = static_cast<unsigned char>(*p++);
        r |= static_cast<quint64>(b & 0x7f) << shift;
        if (b < 0x80) break;
        shift += 7;
    }
    *v = r;
    return p;
}

inline const char* skipVarint(const char* p) {
    while (static_cast<unsigned char>(*p) >= 0x80)
        ++p;
    return p + 1;
}

// Times of day in whole seconds take three bytes instead of five: the low bit tells which.
inline quint64 packTime(quint64 ticks) {
    return ticks % 10000 == 0 ? (ticks / 10000) << 1 : (ticks << 1) | 1;
}
inline quint64 unpackTime(quint64 v) {
    return v & 1 ? v >> 1 : (v >> 1) * 10000;
}
