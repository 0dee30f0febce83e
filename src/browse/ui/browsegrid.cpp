#include "browse/ui/browsegrid.h"
#include "connection/datasetmodel.h"
#include "platform/errorreport.h"
#include "platform/wincolor.h"
#include <QLineEdit>
#include <QMetaProperty>
#include <QPainter>
#include <QPainterPath>
#include <limits>

namespace {
// Nothing past the cell's right neighbours can be seen; a long blob need not be laid out whole.
constexpr int MaxPaintedChars = 512;
constexpr const char* TypedProperty = "fbadminTyped";
constexpr const char* LoadedProperty = "fbadminLoaded"; // the value the editor was opened with

QVariant editorValue(const QWidget* editor) {
    return editor->metaObject()->userProperty().read(editor);
}
} // namespace

BrowseCellDelegate::BrowseCellDelegate(DataSetModel* model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model) {}

QString BrowseCellDelegate::cellText(const DataSetModel* model, const QModelIndex& index) {
    if (!model || index.model() != model) return {};
    // The model's display text: a blob's first characters, not its whole content.
    QString text = index.data(Qt::DisplayRole).toString().left(MaxPaintedChars);
    for (QChar& c : text)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0)) c = ' '; // line breaks, binary
    return text;
}

void BrowseCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);

    const bool odd = (index.row() + 1) % 2 == 1; // the record number is the 1-based row
    painter->save();
    painter->fillRect(option.rect, winColor(odd ? 14799803 : 13678476));
    QFont font = option.font;
    font.setBold(odd);
    painter->setFont(font);
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipping(false);
    const QFontMetrics fm(font);
    painter->drawText(QPoint(option.rect.left() + 2, option.rect.top() + 2 + fm.ascent()),
                      cellText(m_model, index));
    painter->restore();
}

QWidget* BrowseCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (!editor) return editor;
    m_editor = editor;
    m_editorIndex = index;
    auto* self = const_cast<BrowseCellDelegate*>(this);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        // The whole value, however long (a text blob of megabytes): a line edit would cut it at
        // 32767 characters, and the first key typed would save it cut. The field refuses what
        // does not fit.
        line->setMaxLength(std::numeric_limits<int>::max());
        connect(line, &QLineEdit::textEdited, self, &BrowseCellDelegate::editorChanged);
    } else {
        // Any other editor: the change signal of the property that holds its value.
        const QMetaProperty user = editor->metaObject()->userProperty();
        if (user.isValid() && user.hasNotifySignal()) {
            const int slot = metaObject()->indexOfSlot("editorChanged()");
            connect(editor, user.notifySignal(), self, metaObject()->method(slot));
        }
    }
    return editor;
}

void BrowseCellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editor == m_editor) {
        m_editor = nullptr;
        m_editorIndex = QModelIndex();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void BrowseCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    // The row going into edit refreshes the view; what the user already typed stays.
    if (editor->property(TypedProperty).toBool()) return;
    m_loading = true;
    QStyledItemDelegate::setEditorData(editor, index);
    editor->setProperty(LoadedProperty, editorValue(editor));
    m_loading = false;
}

void BrowseCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    runGuarded([&] { writeEditor(editor, index); });
}

void BrowseCellDelegate::writeEditor(QWidget* editor, const QModelIndex& index) const {
    const QVariant value = editorValue(editor);
    // Opening an editor and leaving it, or typing the same value again, changes nothing: no edit,
    // no UPDATE, no empty text for a NULL.
    if (value == editor->property(LoadedProperty)) return;
    if (m_model) m_model->setCellValue(index, value);
}

void BrowseCellDelegate::editorChanged() {
    if (m_loading) return;
    if (QObject* editor = sender()) editor->setProperty(TypedProperty, true);
    if (!m_model || !m_model->dataSet()) return;
    DataSet* ds = m_model->dataSet();
    if (ds->state() == DataSet::Browse) runGuarded([ds] { ds->edit(); });
}

RowIndicatorHeader::RowIndicatorHeader(DataSet* dataSet, QWidget* parent)
    : QHeaderView(Qt::Vertical, parent), m_dataSet(dataSet), m_fill(winColor(12058551)) {
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(false);
}

QSize RowIndicatorHeader::sizeHint() const {
    QSize s = QHeaderView::sizeHint();
    s.setWidth(14);
    return s;
}

void RowIndicatorHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    painter->fillRect(rect, m_fill);
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    if (m_dataSet && m_dataSet->active() && logicalIndex == m_dataSet->currentRow()) {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::black);
        painter->setBrush(Qt::black);
        const QPoint c = rect.center();
        switch (m_dataSet->state()) {
        case DataSet::Edit:
            painter->drawText(rect, Qt::AlignCenter, QStringLiteral("I"));
            break;
        case DataSet::Insert:
            painter->drawText(rect, Qt::AlignCenter, QStringLiteral("*"));
            break;
        default: {
            QPainterPath arrow;
            arrow.moveTo(c.x() - 2, c.y() - 4);
            arrow.lineTo(c.x() + 3, c.y());
            arrow.lineTo(c.x() - 2, c.y() + 4);
            arrow.closeSubpath();
            painter->drawPath(arrow);
        }
        }
    }
    painter->restore();
}
