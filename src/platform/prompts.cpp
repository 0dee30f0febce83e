#include "platform/prompts.h"

namespace {
// Used until the program installs its own: answers Cancel/No to everything, never blocks.
class NullPrompts : public Prompts {
public:
    MsgButton message(const MessageRequest& r) override {
        if (r.buttons & MbCancel) return MbCancel;
        if (r.buttons & MbNo) return MbNo;
        return MbOk;
    }
    bool input(const InputRequest&, QString*) override { return false; }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    bool login(const LoginRequest&, QString*, QString*) override { return false; }
    void beep() override {}
};

NullPrompts g_null;
Prompts* g_current = &g_null;
} // namespace

Prompts& Prompts::instance() { return *g_current; }

void Prompts::setInstance(Prompts* p) { g_current = p ? p : &g_null; }

MsgButton showMessage(const QString& text, const QString& caption, MsgIcon icon, int buttons,
                      MsgButton defaultButton) {
    MessageRequest r;
    r.text = text;
    r.caption = caption;
    r.icon = icon;
    r.buttons = buttons;
    r.defaultButton = defaultButton;
    return Prompts::instance().message(r);
}
