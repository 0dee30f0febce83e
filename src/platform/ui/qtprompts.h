#pragma once
#include "platform/prompts.h"

// The program's prompts: modal Qt boxes and dialogs, parented to the active window.
// Standard buttons read in Portuguese once main() has loaded Qt's translations.
class QtPrompts : public Prompts {
public:
    MsgButton message(const MessageRequest& request) override;
    bool input(const InputRequest& request, QString* value) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    bool login(const LoginRequest& request, QString* userName, QString* password) override;
    void beep() override;
};
