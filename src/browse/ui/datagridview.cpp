#include "browse/ui/datagridview.h"
#include "browse/ui/browsegrid.h"
#include "connection/datasetmodel.h"
#include "platform/errorreport.h"
#include <QApplication>

DataGridView::DataGridView(DataSetModel* model, QWidget* parent)
    : QTableView(parent), m_dataSet(model->dataSet()), m_delegate(new BrowseCellDelegate(model, this)) {
    setModel(model);
    setItemDelegate(m_delegate);
    if (m_dataSet) m_dataSet->addEditLink(this);
    connect(qApp, &QApplication::focusChanged, this, &DataGridView::focusMoved);
}

DataGridView::~DataGridView() {
    // The focus moves while the widget underneath goes; this part of it is gone by then.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    if (m_dataSet) m_dataSet->removeEditLink(this);
}

bool DataGridView::editorOpen() const {
    return m_delegate->openEditor() != nullptr;
}

void DataGridView::writePendingEdit() {
    QWidget* editor = m_delegate->openEditor();
    const QModelIndex index = m_delegate->openEditorIndex();
    if (!editor || !index.isValid() || !m_dataSet || index.row() != m_dataSet->currentRow()) return;
    m_delegate->writeEditor(editor, index); // a value that does not convert: the editor stays open
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DataGridView::dropPendingEdit() {
    if (QWidget* editor = m_delegate->openEditor()) closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DataGridView::focusMoved(QWidget* old, QWidget* now) {
    const auto inGrid = [this](QWidget* w) { return w && (w == this || isAncestorOf(w)); };
    // Between two child windows the focus rests nowhere for a moment: where it lands decides.
    const bool fromGrid = inGrid(old) || (!old && m_focusInTransit);
    m_focusInTransit = fromGrid && !now;
    if (!fromGrid || !now || inGrid(now) || now->isAncestorOf(this)) return;
    // A dialog over the window only covers the grid.
    if (now->window() != window()) return;
    DataSet* ds = m_dataSet;
    if (ds && ds->state() == DataSet::Insert && !ds->modified()) runGuarded([ds] { ds->cancel(); });
}
