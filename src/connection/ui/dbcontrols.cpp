#include "connection/ui/dbcontrols.h"
#include "connection/fieldkind.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include <QKeyEvent>
#include <QLocale>
#include <QTextBlock>
#include <QTimer>

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
    return m_source ? m_source->field(m_fieldName) : nullptr;
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
    m_modified = false;
    try {
        // The row announces the change, and the control then shows the value as the field reads it.
        f->setAsString(typedText());
    } catch (...) {
        m_modified = true;
        m_control->setFocus();
        selectText();
        throw;
    }
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
    setText(field ? field->asString() : QString());
}

void DBEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        reset();
        selectAll();
        e->accept();
        return;
    }
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

void DBEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    left(e->reason());
}

// ---------------------------------------------------------------------------------------------
// DBMemo

DBMemo::DBMemo(DataSource* source, const QString& fieldName, QWidget* parent)
    : QPlainTextEdit(parent), FieldBinding(this, source, fieldName) {
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (loading()) return;
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
    setPlainText(text);
}

QString DBMemo::typedText() const {
    // The raw text: non-breaking blanks stay as typed.
    QString text = document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
    if (m_crlf) text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void DBMemo::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        reset();
        selectAll();
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void DBMemo::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    left(e->reason());
}
