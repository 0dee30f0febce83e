#include "support/scriptedprompts.h"
#include "platform/errorreport.h"

ScriptedPrompts::ScriptedPrompts() : m_previous(&Prompts::instance()) {
    Prompts::setInstance(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    Prompts::setInstance(m_previous);
}

MsgButton ScriptedPrompts::message(const MessageRequest& request) {
    messages.append(request);
    if (onMessage) onMessage(request);
    if (!messageAnswers.isEmpty()) return messageAnswers.takeFirst();
    if (request.defaultButton != MbNone) return request.defaultButton;
    return MbOk;
}

bool ScriptedPrompts::input(const InputRequest& request, QString* value) {
    inputs.append(request);
    if (inputAnswers.isEmpty()) return false;
    const std::optional<QString> a = inputAnswers.takeFirst();
    if (!a) return false;
    *value = *a;
    return true;
}

QString ScriptedPrompts::openFile(const FileDialogRequest& request) {
    fileDialogs.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedPrompts::saveFile(const FileDialogRequest& request) {
    fileDialogs.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

bool ScriptedPrompts::login(const LoginRequest& request, QString* userName, QString* password) {
    logins.append(request);
    Login l;
    if (!loginAnswers.isEmpty())
        l = loginAnswers.takeFirst();
    else if (defaultLogin)
        l = *defaultLogin;
    else
        return false;
    if (!l.accept) return false;
    *userName = l.user;
    *password = l.password;
    return true;
}

void ScriptedPrompts::clear() {
    messages.clear();
    inputs.clear();
    fileDialogs.clear();
    logins.clear();
    beeps = 0;
}

QStringList ScriptedPrompts::errorReports() const {
    QStringList out;
    for (const MessageRequest& m : messages)
        if (m.caption == applicationTitle() && m.icon == MsgIcon::Error) out << m.text;
    return out;
}
