#include "browse/ui/editortable.h"
#include "browse/ui/picturecontrol.h"
#include "connection/datasource.h"
#include "connection/ui/dbcontrols.h"
#include "platform/errorreport.h"
#include "platform/picturefile.h"
#include "platform/prompts.h"
#include "platform/ui/icons.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <functional>

namespace {
constexpr int kLineLeft = 4;
constexpr int kLabelWidth = 150;
constexpr int kControlLeft = kLineLeft + kLabelWidth + 4;
constexpr int kRightMargin = 4;
constexpr int kEditWidth = 225;
constexpr int kEditHeight = 21;
constexpr int kBlobHeight = 240;
constexpr int kLineGap = 4;
constexpr const char* kTag = "tag";

// The field area: tells the form when its width changes.
class FieldLines : public QWidget {
public:
    FieldLines(std::function<void()> resized, QWidget* parent)
        : QWidget(parent), m_resized(std::move(resized)) {}

protected:
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        m_resized();
    }

private:
    std::function<void()> m_resized;
};
} // namespace

TEditorTable::TEditorTable(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EditorTable"));
    setWindowTitle(QStringLiteral(
        "Formulário de Edição [F1 - Novo  F2 - Edita  F3 - Exclui  F4 - Grava  F5 - Cancela  PgUp  PgDn]"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setFont(sansFont(11));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, winColor(11450265));
    setPalette(pal);
    move(72, 61);
    resize(640, 480);

    Ds = new DataSource(this);
    Ds->setObjectName(QStringLiteral("Ds"));

    ScrollBoxData = new QScrollArea(this);
    ScrollBoxData->setObjectName(QStringLiteral("ScrollBoxData"));
    ScrollBoxData->setGeometry(0, 0, width(), 409);
    ScrollBoxData->setFocusPolicy(Qt::NoFocus);
    ScrollBoxData->setWidgetResizable(true);
    ScrollBoxData->viewport()->setAutoFillBackground(false);
    m_lines = new FieldLines([this] { widenLines(); }, ScrollBoxData);
    m_lines->setObjectName(QStringLiteral("FieldLines"));
    m_lines->setAutoFillBackground(false);
    ScrollBoxData->setWidget(m_lines);
    // Page Up and Page Down step through the rows; the field area does not page with them.
    ScrollBoxData->installEventFilter(this);

    SNovo = makeButton("SNovo", "sheet-sparkle", 20, 3, QStringLiteral("Novo"), &TEditorTable::SNovoClick);
    SGrava = makeButton("SGrava", "boxed-tick", 20, 36, QStringLiteral("Grava"), &TEditorTable::SGravaClick);
    SCancela =
        makeButton("SCancela", "cross", 20, 69, QStringLiteral("Cancela"), &TEditorTable::SCancelaClick);
    SEdita = makeButton("SEdita", "ab-cursor", 20, 102, QStringLiteral("Edita"), &TEditorTable::SEditaClick);
    SExclui = makeButton("SExclui", "crossed-sheet", 20, 135, QStringLiteral("Exclui"),
                         &TEditorTable::SExcluiClick);
    Sup =
        makeButton("Sup", "arrow-up", 13, 176, QStringLiteral("Registro Anterior"), &TEditorTable::SupClick);
    SDown = makeButton("SDown", "arrow-down", 13, 209, QStringLiteral("Próximo Registro"),
                       &TEditorTable::SDownClick);

    pmImages = new QMenu(this);
    pmImages->setObjectName(QStringLiteral("pmImages"));
    const auto item = [this](const char* name, const QString& caption, void (TEditorTable::*handler)()) {
        QAction* a = pmImages->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, guarded([this, handler] { (this->*handler)(); }));
        return a;
    };
    Savetofile1 = item("Savetofile1", QStringLiteral("Save to file..."), &TEditorTable::Savetofile1Click);
    Loadfromfile1 =
        item("Loadfromfile1", QStringLiteral("Load from file..."), &TEditorTable::Loadfromfile1Click);
    Copy2 = item("Copy2", QStringLiteral("Copy"), &TEditorTable::Copy2Click);
    Paste2 = item("Paste2", QStringLiteral("Paste"), &TEditorTable::Paste2Click);
    Cut2 = item("Cut2", QStringLiteral("Cut"), &TEditorTable::Cut2Click);

    connect(Ds, &DataSource::stateChanged, this, [this](DataSet::State s) { DsStateChange(s); });
    connect(Ds, &DataSource::recordChanged, this, [this] { showPictures(); });
    connect(Ds, &DataSource::focusField, this, [this](int field) { focusField(field); });
    // A control that takes the focus is scrolled into sight, whatever moved the focus there.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && m_lines->isAncestorOf(now)) scrollTo(now);
    });
    DsStateChange(Ds->state());
    FormResize();
}

