#pragma once
#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>

class DataSet;
class DataSetModel;

// Paints the data cells of a browse grid (GsDrawColumnCell): odd record numbers bold on 14799803,
// even ones regular on 13678476, the field's plain text at 2 pixels right and below the cell's
// corner. Also makes the in-place editor data-aware: the first change typed puts the row into edit
// state, as typing into any bound control does, and an editor left as it was opened changes
// nothing. It knows the editor open at the moment, so that the grid can write or drop it.
class BrowseCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit BrowseCellDelegate(DataSetModel* model, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    // Errors of the dataset (a value it cannot take) go to the error report, not through the view.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // The cell editor open now (nullptr when none) and its cell.
    QWidget* openEditor() const { return m_editor; }
    QModelIndex openEditorIndex() const { return m_editorIndex; }
    // Writes the editor's value into the cell's field unless it is the value the editor was opened
    // with. Raises when the field does not take it.
    void writeEditor(QWidget* editor, const QModelIndex& index) const;

    // The text painted for a cell: the field's plain value, blobs their content, on one line.
    static QString cellText(const DataSetModel* model, const QModelIndex& index);

private slots:
    void editorChanged();

private:
    QPointer<DataSetModel> m_model;
    mutable bool m_loading = false;
    mutable QPointer<QWidget> m_editor;
    mutable QPersistentModelIndex m_editorIndex;
};

// The row-indicator column: fixed colour, and on the current row a mark for the dataset's state
// (an arrow in browse, "I" while editing, "*" while inserting).
class RowIndicatorHeader : public QHeaderView {
    Q_OBJECT
public:
    RowIndicatorHeader(DataSet* dataSet, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // The browse grid's colour unless another grid sets its own.
    void setFillColor(const QColor& colour) { m_fill = colour; }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QPointer<DataSet> m_dataSet;
    QColor m_fill;
};
