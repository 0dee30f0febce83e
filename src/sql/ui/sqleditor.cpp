#include "sql/ui/sqleditor.h"
#include "sql/sqlkeywords.h"
#include "sql/sqlnames.h"
#include <QKeyEvent>
#include <Qsci/qsciabstractapis.h>
#include <Qsci/qscilexersql.h>

namespace {
constexpr int kErrorMarker = 1;     // an arrow in the margin
constexpr int kErrorLineMarker = 2; // the line's background
constexpr int kNumberMargin = 0;
constexpr int kMarkerMargin = 1;

bool isScriptKey(const QKeyEvent* e) {
    return (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
           (e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) ==
               (Qt::ControlModifier | Qt::ShiftModifier);
}

bool isCompletionKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Space && (e->modifiers() & Qt::ControlModifier);
}
} // namespace

// SQL with Firebird's words, "$" inside names and "." between a table (or alias) and its column.
class SqlLexer : public QsciLexerSQL {
public:
    using QsciLexerSQL::QsciLexerSQL;
    const char* keywords(int set) const override {
        return set == 1 ? firebirdKeywordText().constData() : QsciLexerSQL::keywords(set);
    }
    const char* wordCharacters() const override {
        return "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$";
    }
    QStringList autoCompletionWordSeparators() const override { return {QStringLiteral(".")}; }
};

namespace {
// Words for completion: after "name." the columns of the table it stands for, otherwise keywords,
// table names and the columns of the tables that the text names.
class SqlCompletion : public QsciAbstractAPIs {
public:
    SqlCompletion(QsciLexer* lexer, SqlEditor* editor, SchemaNames* names)
        : QsciAbstractAPIs(lexer), m_editor(editor), m_names(names) {}

    void updateAutoCompletionList(const QStringList& context, QStringList& list) override {
        const QString prefix = context.isEmpty() ? QString() : context.last();
        const QStringList tables = m_names ? m_names->tables() : QStringList();
        if (context.size() >= 2) {
            const QString table =
                tableForQualifier(context[context.size() - 2], m_editor->textNearCaret(), tables);
            list = table.isEmpty() || !m_names ? QStringList()
                                               : completionWords(prefix, {m_names->columns(table)});
            return;
        }
        QList<QStringList> lists{firebirdKeywords(), tables};
        const QString text = m_editor->textNearCaret();
        for (const QString& t : tables)
            if (text.contains(t, Qt::CaseInsensitive)) lists.append(m_names->columns(t));
        list = completionWords(prefix, lists);
    }
    QStringList callTips(const QStringList&, int, QsciScintilla::CallTipsStyle, QList<int>&) override {
        return {};
    }

private:
    SqlEditor* m_editor;
    SchemaNames* m_names;
};
} // namespace

SqlEditor::SqlEditor(QWidget* parent) : QsciScintilla(parent), m_lexer(new SqlLexer(this)) {
    setUtf8(true);
    setEolMode(EolUnix);
    setLexer(m_lexer);
    // What the lexer leaves unstyled (the "$" of RDB$FIELDS) looks like the name around it.
    m_lexer->setColor(m_lexer->color(QsciLexerSQL::Identifier), QsciLexerSQL::Default);
    setBraceMatching(SloppyBraceMatch);
    setMatchedBraceBackgroundColor(QColor(255, 230, 140));
    setUnmatchedBraceForegroundColor(Qt::red);

    setMarginType(kNumberMargin, NumberMargin);
    setMarginLineNumbers(kNumberMargin, true);
    setMarginWidth(kNumberMargin, QStringLiteral("00000"));
    setMarginWidth(kMarkerMargin, 12);
    setMarginMarkerMask(kMarkerMargin, 1 << kErrorMarker);
    setMarginSensitivity(kMarkerMargin, false);
    markerDefine(RightArrow, kErrorMarker);
    setMarkerBackgroundColor(QColor(200, 0, 0), kErrorMarker);
    setMarkerForegroundColor(QColor(120, 0, 0), kErrorMarker);
    markerDefine(Background, kErrorLineMarker);
    setMarkerBackgroundColor(QColor(255, 190, 190), kErrorLineMarker);

    setAutoCompletionCaseSensitivity(false);
    setAutoCompletionReplaceWord(false);
    setAutoCompletionUseSingle(AcusNever);
    setAutoCompletionThreshold(3);
    setAutoCompletionSource(AcsAPIs);
    setSchemaNames(nullptr);

    setWrapMode(WrapWord);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

SqlEditor::~SqlEditor() = default;

void SqlEditor::setSchemaNames(SchemaNames* names) {
    if (m_names) m_names->disconnect(this);
    m_names = names;
    // The lexer owns its completion source; a new one replaces the old.
    delete m_lexer->apis();
    new SqlCompletion(m_lexer, this, names);
    if (names)
        connect(names, &SchemaNames::namesArrived, this, [this] {
            // The list asked for (or shown) grows with the names just read.
            if (m_completionAsked || isListActive()) completeNow();
        });
}

void SqlEditor::completeNow() {
    autoCompleteFromAPIs();
    if (isListActive()) m_completionAsked = false;
}

bool SqlEditor::chosenWordIsTyped() const {
    const long length = SendScintilla(SCI_AUTOCGETCURRENTTEXT, 0UL, static_cast<void*>(nullptr));
    if (length <= 0) return false;
    QByteArray chosen(length + 1, '\0');
    SendScintilla(SCI_AUTOCGETCURRENTTEXT, 0UL, static_cast<void*>(chosen.data()));
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    const QString before = text(line).left(index);
    qsizetype start = before.size();
    while (start > 0 && (before[start - 1].isLetterOrNumber() || before[start - 1] == QChar('_') ||
                         before[start - 1] == QChar('$')))
        --start;
    return QString::fromUtf8(chosen.constData()).compare(before.mid(start), Qt::CaseInsensitive) == 0;
}

// Through lengths, not C strings, so that a script's NUL characters stay in the text.
QByteArray SqlEditor::documentBytes() const {
    const long length = SendScintilla(SCI_GETLENGTH);
    QByteArray bytes(length + 1, '\0');
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), static_cast<void*>(bytes.data()));
    bytes.truncate(length);
    return bytes;
}

