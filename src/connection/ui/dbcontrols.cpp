#include "connection/ui/dbcontrols.h"
#include "connection/fieldkind.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include <QKeyEvent>
#include <QLocale>
#include <QTimer>
#include <algorithm>

// ---------------------------------------------------------------------------------------------
// FieldBinding

FieldBinding::FieldBinding(QWidget* control, DataSource* source, const QString& fieldName)
    : m_control(control), m_source(source), m_fieldName(fieldName) {
    if (!source) return;
    source->attach(this);
    QObject::connect(source, &DataSource::recordChanged, control, [this] { refresh(false); });
    QObject::connect(source, &DataSource::fieldsChanged, control, [this] { refresh(true); });
    QObject::connect(source, &DataSource::stateChanged, control, [this] { stateChanged(); });
}

FieldBinding::~FieldBinding() {
    if (m_source) m_source->detach(this);
}

Field* FieldBinding::field() const {
    if (!m_source) return nullptr;
    // By the index found before while it names the same field: a search by name walks through
    // every field, at every control of a wide row.
    Field* f = m_source->field(m_fieldIndex);
    if (f && f->fieldName() == m_fieldName) return f;
    f = m_source->field(m_fieldName);
    m_fieldIndex = f ? f->index() : -1;
    return f;
}

void FieldBinding::refresh(bool keepTyped) {
    if (keepTyped && m_modified) return;
    reset();
}

void FieldBinding::reset() {
    m_modified = false;
    m_loading = true;
    showValue(field());
    m_loading = false;
    stateChanged();
}

void FieldBinding::stateChanged() {
    setEditable(m_source && m_source->canModify(field()));
}

void FieldBinding::typed() {
    if (!m_loading) m_modified = true;
}

void FieldBinding::updateData() {
    if (!m_modified) return;
    Field* f = field();
    if (!f || !m_source->canModify(f)) return;
    const QString text = typedText();
    if (unchanged(text)) {
        // The value stays exactly as read (a time keeps digits that its text may not show).
        reset();
        return;
    }
    m_modified = false;
    writing(text);
    try {
        // The row announces the change, and the control then shows the value as the field reads it.
        f->setAsString(text);
    } catch (...) {
        m_modified = true;
        m_control->setFocus();
        selectText();
        throw;
    }
}

bool FieldBinding::escaped(QKeyEvent* e) {
    if (e->key() != Qt::Key_Escape) return false;
    reset();
    selectText();
    e->accept();
    return true;
}

void FieldBinding::left(Qt::FocusReason reason) {
    // Another window or a menu taking the focus does not end the typing.
    if (!m_modified || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    // After the focus change has settled: the error box and the focus going back must not run
    // inside it.
    QTimer::singleShot(0, m_control, [this] { runGuarded([this] { updateData(); }); });
}

// ---------------------------------------------------------------------------------------------
// DBEdit

DBEdit::DBEdit(DataSource* source, const QString& fieldName, QWidget* parent)
    : QLineEdit(parent), FieldBinding(this, source, fieldName) {
    if (Field* f = field()) {
        if (f->kind() == FieldKind::String && f->size() > 0) setMaxLength(f->size());
        if (isNumberKind(f->kind())) setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    connect(this, &QLineEdit::textEdited, this, [this] { typed(); });
    reset();
}

void DBEdit::showValue(Field* field) {
    const DataSet* ds = field ? field->dataSet() : nullptr;
    const bool editText = ds && hasFocus() && ds->canModify() && !field->readOnly();
    setText(!field ? QString() : editText ? field->editText() : field->asString());
    m_shownText = text();
}

void DBEdit::keyPressEvent(QKeyEvent* e) {
    if (escaped(e)) return;
    const QString typedChars = e->text();
    const bool command = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!isReadOnly() && !command && typedChars.size() == 1 && typedChars[0] >= QLatin1Char(' ') &&
        typedChars[0] != QChar(0x7f)) {
        const Field* f = field();
        if (f && !fieldAcceptsChar(f->kind(), typedChars[0], QLocale().decimalPoint().at(0))) {
            Prompts::instance().beep();
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void DBEdit::focusInEvent(QFocusEvent* e) {
    if (!modified()) reset(); // the edit text now (selected below when tabbed into)
    QLineEdit::focusInEvent(e);
}

void DBEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (!modified())
        reset(); // the display text again
    else
        left(e->reason());
}

// ---------------------------------------------------------------------------------------------
// DBMemo

DBMemo::DBMemo(DataSource* source, const QString& fieldName, QWidget* parent)
    : QPlainTextEdit(parent), FieldBinding(this, source, fieldName) {
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (loading() || m_appending) return;
        m_changed = true;
        typed();
    });
    reset();
}

void DBMemo::showValue(Field* field) {
    QString text = field ? field->asString() : QString();
    m_crlf = text.contains(QStringLiteral("\r\n"));
    if (m_crlf) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // A long text is laid out again only when it is another text.
    if (!m_changed && text == m_shown) return;
    m_shown = text;
    m_changed = false;
    qsizetype first = std::min(text.size(), LoadingPart);
    if (first < text.size() && text.at(first - 1).isHighSurrogate()) --first;
    m_pendingAt = first;
    setPlainText(first < text.size() ? text.left(first) : text);
    if (!fullyLoaded()) {
        document()->setUndoRedoEnabled(false);
        setReadOnly(true);
        scheduleNextPart();
    }
}

void DBMemo::scheduleNextPart() {
    if (m_partScheduled) return;
    m_partScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_partScheduled = false;
        loadNextPart();
    });
}

void DBMemo::loadNextPart() {
    if (fullyLoaded()) return;
    qsizetype n = std::min(m_shown.size() - m_pendingAt, LoadingPart);
    if (m_pendingAt + n < m_shown.size() && m_shown.at(m_pendingAt + n - 1).isHighSurrogate()) --n;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    m_appending = true; // not typed by the user
    end.insertText(m_shown.mid(m_pendingAt, n));
    m_appending = false;
    m_pendingAt += n;
    if (!fullyLoaded()) {
        scheduleNextPart();
        return;
    }
    document()->setUndoRedoEnabled(true);
    setReadOnly(!m_editable);
    viewport()->update();
}

void DBMemo::setEditable(bool on) {
    m_editable = on;
    setReadOnly(!on || !fullyLoaded());
}

QString DBMemo::plainText() const {
    // The raw text: non-breaking blanks stay as typed.
    QString text = document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
    return text;
}

QString DBMemo::typedText() const {
    QString text = plainText();
    if (m_crlf) text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void DBMemo::writing(const QString& text) {
    // The field is about to hold what the editor shows: it need not be set again afterwards.
    m_shown = text;
    if (m_crlf) m_shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_pendingAt = m_shown.size();
    m_changed = false;
}

void DBMemo::keyPressEvent(QKeyEvent* e) {
    if (escaped(e)) return;
    QPlainTextEdit::keyPressEvent(e);
}

void DBMemo::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    left(e->reason());
}
