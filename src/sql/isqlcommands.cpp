#include "sql/isqlcommands.h"
#include <QStringList>

namespace {
// The statement's words, upper case, comments and blanks between them dropped; a quoted text or
// any other character ends the list (isql's commands are words only, but for a path or a number).
QStringList leadingWords(const QString& s, int most) {
    QStringList words;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n && words.size() < most) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QChar('-') && i + 1 < n && s[i + 1] == QChar('-')) {
            const qsizetype e = s.indexOf(QChar('\n'), i);
            i = e < 0 ? n : e;
        } else if (c == QChar('/') && i + 1 < n && s[i + 1] == QChar('*')) {
            const qsizetype e = s.indexOf(QStringLiteral("*/"), i + 2);
            i = e < 0 ? n : e + 2;
        } else if (c.isLetterOrNumber() || c == QChar('_')) {
            const qsizetype start = i;
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QChar('_') || s[i] == QChar('$')))
                ++i;
            words.append(s.mid(start, i - start).toUpper());
        } else {
            words.append(QString(c));
            ++i;
        }
    }
    return words;
}

// isql's settings of its own output: they change nothing in the database.
bool isOutputSetting(const QStringList& w) {
    static const QStringList names{
        QStringLiteral("ECHO"),          QStringLiteral("LIST"),         QStringLiteral("COUNT"),
        QStringLiteral("STATS"),         QStringLiteral("PLAN"),         QStringLiteral("PLANONLY"),
        QStringLiteral("HEADING"),       QStringLiteral("WIDTH"),        QStringLiteral("BLOB"),
        QStringLiteral("BLOBDISPLAY"),   QStringLiteral("WARNINGS"),     QStringLiteral("WNG"),
        QStringLiteral("BAIL"),          QStringLiteral("SQLDA_DISPLAY"), QStringLiteral("ROWCOUNT"),
        QStringLiteral("MAXROWS"),       QStringLiteral("EXPLAIN"),      QStringLiteral("PER_TABLE_STATS"),
        QStringLiteral("EXEC_PATH_DISPLAY"), QStringLiteral("KEEP_TRAN_PARAMS"), QStringLiteral("TIME")};
    if (w.size() < 2 || !names.contains(w[1])) return false;
    // SET TIME ZONE is the server's (a session's time zone).
    return !(w[1] == QStringLiteral("TIME") && w.size() > 2 && w[2] == QStringLiteral("ZONE"));
}
} // namespace

IsqlCommand isqlCommand(const QString& statement, bool autoDdl) {
    const QStringList w = leadingWords(statement, 4);
    if (w.isEmpty()) return {};
    const QString& first = w[0];
    if (first == QStringLiteral("SET") && w.size() >= 2) {
        // isql takes "SET AUTO" for "SET AUTODDL", and the bare command turns the setting over.
        if (w[1] == QStringLiteral("AUTODDL") || w[1] == QStringLiteral("AUTO")) {
            if (w.size() == 2) return {autoDdl ? IsqlCommand::AutoDdlOff : IsqlCommand::AutoDdlOn, {}};
            if (w.size() == 3 && w[2] == QStringLiteral("ON")) return {IsqlCommand::AutoDdlOn, {}};
            if (w.size() == 3 && w[2] == QStringLiteral("OFF")) return {IsqlCommand::AutoDdlOff, {}};
            return {};
        }
        if (w[1] == QStringLiteral("NAMES")) return {IsqlCommand::Refused, QStringLiteral("SET NAMES")};
        if (w[1] == QStringLiteral("SQL") && w.size() >= 3 && w[2] == QStringLiteral("DIALECT"))
            return {IsqlCommand::Refused, QStringLiteral("SET SQL DIALECT")};
        if (isOutputSetting(w)) return {IsqlCommand::Ignored, {}};
        return {};
    }
    if (first == QStringLiteral("CREATE") && w.size() >= 2 &&
        (w[1] == QStringLiteral("DATABASE") || w[1] == QStringLiteral("SCHEMA")))
        return {IsqlCommand::Refused, QStringLiteral("CREATE ") + w[1]};
    if (first == QStringLiteral("CONNECT")) return {IsqlCommand::Refused, QStringLiteral("CONNECT")};
    return {};
}

QString refusedCommandMessage(const IsqlCommand& command, int line) {
    QString why;
    if (command.name == QStringLiteral("SET NAMES"))
        why = QStringLiteral("a janela trabalha no banco aberto, com o conjunto de caracteres da sua conexão");
    else if (command.name == QStringLiteral("SET SQL DIALECT"))
        why = QStringLiteral("a janela trabalha no banco aberto, no dialeto da sua conexão");
    else if (command.name == QStringLiteral("CONNECT"))
        why = QStringLiteral("a janela trabalha no banco aberto e não se conecta a outro");
    else
        why = QStringLiteral("a janela trabalha no banco aberto e não cria outro");
    return QStringLiteral("O script não foi executado: \"%1\" (linha %2) não é aceito aqui, pois %3.")
        .arg(command.name)
        .arg(line)
        .arg(why);
}