void SqlEditor::setPlainText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    clearErrorMark();
    const bool readOnly = isReadOnly();
    setReadOnly(false);
    const QByteArray bytes = t.toUtf8();
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setReadOnly(readOnly);
    setCaretPosition(0);
}

QString SqlEditor::toPlainText() const {
    QString t = QString::fromUtf8(documentBytes());
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    return t;
}

QString SqlEditor::textNearCaret() const {
    constexpr long kBefore = 16 * 1024;
    constexpr long kAfter = 4 * 1024;
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long length = SendScintilla(SCI_GETLENGTH);
    return text(static_cast<int>(std::max(0L, caret - kBefore)),
                static_cast<int>(std::min(length, caret + kAfter)));
}

int SqlEditor::caretPosition() const {
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    return static_cast<int>(QString::fromUtf8(documentBytes().left(caret)).size());
}

void SqlEditor::setCaretPosition(int index) {
    const QString t = QString::fromUtf8(documentBytes());
    const long bytes = t.left(qBound(0, index, static_cast<int>(t.size()))).toUtf8().size();
    SendScintilla(SCI_GOTOPOS, bytes);
}

void SqlEditor::setBackground(const QColor& colour) {
    m_lexer->setDefaultPaper(colour);
    m_lexer->setPaper(colour, -1);
    setPaper(colour);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, colour);
    setPalette(pal);
}

void SqlEditor::setFont(const QFont& given) {
    QWidget::setFont(given);
    // The editor sizes its faces in points: a height given in pixels becomes its points here.
    QFont font = given;
    if (font.pointSizeF() <= 0 && font.pixelSize() > 0)
        font.setPointSizeF(font.pixelSize() * 72.0 / logicalDpiY());
    // The lexer's own faces (a serif one for comments) would override the window's.
    m_lexer->setFont(font);
    QFont bold = font;
    bold.setBold(true);
    m_lexer->setFont(bold, QsciLexerSQL::Keyword);
    setMarginsFont(font);
    setMarginWidth(kNumberMargin, QStringLiteral("00000"));
}

void SqlEditor::markError(int index) {
    clearErrorMark();
    setCaretPosition(index);
    int line = 0, column = 0;
    getCursorPosition(&line, &column);
    markerAdd(line, kErrorMarker);
    markerAdd(line, kErrorLineMarker);
    ensureCursorVisible();
}

void SqlEditor::clearErrorMark() {
    markerDeleteAll(kErrorMarker);
    markerDeleteAll(kErrorLineMarker);
}

int SqlEditor::markedErrorLine() const {
    return markerFindNext(0, 1 << kErrorMarker);
}

bool SqlEditor::event(QEvent* e) {
    // Keys of our own come before the editor's key bindings.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (isScriptKey(k) || isCompletionKey(k)) {
            e->accept();
            return true;
        }
    }
    return QsciScintilla::event(e);
}

void SqlEditor::keyPressEvent(QKeyEvent* e) {
    if (isScriptKey(e)) {
        emit scriptRequested();
        return;
    }
    if (isCompletionKey(e)) {
        m_completionAsked = true; // names still being read complete the list when they come
        completeNow();
        return;
    }
    m_completionAsked = false;
    // Enter after a word typed whole is a new line, not the choice of that same word.
    if (isListActive() && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        e->modifiers() == Qt::NoModifier && chosenWordIsTyped())
        cancelList();
    QsciScintilla::keyPressEvent(e);
}
