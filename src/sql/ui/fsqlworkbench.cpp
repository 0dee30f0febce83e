// The SQL command window's runs with the server's part in the background: the status line, the
// plan pane, cancelling, scripts and the place of an error.
#include "connection/dataset.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "sql/commandhistory.h"
#include "sql/runstatus.h"
#include "sql/sqlnames.h"
#include "sql/sqlrunner.h"
#include "sql/sqlscript.h"
#include "sql/ui/fsql.h"
#include "sql/ui/sqleditor.h"
#include "sql/ui/sqlstatusline.h"
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kClockMs = 100;
constexpr int kPlanHeight = 72;
} // namespace

void TFSql::setupWorkbench(QVBoxLayout* lowerLayout) {
    PlanoSql = new QPlainTextEdit(this);
    PlanoSql->setObjectName(QStringLiteral("PlanoSql"));
    PlanoSql->setReadOnly(true);
    PlanoSql->setMaximumHeight(kPlanHeight);
    PlanoSql->hide();
    lowerLayout->addWidget(PlanoSql);
    StatusSql = new SqlStatusLine(this);
    lowerLayout->addWidget(StatusSql);

    m_runner = new SqlRunner(IBSet, this);
    connect(m_runner, &SqlRunner::started, this, [this] { setRunning(true); });
    connect(m_runner, &SqlRunner::finished, this, [this](const RunOutcome& o) { runFinished(o); });
    m_runClock = new QTimer(this);
    m_runClock->setInterval(kClockMs);
    connect(m_runClock, &QTimer::timeout, this,
            [this] { StatusSql->lStatus->setText(runningText(m_runner->runningMs())); });
    connect(IBSet, &DataSet::rowsFetched, this, [this] { showRowCount(); });

    if (TdM* dm = TdM::instance()) {
        m_names = new SchemaNames(dm->Banco, this);
        MemoSql->setSchemaNames(m_names);
    }

    connect(StatusSql->bscript, &QToolButton::clicked, this, guarded([this] { bscriptClick(); }));
    connect(StatusSql->bcancelar, &QToolButton::clicked, this, guarded([this] { bcancelarClick(); }));
    connect(StatusSql->bplano, &QToolButton::clicked, this, guarded([this] { bplanoClick(); }));
    connect(MemoSql, &SqlEditor::scriptRequested, this, guarded([this] { scriptKey(); }));
    // The same keys from the grid.
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | key), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, guarded([this] { scriptKey(); }));
    }
}

void TFSql::scriptKey() {
    // While a statement runs the button is not offered, and neither is its key.
    if (StatusSql->bscript->isEnabled()) bscriptClick();
}

bool TFSql::refusedNul(const QString& text) {
    // The client library reads a statement up to its first NUL: what went would be a shorter
    // statement than the one shown ("delete from T" of "delete from T<NUL> where ID = 1").
    const qsizetype at = nulIndex(text);
    if (at < 0) return false;
    MemoSql->markError(static_cast<int>(at));
    showMessage(nulRefusedText(text, at), QStringLiteral("Erro"), MsgIcon::Error, MbOk);
    return true;
}

bool TFSql::running() const {
    return m_runner && m_runner->running();
}

void TFSql::startRun(int action, const QString& text) {
    MemoSql->clearErrorMark();
    m_runText = text;
    m_statusBefore = {StatusSql->lStatus->text(), StatusSql->lLinhas->text()};
    switch (action) {
    case RunOutcome::OneStatement:
        m_runner->runStatement(text);
        break;
    case RunOutcome::WholeScript:
        m_runner->runScript(text);
        break;
    default:
        m_runner->explain(text);
        break;
    }
}

void TFSql::bscriptClick() {
    const QString text = memoText();
    if (trimCommand(text).isEmpty()) {
        showMessage(QStringLiteral("Nenhum comando SQL, foi encontrado para ser executado...."),
                    QStringLiteral("Erro"), MsgIcon::Error, MbOk);
        return;
    }
    if (refusedNul(text)) return;
    startRun(RunOutcome::WholeScript, text);
}

