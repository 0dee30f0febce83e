#include "admin/ui/adminwindow.h"
#include "admin/actionerrors.h"
#include "admin/ui/adminlook.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {
constexpr int kMaxLines = 20000; // the server's lines kept in view
} // namespace

TAdminWindow::TAdminWindow(const char* objectName, const QString& caption, QWidget* parent) : QWidget(parent) {
    setObjectName(QLatin1String(objectName));
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    paintAdminWindow(this);

    m_job = new ServiceJob(this);
    m_ticker = new QTimer(this);
    m_ticker->setInterval(1000);
    connect(m_ticker, &QTimer::timeout, this, [this] { tick(elapsedMs()); });

    Saida = new QPlainTextEdit(this);
    Saida->setObjectName(QStringLiteral("Saida"));
    Saida->setReadOnly(true);
    Saida->setMaximumBlockCount(kMaxLines);
    Saida->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette memo = Saida->palette();
    memo.setColor(QPalette::Base, winColor(14799803));
    Saida->setPalette(memo);
    LbSituacao = new QLabel(this);
    LbSituacao->setObjectName(QStringLiteral("LbSituacao"));
    LbSituacao->setWordWrap(true);
    LbSituacao->setFont(sansFont(11, true));
    LbSituacao->setTextInteractionFlags(Qt::TextSelectableByMouse);

    BtCancelar = button("BtCancelar", QStringLiteral("&Cancelar"), QStringLiteral("cross"));
    BtCancelar->setEnabled(false);
    BtFecha = button("BtFecha", QStringLiteral("&Fecha"), QStringLiteral("door-arrow"));
    connect(BtCancelar, &QPushButton::clicked, this, [this] {
        m_job->cancel();
        BtCancelar->setEnabled(false);
        LbSituacao->setText(QStringLiteral("Cancelando..."));
    });
    connect(BtFecha, &QPushButton::clicked, this, [this] { childFrame(this)->close(); });
    connect(m_job, &ServiceJob::linesArrived, this, [this](const QStringList& lines) {
        // One insertion for the whole batch: a chatty action costs one repaint per batch.
        QScrollBar* bar = Saida->verticalScrollBar();
        const bool atEnd = bar->value() == bar->maximum();
        Saida->appendPlainText(lines.join(QLatin1Char('\n')));
        if (atEnd) bar->setValue(bar->maximum());
        linesArrived(lines);
    });
    connect(m_job, &ServiceJob::noteArrived, this, [this](const QString& note) { LbSituacao->setText(note); });
}

QPushButton* TAdminWindow::button(const char* name, const QString& caption, const QString& picture) {
    auto* b = new QPushButton(subjectIcon(picture), caption, this);
    b->setObjectName(QLatin1String(name));
    b->setCursor(Qt::PointingHandCursor);
    b->setMinimumHeight(31);
    b->setAutoDefault(false);
    return b;
}

void TAdminWindow::showAsChild() {
    if (QMdiSubWindow* sub = showChild(this)) {
        sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
        sub->show();
    }
}

void TAdminWindow::startWork(const QString& status, ServiceJob::Work work, std::function<void(bool)> done) {
    Saida->clear();
    LbSituacao->setText(status);
    setInputsEnabled(false);
    BtCancelar->setEnabled(true);
    m_clock.start();
    m_ticker->start();
    try {
        m_job->start(std::move(work), [this, done = std::move(done)](std::exception_ptr error) {
            finished(error, done);
        });
    } catch (...) {
        m_ticker->stop();
        BtCancelar->setEnabled(false);
        setInputsEnabled(true);
        throw;
    }
    tick(0);
}

void TAdminWindow::finished(std::exception_ptr error, const std::function<void(bool)>& done) {
    m_ticker->stop();
    BtCancelar->setEnabled(false);
    setInputsEnabled(true);
    tick(elapsedMs());
    if (!error) {
        runGuarded([&] { done(true); });
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const ActionCancelled& e) {
        LbSituacao->setText(e.message());
        runGuarded([&] { done(false); });
    } catch (const std::exception& e) {
        LbSituacao->setText(errorMessage(e).section(QStringLiteral("\r\n"), 0, 0));
        runGuarded([&] { done(false); });
        reportError(e);
    }
}

void TAdminWindow::closeEvent(QCloseEvent* e) {
    if (running()) {
        showMessage(QStringLiteral("Há uma tarefa em andamento nesta janela. Aguarde o seu término ou cancele-a "
                                   "antes de fechar a janela."),
                    QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void TAdminWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        bool handled = false;
        QWidget* focused = focusWidget();
        runGuarded([&] { handled = enterPressed(focused); });
        if (!handled) {
            if (auto* b = qobject_cast<QPushButton*>(focused))
                b->click();
            else
                focusNextChild();
        }
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void bringAdminWindowForward(QWidget* w) {
    QWidget* frame = childFrame(w);
    frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
    frame->show();
    frame->raise();
    auto* sub = qobject_cast<QMdiSubWindow*>(frame);
    if (sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    else
        frame->activateWindow();
}
