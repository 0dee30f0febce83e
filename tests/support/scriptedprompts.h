#pragma once
#include "platform/prompts.h"
#include <QList>
#include <functional>
#include <optional>

// Answers every prompt from queues and records what was asked, so a test asserts the exact
// message, caption, icon, buttons and default button. An unanswered message box gets OK (or the
// default button), an unanswered input/file dialog is cancelled, an unanswered login uses
// `defaultLogin` when set.
class ScriptedPrompts : public Prompts {
public:
    ScriptedPrompts();           // installs itself
    ~ScriptedPrompts() override; // restores the previous instance

    struct Login {
        bool accept = true;
        QString user = QStringLiteral("SYSDBA");
        QString password;
    };

    QList<MsgButton> messageAnswers;
    QList<std::optional<QString>> inputAnswers; // nullopt: Cancel
    QList<QString> fileAnswers;                 // empty: Cancel
    QList<Login> loginAnswers;
    std::optional<Login> defaultLogin;
    // Called when a message box is shown, before it is answered (may act on the program).
    std::function<void(const MessageRequest&)> onMessage;

    QList<MessageRequest> messages;
    QList<InputRequest> inputs;
    QList<FileDialogRequest> fileDialogs;
    QList<LoginRequest> logins;
    int beeps = 0;

    MsgButton message(const MessageRequest& request) override;
    bool input(const InputRequest& request, QString* value) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    bool login(const LoginRequest& request, QString* userName, QString* password) override;
    void beep() override { ++beeps; }

    void clear();
    // The texts of the general error report's boxes (caption the application's title, error icon).
    QStringList errorReports() const;

private:
    Prompts* m_previous;
};
