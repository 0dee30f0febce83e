#pragma once
#include <QString>
#include <QStringList>

// Every message box, question, input box, file dialog and login prompt of the program goes
// through this interface. The program installs the Qt implementation (platform/ui/qtprompts.h);
// tests install a scripted one that answers and records what was asked.

enum class MsgIcon { None, Information, Warning /* exclamation */, Error, Question };

enum MsgButton : int { MbNone = 0, MbOk = 1, MbCancel = 2, MbYes = 4, MbNo = 8 };

struct MessageRequest {
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::None;
    int buttons = MbOk;              // or-ed MsgButton values
    MsgButton defaultButton = MbNone; // MbNone: the toolkit's choice (the first button)
};

struct InputRequest {
    QString caption;
    QString prompt;
    QString value; // initial text
};

struct FileDialogRequest {
    QString title;
    QString directory;        // initial folder
    QStringList filters;      // Qt filter entries, e.g. "New (*.New)"
    QString defaultSuffix;    // added when the typed name has none
    bool confirmOverwrite = true;
    bool mustExist = true;    // open dialogs only
    bool picturePreview = false; // shows the selected picture beside the file list
};

struct LoginRequest {
    QString databaseName;
    QString userName; // proposed
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // The button that closed the box.
    virtual MsgButton message(const MessageRequest& request) = 0;
    // False when cancelled; on OK *value holds the typed text.
    virtual bool input(const InputRequest& request, QString* value) = 0;
    // The chosen file, or an empty text when cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    // False when cancelled; on OK the typed user name and password.
    virtual bool login(const LoginRequest& request, QString* userName, QString* password) = 0;
    virtual void beep() = 0;

    static Prompts& instance();
    // Installs p (not owned); nullptr restores the fallback, which refuses every question.
    static void setInstance(Prompts* p);
};

// Short forms used by the windows.
MsgButton showMessage(const QString& text, const QString& caption, MsgIcon icon, int buttons = MbOk,
                      MsgButton defaultButton = MbNone);
