#pragma once
#include "connection/datasource.h"
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

// Edit controls bound by name to a field of a data source's current row. They show the field's
// text and are read-only unless the row is being edited or inserted (a field that cannot be
// modified always). What is typed goes into the row when the control is left, before the row is
// posted (DataSource::updateRecord) and when the window closes; a value the field cannot take is
// reported and the focus goes back to the control with its text selected. Escape puts the
// field's value back; cancelling the row drops what was typed.

// Shared behaviour of the bound controls, by the control it is mixed into.
class FieldBinding : public BoundControl {
public:
    FieldBinding(QWidget* control, DataSource* source, const QString& fieldName);
    ~FieldBinding() override;

    DataSource* dataSource() const { return m_source; }
    QString fieldName() const { return m_fieldName; }
    Field* field() const;
    bool modified() const { return m_modified; }
    void updateData() override;

protected:
    // The control shows the field's current value (and may drop what was typed).
    virtual void showValue(Field* field) = 0;
    virtual QString typedText() const = 0;
    virtual void selectText() = 0;
    virtual void setEditable(bool on) = 0;
    // The text is about to become the field's value.
    virtual void writing(const QString& text) {}
    // The text typed is the one the control showed: writing it would change nothing the user meant.
    virtual bool unchanged(const QString& text) const { return false; }

    void reset();                      // shows the field, dropping what was typed
    void typed();                      // the user changed the text
    void left(Qt::FocusReason reason); // the focus went elsewhere: the text goes into the row
    bool escaped(QKeyEvent* e);        // Escape: the field's value back, selected
    bool loading() const { return m_loading; }

private:
    void refresh(bool keepTyped);
    void stateChanged();

    QWidget* m_control;
    QPointer<DataSource> m_source;
    QString m_fieldName;
    mutable int m_fieldIndex = -1; // where the field was found last
    bool m_modified = false;
    bool m_loading = false;
};

// The single-line edit: at most the field's size in characters for text, numbers to the right,
// characters that the field's kind cannot hold refused with a beep. It shows the field's display
// text, and while it has the focus on a row that can be changed its edit text (every digit of a
// time); a text typed back as it was shown is not written.
class DBEdit : public QLineEdit, public FieldBinding {
    Q_OBJECT
public:
    DBEdit(DataSource* source, const QString& fieldName, QWidget* parent = nullptr);

protected:
    void showValue(Field* field) override;
    QString typedText() const override { return text(); }
    void selectText() override { selectAll(); }
    void setEditable(bool on) override { setReadOnly(!on); }
    bool unchanged(const QString& text) const override { return text == m_shownText; }
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    QString m_shownText; // as the field gave it, before any typing
};

// The multi-line editor of a text blob. Tab moves to the next control; line breaks are written
// back in the form that the field's text used. A long text goes in by parts between events, so
// that the window never freezes on it; it is read-only until it is all there.
class DBMemo : public QPlainTextEdit, public FieldBinding {
    Q_OBJECT
public:
    DBMemo(DataSource* source, const QString& fieldName, QWidget* parent = nullptr);
    static constexpr qsizetype LoadingPart = 128 * 1024; // characters set in one go
    bool fullyLoaded() const { return m_pendingAt >= m_shown.size(); }

protected:
    void showValue(Field* field) override;
    QString typedText() const override;
    void selectText() override { selectAll(); }
    void setEditable(bool on) override;
    void writing(const QString& text) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    QString plainText() const; // the editor's text, line breaks as '\n'
    void scheduleNextPart();
    void loadNextPart();

    QString m_shown;           // the field's text as last shown ('\n' line breaks)
    qsizetype m_pendingAt = 0; // how much of it the editor holds while it is being loaded
    bool m_changed = false;    // typed into since
    bool m_appending = false;  // a part of a long text going in
    bool m_partScheduled = false;
    bool m_crlf = false;
    bool m_editable = false;
};
