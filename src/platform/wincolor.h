#pragma once
#include <QColor>

// A colour as the windows hold it: blue in the high byte, green in the middle, red in the low byte
// (13678476 is red 140, green 183, blue 208).
inline QColor winColor(quint32 value) {
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}
