#pragma once
#include <QString>
#include <QStringList>

class StringGrid;

// Conexoes.New, the earlier connections beside the executable: one fixed-width ConnectionRecord per
// line, Windows-1252 text, CR LF line ends when written.
//
//   columns   1-15   server      (the dialog's server box)
//   column     16    protocol    (one digit: 0 TCP/IP, 1 NetBui, 2 IPX, 3 Local)
//   columns  17-116  database    (the dialog's path box)
//   columns 117-216  connection  (the connection string)
//
// Each field is padded with blanks on the right. Readers cut at these columns, whatever the line
// holds: a shorter line gives shorter or empty fields.

namespace ConnectionRecord {
inline constexpr int ServerWidth = 15;
inline constexpr int ProtocolWidth = 1;
inline constexpr int DatabaseWidth = 100;
inline constexpr int ConnectionWidth = 100;
inline constexpr int Width = ServerWidth + ProtocolWidth + DatabaseWidth + ConnectionWidth; // 216

struct Fields {
    QString server;
    QString protocol;
    QString database;
    QString connection;
};

// "%-15s%-1s%-100s%-100s": every value padded to its width, none ever cut.
QString format(const QString& server, const QString& protocol, const QString& database,
               const QString& connection);
inline QString format(const Fields& f) {
    return format(f.server, f.protocol, f.database, f.connection);
}

// The four fields cut at their columns, blanks kept.
Fields read(const QString& line);
// Columns 117-216 with blanks removed: the caption of a "Conexões" menu entry.
QString connectionOf(const QString& line);

// Why these values cannot be remembered as they are (a value longer than its field would read back
// wrongly; a character outside Windows-1252 cannot be written), as a sentence for the user; empty
// when they can.
QString problem(const QString& server, const QString& protocol, const QString& database,
                const QString& connection);
// Only the characters outside Windows-1252: what no file of the program can hold (the settings
// file has no widths).
QString charsetProblem(const QString& server, const QString& protocol, const QString& database,
                       const QString& connection);
} // namespace ConnectionRecord

QString conexoesFileName(); // Conexoes.New in the directory of the executable

// Every line of the file. AppError ("Cannot open file ...") when it is missing or unreadable, and
// when it holds more lines than a menu or a grid can reasonably show.
inline constexpr int MaxConnections = 2000;
QStringList readConnections();
// Replaces the file with these lines (all or nothing). AppError when it cannot be written.
void writeConnections(const QStringList& lines);

// Adds the line unless an equal one exists (compared in upper case, blanks included), then rewrites
// the file whether or not it added anything. A missing file starts with no lines. True when added.
bool AppendConnection(const QString& record);

// The earlier-connections grid: a title row ("Servidor", "Tp", "Banco", "Conexão") and one row per
// line, each cell a field cut at its columns with its blanks kept.
QStringList connectionGridTitles();
// Titles into row 0, every other existing cell cleared, then rows rows (the title row included).
void ClearGrid(StringGrid& grid, int rows);
void fillConnectionGrid(StringGrid& grid, const QStringList& lines);
// Rows 1 onwards formatted back into lines, in grid order.
QStringList connectionGridLines(const StringGrid& grid);
