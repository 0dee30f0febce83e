// A script split into statements as "Executar script" splits it, isql's commands among them, and
// the places that the window works out from the server's error messages. The first part of the
// input is the script, the second a message that may name a "line N, column M".
#include "fuzzinput.h"
#include "platform/textfile.h"
#include "sql/isqlcommands.h"
#include "sql/sqlscript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = fuzzParts(fuzzBytes(data, size), 2);
    const QString script = decodeText(parts[0]);
    const QString message = decodeText(parts[1]);

    // Statements come in the order of the script, each a piece of it that begins with a token
    // (no blank, no comment) and ends before trailing blanks; none overlaps the next; the line and
    // column given are those of its first character.
    qsizetype end = 0;
    for (const ScriptStatement& s : splitScript(script)) {
        FUZZ_CHECK(!s.text.isEmpty());
        FUZZ_CHECK(s.offset >= end);
        FUZZ_CHECK(QStringView(script).mid(s.offset, s.text.size()) == s.text);
        FUZZ_CHECK(!s.text.front().isSpace() && !s.text.back().isSpace());
        FUZZ_CHECK(!s.text.startsWith(QStringLiteral("--")) && !s.text.startsWith(QStringLiteral("/*")));
        FUZZ_CHECK(textPosition(script, s.offset) == (TextPosition{s.line, s.column}));
        end = s.offset + s.text.size();

        // A server's position always lands inside the statement that was sent.
        const qsizetype at = serverErrorIndex(message, s.text);
        FUZZ_CHECK(at >= -1 && at <= s.text.size());
        leadingKeyword(s.text);
        // isql's own commands: a refusal always names the command it refuses.
        const IsqlCommand command = isqlCommand(s.text);
        FUZZ_CHECK((command.kind == IsqlCommand::Refused) == !command.name.isEmpty());
        if (command.kind == IsqlCommand::Refused)
            FUZZ_CHECK(refusedCommandMessage(command, s.line).contains(command.name));
    }

    // Index -> line and column -> index comes back to the same index.
    for (qsizetype i : {qsizetype(0), script.size() / 3, script.size() / 2, script.size()}) {
        const TextPosition p = textPosition(script, i);
        FUZZ_CHECK(p.line >= 1 && p.column >= 1);
        FUZZ_CHECK(indexOfPosition(script, p) == i);
    }
    return 0;
}
