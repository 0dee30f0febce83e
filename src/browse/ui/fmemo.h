#pragma once
#include <QDialog>
#include <QPointer>

class DataSet;
class Field;
class QPlainTextEdit;
class QPushButton;

// The memo window ("Edita / Consulta campo Memo"): one instance for the whole run, shown modally
// by the browse windows on a BLOB column. Its editor is bound to one field of the current row of a
// dataset: typing puts the row into edit state and the text becomes the field's value when the
// window closes; the browse window posts or cancels it with the row.
class TFmemo : public QDialog {
    Q_OBJECT
public:
    explicit TFmemo(QWidget* parent = nullptr);
    ~TFmemo() override;

    // The one created at start-up; made on first use when there is none (window tests).
    static TFmemo* instance();

    // Binds Memo to the field of the dataset; it stays bound until the next call.
    void bind(DataSet* dataSet, const QString& fieldName);
    DataSet* dataSet() const { return m_dataSet; }
    QString fieldName() const { return m_fieldName; }

    QPlainTextEdit* Memo;
    QPushButton* Bret;

    void FormShow();
    void BretClick();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void place();
    Field* boundField() const;
    void loadField();
    void memoChanged();
    void writeField();

    QPointer<DataSet> m_dataSet;
    QString m_fieldName;
    bool m_loading = false;
    bool m_dirty = false;
    bool m_crlf = false; // the value's lines end in CR LF, and go back so
    bool m_placeWhenFramed = false;
};
