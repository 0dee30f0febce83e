#include "sql/scriptfile.h"
#include "platform/appdir.h"
#include "platform/textfile.h"
#include <QDir>

QString ScriptDirectory() {
    return applicationFile(QStringLiteral("Script"));
}

void makeScriptDirectory() {
    QDir().mkpath(ScriptDirectory());
}

namespace {
FileDialogRequest scriptRequest(const QString& title) {
    FileDialogRequest r;
    r.title = title;
    r.directory = ScriptDirectory();
    r.filters = QStringList{QStringLiteral("New (*.New)")};
    r.defaultSuffix = QStringLiteral("New");
    return r;
}
} // namespace

FileDialogRequest saveScriptRequest() {
    FileDialogRequest r = scriptRequest(QStringLiteral("Salva Script"));
    r.confirmOverwrite = true;
    return r;
}

FileDialogRequest openScriptRequest() {
    FileDialogRequest r = scriptRequest(QStringLiteral("Abre Script"));
    r.confirmOverwrite = false;
    // A typed name of a missing file is accepted here and reported when it cannot be read.
    r.mustExist = false;
    return r;
}

bool saveScriptAs(const QString& text) {
    makeScriptDirectory();
    const QString path = Prompts::instance().saveFile(saveScriptRequest());
    if (path.isEmpty()) return false;
    writeText(path, text);
    return true;
}

std::optional<QString> loadScript() {
    makeScriptDirectory();
    const QString path = Prompts::instance().openFile(openScriptRequest());
    if (path.isEmpty()) return std::nullopt;
    return readText(path, ScriptFileLimit);
}