void TFSql::bcancelarClick() {
    m_runner->cancel();
}

void TFSql::bplanoClick() {
    const QString text = memoText();
    // The memo is emptied by a run: with nothing typed, the plan is the last run's, and the
    // button shows or hides its pane.
    if (trimCommand(text).isEmpty()) {
        if (PlanoSql->isVisible())
            PlanoSql->hide();
        else
            showPlan(m_lastPlan);
        return;
    }
    if (refusedNul(text)) return;
    startRun(RunOutcome::PlanOnly, text);
}

void TFSql::showPlan(const QString& plan) {
    PlanoSql->setPlainText(plan.isEmpty() ? QStringLiteral("Sem plano de acesso: o comando não lê tabelas, "
                                                           "ou nenhum comando foi executado.")
                                          : plan);
    PlanoSql->show();
}

// Nothing that changes the memo, needs the connection or takes the result (which is not there yet)
// is offered while the server works, as when a run held the window until it ended; closing the
// window stays possible (it cancels).
void TFSql::setRunning(bool on) {
    const QList<QToolButton*> held{bexe, bger, bgra, bcan, ToolButton3, ToolButton5, Bloa, bexcel, bprint};
    if (on) {
        m_enabledBefore.clear();
        for (QToolButton* b : held) {
            m_enabledBefore.append(b->isEnabled());
            b->setEnabled(false);
        }
        StatusSql->lStatus->setText(runningText(0));
        StatusSql->lLinhas->clear();
        m_runClock->start();
    } else {
        for (int i = 0; i < held.size() && i < m_enabledBefore.size(); ++i)
            held[i]->setEnabled(m_enabledBefore[i]);
        m_runClock->stop();
    }
    MemoSql->setReadOnly(on);
    StatusSql->setRunning(on);
}

void TFSql::showRowCount() {
    if (!IBSet->hasCursor()) return;
    const RowsLeft left = IBSet->fetchFailed()  ? RowsLeft::Failed
                          : IBSet->allFetched() ? RowsLeft::None
                                                : RowsLeft::More;
    StatusSql->lLinhas->setText(rowsReadText(IBSet->rowCount(), left));
}

void TFSql::runFinished(const RunOutcome& o) {
    setRunning(false);
    if (o.kind == RunOutcome::Plan) {
        // The status line goes on telling of the last run; the plan has its pane.
        StatusSql->lStatus->setText(m_statusBefore.first);
        StatusSql->lLinhas->setText(m_statusBefore.second);
        showPlan(o.plan);
        return;
    }
    StatusSql->lStatus->setText(outcomeText(o, m_runText));
    StatusSql->lLinhas->clear();
    if (o.changedSchema && m_names) m_names->forget();
    const bool script = o.action == RunOutcome::WholeScript;
    if (o.kind != RunOutcome::Failed && o.kind != RunOutcome::Cancelled) {
        if (IBSet->hasCursor())
            showRowCount();
        else if (!o.changedSchema || script)
            StatusSql->lLinhas->setText(rowsAffectedText(o.rowsAffected));
        m_lastPlan = o.plan;
        if (PlanoSql->isVisible()) showPlan(m_lastPlan);
        bgra->setEnabled(true);
        bcan->setEnabled(true);
        appendToCommandHistory(trimCommand(m_runText));
        MemoSql->clear();
        return;
    }
    // Statements of a script that ran before the failure left work in the transaction.
    if (script && o.statementsRun > 0) {
        bgra->setEnabled(true);
        bcan->setEnabled(true);
    }
    PlanoSql->hide();                            // its plan is of a statement that did not run
    if (o.kind == RunOutcome::Cancelled) return; // asked for: the status line says so
    if (o.errorIndex >= 0) MemoSql->markError(static_cast<int>(o.errorIndex));
    reportError(o.error);
}
