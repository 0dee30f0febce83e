#pragma once
#include "platform/prompts.h"
#include <functional>

class QWidget;

// The program's prompts: modal Qt boxes and dialogs, parented to the active window.
// Standard buttons read in Portuguese once main() has loaded Qt's translations.
class QtPrompts : public Prompts {
public:
    // The login dialog belongs to the connection's windows, which this layer does not know: the
    // program hands it over at start-up. Without one, every login is refused.
    using LoginDialog =
        std::function<bool(QWidget* parent, const LoginRequest& request, QString* userName, QString* password)>;
    explicit QtPrompts(LoginDialog loginDialog = {});

    MsgButton message(const MessageRequest& request) override;
    bool input(const InputRequest& request, QString* value) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    bool login(const LoginRequest& request, QString* userName, QString* password) override;
    void beep() override;

private:
    LoginDialog m_loginDialog;
};
