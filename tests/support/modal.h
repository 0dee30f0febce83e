#pragma once
#include <QWidget>
#include <functional>

// Drives one of our own modal windows: queues `act`, which runs on the modal window that the next
// exec() opens (nullptr when none opened) while it is open; the window is closed afterwards if
// `act` left it open. Queue it, then trigger the action that shows the window.
void onNextModal(QObject* context, std::function<void(QWidget*)> act);
