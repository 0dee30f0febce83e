#include "platform/errorreport.h"
#include "platform/prompts.h"
#include <QCoreApplication>
#include <QFileInfo>

QString errorMessage(const std::exception& e) {
    if (auto a = dynamic_cast<const AppError*>(&e)) return a->message();
    return QString::fromLocal8Bit(e.what());
}

QString errorMessage(std::exception_ptr error) {
    if (!error) return {};
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return errorMessage(e);
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

QString applicationTitle() {
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const int dot = name.indexOf('.');
    if (dot >= 0) name.truncate(dot);
    return name;
}

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
    return message;
}

void reportError(const QString& message) {
    showMessage(errorBoxText(message), applicationTitle(), MsgIcon::Error, MbOk);
}

void reportError(const std::exception& e) { reportError(errorMessage(e)); }