TEditorTable::~TEditorTable() {
    qApp->removeEventFilter(this);
    // Focus moves while the controls go must not reach this half-destroyed window.
    disconnect(qApp, nullptr, this, nullptr);
}

QToolButton* TEditorTable::makeButton(const char* name, const char* picture, int pictureSize, int left,
                                      const QString& hint, void (TEditorTable::*handler)()) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 416, 32, 31);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setIcon(subjectIcon(QLatin1String(picture)));
    b->setIconSize(QSize(pictureSize, pictureSize));
    b->setFocusPolicy(Qt::NoFocus); // the field being typed into keeps the focus
    b->setToolTip(hint);
    connect(b, &QToolButton::clicked, this, guarded([this, handler] { (this->*handler)(); }));
    return b;
}

// ---------------------------------------------------------------------------------------------
// Showing and layout

void TEditorTable::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Key preview: every key of this window passes FormKeyDown first.
    qApp->installEventFilter(this);
    if (m_shown) return;
    m_shown = true;
    fitOuterSize();
    runGuarded([this] { FormShow(); });
}

void TEditorTable::fitOuterSize() {
    // The designed size is the outer one, frame included; the window manager may tell the frame
    // only once the window is on the screen.
    const QSize frame = frameGeometry().size() - size();
    if (m_outerSized || frame.isEmpty()) return;
    m_outerSized = true;
    resize(QSize(640, 480) - frame);
}

void TEditorTable::moveEvent(QMoveEvent* e) {
    QDialog::moveEvent(e);
    if (m_shown) fitOuterSize();
}

void TEditorTable::hideEvent(QHideEvent* e) {
    qApp->removeEventFilter(this);
    QDialog::hideEvent(e);
}

void TEditorTable::FormShow() {
    BuildFieldControls();
    FormResize();
}

void TEditorTable::BuildFieldControls() {
    m_linesBottom = kLineLeft; // the first line's top
    DataSet* ds = Ds->dataSet();
    const int count = ds ? ds->fieldCount() : 0;
    m_labels.assign(count, nullptr);
    m_controls.assign(count, nullptr);
    // Every field, also those that the browse grid hides.
    for (int i = 0; i < count; ++i)
        AddFieldControl(i);
    m_lines->setMinimumSize(kControlLeft + kEditWidth + kRightMargin, m_linesBottom);
    widenLines();
    showPictures();
}

void TEditorTable::AddFieldControl(int fieldIndex) {
    Field* f = Ds->field(fieldIndex);
    if (!f) return;
    const int top = m_linesBottom;
    auto* label = new QLabel(f->displayName(), m_lines);
    label->setGeometry(kLineLeft, top, kLabelWidth, kEditHeight);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->show();

    QWidget* control = nullptr;
    const int blobWidth = m_lines->width() - kControlLeft - kRightMargin;
    if (f->isMemo()) {
        control = new DBMemo(Ds, f->fieldName(), m_lines);
        control->setGeometry(kControlLeft, top, blobWidth, kBlobHeight);
    } else if (f->isBlob()) {
        auto* picture = new PictureControl(m_lines);
        picture->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(picture, &QWidget::customContextMenuRequested, this, [this, picture](const QPoint& at) {
            m_popupPicture = picture;
            pmImages->popup(picture->mapToGlobal(at));
        });
        picture->setGeometry(kControlLeft, top, blobWidth, kBlobHeight);
        PictureList.push_back({picture, false});
        control = picture;
    } else {
        control = new DBEdit(Ds, f->fieldName(), m_lines);
        control->setGeometry(kControlLeft, top, kEditWidth, kEditHeight);
    }
    if (f->isBlob()) m_wideControls.push_back(control);
    control->setProperty(kTag, fieldIndex);
    control->show();
    m_labels[fieldIndex] = label;
    m_controls[fieldIndex] = control;
    m_linesBottom = top + control->height() + kLineGap;
}

void TEditorTable::widenLines() {
    const int width = m_lines->width() - kControlLeft - kRightMargin;
    for (QWidget* c : m_wideControls)
        c->resize(width, kBlobHeight);
}

