#include "browse/ui/fmemo.h"
#include "connection/dataset.h"
#include "platform/errorreport.h"
#include "platform/ui/icons.h"
#include "platform/ui/uifont.h"
#include "platform/ui/windowplace.h"
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
TFmemo* g_instance = nullptr;
bool g_ownInstance = false;

void deleteOwnInstance() {
    if (g_ownInstance) delete g_instance;
}
} // namespace

TFmemo::TFmemo(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Fmemo"));
    setWindowTitle(QStringLiteral("Edita / Consulta campo Memo"));
    setFont(sansFont(16));
    resize(544, 375);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setGeometry(0, 0, width(), 304);

    Bret = new QPushButton(QStringLiteral("&Retorna"), this);
    Bret->setObjectName(QStringLiteral("Bret"));
    Bret->setCursor(Qt::PointingHandCursor);
    Bret->setIcon(subjectIcon(QStringLiteral("arrow-left")));
    Bret->setGeometry(424, 312, 107, 33);
    Bret->setAutoDefault(false); // Enter belongs to the editor

    connect(Bret, &QPushButton::clicked, this, [this] { BretClick(); });
    connect(Memo, &QPlainTextEdit::textChanged, this, [this] { memoChanged(); });

    if (!g_instance) g_instance = this;
}

TFmemo::~TFmemo() {
    if (g_instance == this) {
        g_instance = nullptr;
        g_ownInstance = false;
    }
}

TFmemo* TFmemo::instance() {
    if (!g_instance) {
        new TFmemo();
        g_ownInstance = true;
        qAddPostRoutine(deleteOwnInstance);
    }
    return g_instance;
}

void TFmemo::bind(DataSet* dataSet, const QString& fieldName) {
    m_dataSet = dataSet;
    m_fieldName = fieldName;
}

Field* TFmemo::boundField() const {
    if (!m_dataSet || !m_dataSet->active()) return nullptr;
    return m_dataSet->findField(m_fieldName);
}

void TFmemo::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    place();
    m_placeWhenFramed = true;
    FormShow();
}

void TFmemo::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    // Only now, framed by the window manager, may the window know its frame the first time.
    if (!m_placeWhenFramed) return;
    m_placeWhenFramed = false;
    QMetaObject::invokeMethod(
        this, [this] { place(); }, Qt::QueuedConnection);
}

void TFmemo::place() {
    // Outer size 544 by 375, centred on the screen.
    resizeOuter(this, QSize(544, 375));
    centreOnScreen(this);
}

void TFmemo::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    Memo->setGeometry(0, 0, width(), 304); // aligned to the top
}

void TFmemo::FormShow() {
    loadField();
    Memo->setFocus();
    Memo->moveCursor(QTextCursor::End);
}

void TFmemo::loadField() {
    m_loading = true;
    Field* f = boundField();
    // The editor keeps line breaks as LF only: a value written with CR LF gets them back on writing,
    // so that editing one line does not change every line break of the stored text.
    QString text = f ? f->asString() : QString();
    m_crlf = text.contains(QStringLiteral("\r\n"));
    if (m_crlf) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Memo->setPlainText(text);
    // Binary content shown as text cannot be written back unchanged: such fields are only shown.
    const bool writable = f && f->isMemo() && !f->readOnly() && m_dataSet->canModify();
    Memo->setReadOnly(!writable);
    m_dirty = false;
    m_loading = false;
}

void TFmemo::memoChanged() {
    if (m_loading || Memo->isReadOnly()) return;
    if (!m_dirty) {
        m_dirty = true;
        // Automatic edit: the first change puts the row into edit state.
        if (m_dataSet && m_dataSet->state() == DataSet::Browse) {
            if (!runGuarded([this] { m_dataSet->edit(); })) {
                loadField();
                return;
            }
        }
    }
}

void TFmemo::writeField() {
    if (!m_dirty) return;
    m_dirty = false;
    Field* f = boundField();
    if (!f || (m_dataSet->state() != DataSet::Edit && m_dataSet->state() != DataSet::Insert)) return;
    QString text = Memo->toPlainText();
    if (m_crlf) text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    runGuarded([f, &text] { f->setValue(text); });
}

void TFmemo::BretClick() {
    close();
}

void TFmemo::done(int result) {
    writeField();
    QDialog::done(result);
}
