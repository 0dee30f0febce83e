#include "connection/conexoes.h"
#include "connection/grid.h"
#include "platform/appdir.h"
#include "platform/apperror.h"
#include "platform/cp1252.h"
#include "platform/textfile.h"
#include <QFileInfo>
#include <array>

namespace ConnectionRecord {

QString format(const QString& server, const QString& protocol, const QString& database,
               const QString& connection) {
    // leftJustified() pads and, without its truncate flag, never cuts.
    return server.leftJustified(ServerWidth) + protocol.leftJustified(ProtocolWidth) +
           database.leftJustified(DatabaseWidth) + connection.leftJustified(ConnectionWidth);
}

Fields read(const QString& line) {
    Fields f;
    f.server = line.mid(0, ServerWidth);
    f.protocol = line.mid(ServerWidth, ProtocolWidth);
    f.database = line.mid(ServerWidth + ProtocolWidth, DatabaseWidth);
    f.connection = line.mid(ServerWidth + ProtocolWidth + DatabaseWidth, ConnectionWidth);
    return f;
}

QString connectionOf(const QString& line) {
    return read(line).connection.trimmed();
}

namespace {
struct Check {
    const QString& value;
    int width;
    const char* what;
};

std::array<Check, 4> checksOf(const QString& server, const QString& protocol, const QString& database,
                              const QString& connection) {
    return {{{server, ServerWidth, "o servidor"},
             {protocol, ProtocolWidth, "o tipo"},
             {database, DatabaseWidth, "o banco"},
             {connection, ConnectionWidth, "a conexão"}}};
}
} // namespace

QString problem(const QString& server, const QString& protocol, const QString& database,
                const QString& connection) {
    for (const Check& c : checksOf(server, protocol, database, connection))
        if (c.value.size() > c.width)
            return QStringLiteral("%1 tem mais de %2 caracteres").arg(QString::fromUtf8(c.what)).arg(c.width);
    return charsetProblem(server, protocol, database, connection);
}

QString charsetProblem(const QString& server, const QString& protocol, const QString& database,
                       const QString& connection) {
    for (const Check& c : checksOf(server, protocol, database, connection))
        if (!fitsCp1252(c.value))
            return QStringLiteral("%1 tem caracteres que o arquivo não comporta")
                .arg(QString::fromUtf8(c.what));
    return {};
}

} // namespace ConnectionRecord

QString conexoesFileName() {
    return applicationFile(QStringLiteral("Conexoes.New"));
}

QStringList readConnections() {
    QStringList lines = readTextLines(conexoesFileName());
    if (lines.size() > MaxConnections)
        throw AppError(QStringLiteral("O arquivo \"%1\" tem mais de %2 linhas e não pode ser lido")
                           .arg(conexoesFileName())
                           .arg(MaxConnections));
    return lines;
}

void writeConnections(const QStringList& lines) {
    // writeText refuses characters that the code page cannot hold instead of writing '?'.
    writeText(conexoesFileName(), lines.isEmpty() ? QString() : lines.join('\n') + '\n');
}

bool AppendConnection(const QString& record) {
    QStringList lines;
    if (QFileInfo::exists(conexoesFileName())) lines = readConnections();
    const QString wanted = record.toUpper();
    bool found = false;
    for (const QString& line : lines)
        if (line.toUpper() == wanted) {
            found = true;
            break;
        }
    if (!found) lines.append(record);
    writeConnections(lines);
    return !found;
}

QStringList connectionGridTitles() {
    return {QStringLiteral("Servidor"), QStringLiteral("Tp"), QStringLiteral("Banco"),
            QStringLiteral("Conexão")};
}

void ClearGrid(StringGrid& grid, int rows) {
    const QStringList titles = connectionGridTitles();
    if (grid.rowCount() < 1) grid.setRowCount(1);
    for (int c = 0; c < grid.columnCount(); ++c)
        grid.setCell(c, 0, c < titles.size() ? titles.at(c) : QString());
    for (int r = 1; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c)
            grid.setCell(c, r, QString());
    grid.setRowCount(rows);
}

void fillConnectionGrid(StringGrid& grid, const QStringList& lines) {
    ClearGrid(grid, int(lines.size()) + 1);
    for (int i = 0; i < lines.size(); ++i) {
        const ConnectionRecord::Fields f = ConnectionRecord::read(lines.at(i));
        grid.setCell(0, i + 1, f.server);
        grid.setCell(1, i + 1, f.protocol);
        grid.setCell(2, i + 1, f.database);
        grid.setCell(3, i + 1, f.connection);
    }
}

QStringList connectionGridLines(const StringGrid& grid) {
    QStringList lines;
    for (int r = 1; r < grid.rowCount(); ++r)
        lines.append(
            ConnectionRecord::format(grid.cell(0, r), grid.cell(1, r), grid.cell(2, r), grid.cell(3, r)));
    return lines;
}
