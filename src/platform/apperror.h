#pragma once
#include <QString>
#include <exception>

// An error whose message is the text the user sees. Every layer raises these (or subclasses);
// the windows let them travel to the general error report.
class AppError : public std::exception {
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The message of any exception, as the error box shows it.
QString errorMessage(const std::exception& e);
// The same for an exception handed on from another thread (empty for none).
QString errorMessage(std::exception_ptr error);
