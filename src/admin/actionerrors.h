#pragma once
#include "platform/apperror.h"
#include <exception>

// An action that the user cancelled and the server stopped: the window says so, it is no error.
class ActionCancelled : public AppError {
public:
    using AppError::AppError;
};

struct ServiceLogin;

// Raises the current exception again with `lead` before its message, so that the user reads what
// did not happen before the server's words ("O backup não foi concluído." then the reason). A server
// that was lost gets `lostLead` instead. The error keeps its kind (DbError codes, cancellation).
// With `recheck`, a network error counts as a lost server only when the service manager cannot
// be reached again: a utility reports its own read errors with the same codes.
[[noreturn]] void raiseWithLead(std::exception_ptr error, const QString& lead, const QString& lostLead,
                                const ServiceLogin* recheck = nullptr);

// Whether an error is a cancellation (ActionCancelled).
bool isCancellation(std::exception_ptr error);
