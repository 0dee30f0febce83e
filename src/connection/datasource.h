#pragma once
#include "connection/dataset.h"
#include <QObject>
#include <QPointer>
#include <vector>

// A control bound to a field of a data source's current row.
class BoundControl {
public:
    virtual ~BoundControl() = default;
    // Writes what was typed into the control since it last showed the field into the row being
    // edited; nothing when nothing was typed. A value the field cannot take raises the field's
    // error and stays in the control.
    virtual void updateData() = 0;
};

// Links bound controls to a dataset: passes on the dataset's changes of state and of its current
// row, and before the row is posted has every control write what was typed into it. Automatic
// edit is off: the controls never start an edit; a row becomes editable only through the
// dataset's own edit or insert.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    ~DataSource() override;

    DataSet* dataSet() const { return m_dataSet; }
    // Announces the new dataset's state at once (stateChanged, recordChanged).
    void setDataSet(DataSet* dataSet);
    DataSet::State state() const;
    bool editing() const;                    // edit or insert
    Field* field(int index) const;           // nullptr when closed or out of range
    Field* field(const QString& name) const; // nullptr when closed or absent
    // The field can take a typed value now: the row is being edited or inserted and the field is
    // not read-only.
    bool canModify(const Field* field) const;

    void attach(BoundControl* control);
    void detach(BoundControl* control);
    // Every bound control writes its typed text; stops at the first that the field refuses.
    void updateRecord();

signals:
    void stateChanged(DataSet::State state);
    // The controls show the fields anew and drop what was typed: the current row moved, or its
    // stored values changed (open, post, cancel, re-read).
    void recordChanged();
    // A field of the row being edited changed: controls holding no typed text show it again.
    void fieldsChanged();
    // A post stopped at this field (a required value missing): its control takes the focus.
    void focusField(int fieldIndex);

private:
    void rowChanged(int row);

    QPointer<DataSet> m_dataSet;
    std::vector<BoundControl*> m_controls;
};

// Whether a character typed into a field's single-line edit is one that its kind of value can
// hold: digits and signs for integers, also the decimal point for decimals, also an exponent for
// floating point; every character for the other kinds.
bool fieldAcceptsChar(FieldKind kind, QChar c, QChar decimalPoint);
