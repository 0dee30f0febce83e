#pragma once
#include "platform/apperror.h"
#include <QString>
#include <exception>
#include <utility>

// The general error report: the application's default error box. Caption: the executable's file
// name without folder, cut before its first dot; text: the message with "." appended when its last
// character sorts after "."; error icon; OK.
QString applicationTitle();
QString errorBoxText(const QString& message);
void reportError(const std::exception& e);
void reportError(const QString& message);

// Runs f and reports any exception it raises; returns false when one was raised.
// Every handler that the toolkit calls goes through this, so an error ends the user's action at
// the failing step and the program goes on.
template <class F> bool runGuarded(F&& f) {
    try {
        std::forward<F>(f)();
        return true;
    } catch (const std::exception& e) {
        reportError(e);
    } catch (...) {
        reportError(QStringLiteral("Unknown error"));
    }
    return false;
}

// Wraps a handler for connect(): connect(button, &QPushButton::clicked, this, guarded([this]{ ... }));
template <class F> auto guarded(F f) {
    return [f = std::move(f)](auto&&...) { runGuarded(f); };
}
