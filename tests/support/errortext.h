#pragma once
#include "platform/apperror.h"
#include <QString>
#include <functional>

// The message of the AppError that f raises, or "<no error>", so that a test compares messages
// in one line.
inline QString errorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}
