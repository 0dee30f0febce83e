#pragma once
#include <Qsci/qsciscintilla.h>

class SchemaNames;
class SqlLexer;

// The SQL command window's statement editor: Firebird SQL highlighted on the window's background
// colour, line numbers, matching brackets, completion of keywords and of the open database's
// table and column names (Ctrl+Space, or by itself after a few letters), and a marked line where
// the server placed an error. Text goes in and out with '\n' line breaks, as in a plain editor.
class SqlEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit SqlEditor(QWidget* parent = nullptr);
    ~SqlEditor() override;

    // The text; CR LF and lone CR become '\n'. The caret goes to the start.
    void setPlainText(const QString& text);
    QString toPlainText() const;

    // The text around the caret (some thousands of characters), where the statement being typed
    // names its tables: completion does not read a long script whole for every list.
    QString textNearCaret() const;

    // The caret as an index of toPlainText().
    int caretPosition() const;
    void setCaretPosition(int index);

    // Background of the text and of the margins' neighbour.
    void setBackground(const QColor& colour);
    // The face and size of the text, the line numbers and the completion list (keywords in bold).
    void setFont(const QFont& font);

    // Where completion finds table and column names (none: keywords only).
    void setSchemaNames(SchemaNames* names);

    // Caret to an index of toPlainText() and its line marked; the mark goes with the next call
    // of clearErrorMark() (or when the text is replaced).
    void markError(int index);
    void clearErrorMark();
    // The line marked as holding an error (0-based), or -1.
    int markedErrorLine() const;

signals:
    // Ctrl+Shift+Enter.
    void scriptRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void completeNow();
    bool chosenWordIsTyped() const;
    QByteArray documentBytes() const;

    SqlLexer* m_lexer;
    SchemaNames* m_names = nullptr;
    bool m_completionAsked = false;
};