void TEditorTable::scrollTo(QWidget* control) {
    // The whole line, not only the text cursor, comes into sight.
    QScrollBar* bar = ScrollBoxData->verticalScrollBar();
    const int visible = ScrollBoxData->viewport()->height();
    const QRect line = control->geometry().adjusted(0, -kLineGap, 0, kLineGap);
    if (line.bottom() + 1 > bar->value() + visible) bar->setValue(line.bottom() + 1 - visible);
    if (line.top() < bar->value()) bar->setValue(line.top());
}

void TEditorTable::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    FormResize();
}

void TEditorTable::FormResize() {
    const int outerHeight = frameGeometry().height();
    ScrollBoxData->setGeometry(0, 0, width(), outerHeight - 80);
    for (QToolButton* b : {SNovo, SGrava, SCancela, SEdita, SExclui, Sup, SDown})
        b->move(b->x(), outerHeight - 70);
}

QLabel* TEditorTable::fieldLabel(int fieldIndex) const {
    return fieldIndex >= 0 && fieldIndex < static_cast<int>(m_labels.size()) ? m_labels[fieldIndex] : nullptr;
}

QWidget* TEditorTable::fieldControl(int fieldIndex) const {
    return fieldIndex >= 0 && fieldIndex < static_cast<int>(m_controls.size()) ? m_controls[fieldIndex]
                                                                               : nullptr;
}

void TEditorTable::focusField(int fieldIndex) {
    if (QWidget* c = fieldControl(fieldIndex); c && c->focusPolicy() != Qt::NoFocus) c->setFocus();
}

// ---------------------------------------------------------------------------------------------
// State and keys

void TEditorTable::DsStateChange(DataSet::State state) {
    const bool browse = state == DataSet::Browse;
    for (QToolButton* b : {SNovo, SEdita, SExclui, Sup, SDown})
        b->setEnabled(browse);
    SGrava->setEnabled(!browse);
    SCancela->setEnabled(!browse);
}

void TEditorTable::FormKeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    const bool browse = Ds->state() == DataSet::Browse;
    static const struct {
        int key;
        bool inBrowse; // acts in the browse state, or in any other
        void (TEditorTable::*handler)();
    } keys[] = {
        {Qt::Key_PageUp, true, &TEditorTable::SupClick},  {Qt::Key_PageDown, true, &TEditorTable::SDownClick},
        {Qt::Key_F1, true, &TEditorTable::SNovoClick},    {Qt::Key_F2, true, &TEditorTable::SEditaClick},
        {Qt::Key_F3, true, &TEditorTable::SExcluiClick},  {Qt::Key_F4, false, &TEditorTable::SGravaClick},
        {Qt::Key_F5, false, &TEditorTable::SCancelaClick}};
    for (const auto& k : keys)
        if (k.key == key && k.inBrowse == browse)
            runGuarded([this, handler = k.handler] { (this->*handler)(); });
}

bool TEditorTable::eventFilter(QObject* watched, QEvent* e) {
    if (watched == ScrollBoxData && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) return true;
    }
    // A key goes first to the focused control, or to the window when none has the focus; it is
    // seen here then, once, and never kept from it.
    if (e->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        QWidget* receiver = focusWidget() ? focusWidget() : this;
        if (w == receiver && w->window() == this) FormKeyDown(static_cast<QKeyEvent*>(e)->key());
    }
    return QDialog::eventFilter(watched, e);
}

void TEditorTable::keyPressEvent(QKeyEvent* e) {
    // The form has no close key: Escape belongs to the field controls.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TEditorTable::closeEvent(QCloseEvent* e) {
    // What was typed stays in the row, which the browse window then posts or cancels.
    if (!runGuarded([this] { Ds->updateRecord(); })) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

// ---------------------------------------------------------------------------------------------
// Buttons

void TEditorTable::SNovoClick() {
    if (DataSet* ds = Ds->dataSet()) ds->insert();
}

void TEditorTable::SGravaClick() {
    DataSet* ds = Ds->dataSet();
    if (!ds) return;
    Ds->updateRecord(); // nothing typed is left out of the row
    ds->post();
}

void TEditorTable::SCancelaClick() {
    if (DataSet* ds = Ds->dataSet()) ds->cancel();
}

void TEditorTable::SEditaClick() {
    if (DataSet* ds = Ds->dataSet()) ds->edit();
}

void TEditorTable::SExcluiClick() {
    DataSet* ds = Ds->dataSet();
    if (!ds) return;
    if (showMessage(QStringLiteral("Apaga este registro ????"), QStringLiteral("Atenção"), MsgIcon::Warning,
                    MbYes | MbNo, MbYes) != MbNo)
        ds->remove();
}

void TEditorTable::SupClick() {
    if (DataSet* ds = Ds->dataSet()) ds->prior();
}

void TEditorTable::SDownClick() {
    if (DataSet* ds = Ds->dataSet()) ds->next();
}

// ---------------------------------------------------------------------------------------------
// Pictures. A picture control shows the picture stored in its field; a picture loaded or pasted
// goes into the field at once (as the file's bytes, or as PNG), so that posting the row writes it
// and cancelling puts the stored one back.

Field* TEditorTable::fieldOf(const PictureControl* control) const {
    return control ? Ds->field(control->property(kTag).toInt()) : nullptr;
}

void TEditorTable::showStoredPicture(PictureControl* control) {
    QByteArray bytes;
    if (Field* f = fieldOf(control)) {
        try {
            bytes = f->blobBytes();
        } catch (const std::exception&) {
            // A blob that cannot be read shows nothing, as bytes that are no picture do.
        }
    }
    control->setBytes(bytes);
}

void TEditorTable::showPictures() {
    for (const PictureEntry& e : PictureList)
        showStoredPicture(e.control);
}

void TEditorTable::markChanged(PictureControl* control) {
    for (PictureEntry& e : PictureList)
        if (e.control == control) e.changed = true;
}

void TEditorTable::storePicture(PictureControl* control) {
    DataSet* ds = Ds->dataSet();
    Field* f = fieldOf(control);
    if (!ds || !f) return;
    // Starting the edit may announce another row (editing an empty table inserts one), whose
    // pictures are then shown: what goes into the field is what the control held before.
    const QByteArray bytes = control->bytes();
    try {
        if (!Ds->editing()) ds->edit();
        f->setBlobBytes(bytes);
        if (control->bytes() != bytes) showStoredPicture(control);
    } catch (...) {
        showStoredPicture(control); // the row did not take it
        throw;
    }
}

PictureControl* TEditorTable::PopupPicture() const {
    return m_popupPicture;
}

PictureControl* TEditorTable::shownPicture() const {
    PictureControl* picture = PopupPicture();
    return picture && picture->hasPicture() ? picture : nullptr;
}

void TEditorTable::Savetofile1Click() {
    PictureControl* picture = shownPicture();
    if (!picture) return;
    FileDialogRequest request;
    request.filters = pictureFileFilters();
    request.defaultSuffix = pictureExtension(pictureFormat(picture->bytes()));
    request.picturePreview = true;
    const QString path = Prompts::instance().saveFile(request);
    if (path.isEmpty()) return;
    savePictureFile(path, picture->bytes());
}

void TEditorTable::Loadfromfile1Click() {
    PictureControl* picture = PopupPicture();
    if (!picture) return;
    FileDialogRequest request;
    request.filters = pictureFileFilters();
    request.picturePreview = true;
    const QString path = Prompts::instance().openFile(request);
    if (path.isEmpty()) return;
    QImage shown;
    const QByteArray bytes = loadPictureFile(path, PictureControl::showingBox(), &shown);
    picture->setPicture(bytes, shown);
    markChanged(picture);
    storePicture(picture);
}

void TEditorTable::Copy2Click() {
    PictureControl* picture = shownPicture();
    if (!picture) return;
    QApplication::clipboard()->setImage(picture->picture());
    picture->update();
}

void TEditorTable::Paste2Click() {
    PictureControl* picture = shownPicture();
    if (!picture) return;
    const QImage pasted = QApplication::clipboard()->image();
    if (pasted.isNull()) return; // nothing that is a picture
    picture->setPicture(pngBytes(pasted), fitPicture(pasted, PictureControl::showingBox()));
    markChanged(picture);
    storePicture(picture);
}

void TEditorTable::Cut2Click() {
    PictureControl* picture = shownPicture();
    if (!picture) return;
    QApplication::clipboard()->setImage(picture->picture());
    picture->clear();
    if (Ds->editing()) return; // the field keeps its value
    DataSet* ds = Ds->dataSet();
    Field* f = fieldOf(picture);
    if (!ds || !f) return;
    try {
        ds->edit();
        f->clear();
    } catch (...) {
        showStoredPicture(picture);
        throw;
    }
}
