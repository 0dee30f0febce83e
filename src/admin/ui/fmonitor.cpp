#include "admin/ui/fmonitor.h"
#include "admin/monitormodels.h"
#include "admin/monitorsession.h"
#include "admin/ui/adminlook.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/windowplace.h"
#include "platform/wincolor.h"
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kDefaultSeconds = 5;

QTableView* grid(QWidget* parent, const char* name, QAbstractItemModel* model) {
    auto* g = new QTableView(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setModel(model);
    styleAdminGrid(g);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}
} // namespace

TFMonitor::TFMonitor(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FMonitor"));
    setWindowTitle(QStringLiteral("Monitor de conexões"));
    setAttribute(Qt::WA_DeleteOnClose);
    paintAdminWindow(this);
    resize(sizeHint());

    // The attachment is made with the program's login when the first refresh runs.
    m_session = new MonitorSession(AdminLogin::of(TdM::instance() ? TdM::instance()->Banco : nullptr), this);
    Conexoes = new AttachmentsModel(this);
    Transacoes = new TransactionsModel(this);
    Comandos = new StatementsModel(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setMovable(false);
    layout->addWidget(ToolBar1);
    BAtualiza = addAdminToolButton(ToolBar1, "BAtualiza", QStringLiteral("folder-open"), QStringLiteral("Atualiza (F5)"));
    ToolBar1->addSeparator();
    BEncerra = addAdminToolButton(ToolBar1, "BEncerra", QStringLiteral("network-drive-cross"),
                                  QStringLiteral("Encerra a conexão escolhida"));
    BCancela = addAdminToolButton(ToolBar1, "BCancela", QStringLiteral("cross"),
                                  QStringLiteral("Cancela o comando escolhido"));
    BPlano = addAdminToolButton(ToolBar1, "BPlano", QStringLiteral("magnifier"),
                                QStringLiteral("Mostra o plano do comando escolhido"));
    ToolBar1->addSeparator();
    CBAutomatico = new QCheckBox(QStringLiteral("Atualizar a cada"), ToolBar1);
    CBAutomatico->setObjectName(QStringLiteral("CBAutomatico"));
    CBAutomatico->setCursor(Qt::PointingHandCursor);
    ToolBar1->addWidget(CBAutomatico);
    SEIntervalo = new QSpinBox(ToolBar1);
    SEIntervalo->setObjectName(QStringLiteral("SEIntervalo"));
    SEIntervalo->setRange(1, 3600);
    SEIntervalo->setValue(kDefaultSeconds);
    SEIntervalo->setSuffix(QStringLiteral(" s"));
    ToolBar1->addWidget(SEIntervalo);
    ToolBar1->addSeparator();
    BFecha = addAdminToolButton(ToolBar1, "BFecha", QStringLiteral("door-arrow"), QStringLiteral("Fecha a tela"));

    LAviso = new QLabel(this);
    LAviso->setObjectName(QStringLiteral("LAviso"));
    LAviso->setWordWrap(true);
    LAviso->setStyleSheet(QStringLiteral("color: %1; font-weight: bold; padding: 2px;").arg(winColor(128).name()));
    LAviso->hide();
    layout->addWidget(LAviso);
    LResumo = new QLabel(this);
    LResumo->setObjectName(QStringLiteral("LResumo"));
    LResumo->setWordWrap(true);
    LResumo->setContentsMargins(4, 0, 4, 0);
    LResumo->setText(QStringLiteral("Lendo as tabelas de monitoramento..."));
    layout->addWidget(LResumo);

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1, 1);
    GConexoes = grid(Splitter1, "GConexoes", Conexoes);
    auto* lower = new QSplitter(Qt::Horizontal, Splitter1);
    lower->setChildrenCollapsible(false);
    GTransacoes = grid(lower, "GTransacoes", Transacoes);
    auto* right = new QSplitter(Qt::Vertical, lower);
    right->setChildrenCollapsible(false);
    GComandos = grid(right, "GComandos", Comandos);
    MemoComando = new QPlainTextEdit(right);
    MemoComando->setObjectName(QStringLiteral("MemoComando"));
    MemoComando->setReadOnly(true);
    {
        QPalette pal = MemoComando->palette();
        pal.setColor(QPalette::Base, winColor(14799803));
        MemoComando->setPalette(pal);
    }
    Splitter1->setSizes({250, 250});
    lower->setSizes({350, 550});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    f5->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f5, &QShortcut::activated, this, guarded([this] { BAtualizaClick(); }));
    connect(BAtualiza, &QToolButton::clicked, this, guarded([this] { BAtualizaClick(); }));
    connect(BEncerra, &QToolButton::clicked, this, guarded([this] { BEncerraClick(); }));
    connect(BCancela, &QToolButton::clicked, this, guarded([this] { BCancelaClick(); }));
    connect(BPlano, &QToolButton::clicked, this, guarded([this] { BPlanoClick(); }));
    connect(BFecha, &QToolButton::clicked, this, guarded([this] { BFechaClick(); }));
    connect(CBAutomatico, &QCheckBox::clicked, this, guarded([this] { CBAutomaticoClick(); }));
    connect(SEIntervalo, &QSpinBox::valueChanged, this, [this](int seconds) { Timer1->setInterval(seconds * 1000); });
    // An automatic refresh that comes while the previous one is still with the server is skipped.
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (!m_session->busy()) m_session->refresh();
    });
    connect(m_session, &MonitorSession::refreshed, this, guarded([this] { showSnapshot(); }));
    connect(m_session, &MonitorSession::failed, this,
            [this](const QString& message, bool duringRefresh) { failed(message, duringRefresh); });
    connect(m_session, &MonitorSession::planRead, this, [this](qint64 id, const QString& plan) {
        m_plannedStatement = id;
        m_plan = plan;
        showStatementText();
    });
    connect(GConexoes->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            guarded([this] { showAttachmentDetails(-1); }));
    connect(GComandos->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            guarded([this] { showStatementText(); }));
}

TFMonitor::~TFMonitor() {
    Timer1->stop();
    // The server's part stops and the attachment goes before the grids' models.
    delete m_session;
    m_session = nullptr;
}

void TFMonitor::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    placeChildInCentre(this);
    runGuarded([this] { FormShow(); });
}

void TFMonitor::FormShow() {
    m_session->refresh();
}

void TFMonitor::BAtualizaClick() {
    m_session->refresh();
}

void TFMonitor::CBAutomaticoClick() {
    if (CBAutomatico->isChecked()) {
        Timer1->start(SEIntervalo->value() * 1000);
        if (!m_session->busy()) m_session->refresh();
    } else {
        Timer1->stop();
    }
}

void TFMonitor::failed(const QString& message, bool duringRefresh) {
    // An automatic refresh that fails would fail again every few seconds: it stops until asked again.
    if (duringRefresh && CBAutomatico->isChecked()) {
        CBAutomatico->setChecked(false);
        Timer1->stop();
    }
    if (duringRefresh) LResumo->setText(QStringLiteral("A leitura falhou."));
    reportError(message);
}

qint64 TFMonitor::currentAttachment() const {
    return Conexoes->idAt(GConexoes->currentIndex().row());
}

qint64 TFMonitor::currentStatement() const {
    return Comandos->idAt(GComandos->currentIndex().row());
}

bool TFMonitor::selectAttachment(qint64 id) {
    const int row = Conexoes->rowOf(id);
    reselectRow(GConexoes, row);
    return row >= 0;
}

bool TFMonitor::selectStatement(qint64 id) {
    const int row = Comandos->rowOf(id);
    reselectRow(GComandos, row);
    return row >= 0;
}

void TFMonitor::showSnapshot() {
    const MonitorSnapshot& s = m_session->snapshot();
    const qint64 attachment = currentAttachment();
    const qint64 statement = currentStatement();

    LAviso->setText(QStringLiteral("O usuário %1 não é administrador deste banco: a lista mostra só as conexões "
                                   "dele. Entre como SYSDBA, como dono do banco ou com o papel RDB$ADMIN para "
                                   "ver todas.")
                        .arg(s.user));
    LAviso->setVisible(!s.administrator);
    QString oldest;
    for (const MonTransaction& t : s.transactions)
        if (t.oldestActive) {
            oldest = QStringLiteral(" (da conexão nº %1, desde %2)").arg(t.attachmentId).arg(monitorTimeText(t.started));
            if (t.id != s.oldestActive) oldest = QStringLiteral("; a mais antiga ativa agora é a %1").arg(t.id) + oldest;
        }
    LResumo->setText(QStringLiteral("%1 conexões. Transações: mais antiga ativa %2%3, próxima %4 (diferença %5). "
                                    "Lido às %6 em %7 ms.")
                         .arg(s.attachments.size())
                         .arg(s.oldestActive)
                         .arg(oldest)
                         .arg(s.nextTransaction)
                         .arg(s.nextTransaction - s.oldestActive)
                         .arg(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")))
                         .arg(m_session->lastReadMs()));

    const bool first = Conexoes->rowCount() == 0;
    {
        // Resetting the grids moves their current rows: the choices are put back here instead.
        const QSignalBlocker quiet(GConexoes->selectionModel());
        Conexoes->setSnapshot(s);
        if (first) GConexoes->resizeColumnsToContents();
        // The attachment chosen stays chosen while it lives; at first the first one that is not ours.
        if (!selectAttachment(attachment) && attachment < 0)
            for (const MonAttachment& a : s.attachments)
                if (a.own == MonAttachment::Other) {
                    selectAttachment(a.id);
                    break;
                }
    }
    showAttachmentDetails(statement);
}

void TFMonitor::showAttachmentDetails(qint64 keepStatement) {
    const MonitorSnapshot& s = m_session->snapshot();
    const qint64 id = currentAttachment();
    {
        const QSignalBlocker quiet(GComandos->selectionModel());
        Transacoes->setRows(id < 0 ? QList<MonTransaction>() : s.transactionsOf(id));
        Comandos->setRows(id < 0 ? QList<MonStatement>() : s.statementsOf(id));
        GTransacoes->resizeColumnsToContents();
        GComandos->resizeColumnsToContents();
        if (!selectStatement(keepStatement) && Comandos->rowCount() > 0) selectStatement(Comandos->idAt(0));
    }
    showStatementText();
}

void TFMonitor::showStatementText() {
    const int row = GComandos->currentIndex().row();
    if (row < 0 || row >= Comandos->rowCount()) {
        MemoComando->clear();
        return;
    }
    const MonStatement& st = Comandos->at(row);
    QString text = st.text;
    if (m_plannedStatement == st.id) text += QStringLiteral("\n\n-- Plano:\n") + m_plan;
    if (MemoComando->toPlainText() != text) MemoComando->setPlainText(text);
}

void TFMonitor::BEncerraClick() {
    const int row = GConexoes->currentIndex().row();
    if (row < 0) {
        showMessage(QStringLiteral("Escolha na lista a conexão a encerrar."), QStringLiteral("Atenção"),
                    MsgIcon::Warning);
        return;
    }
    const MonAttachment a = Conexoes->at(row);
    try {
        checkCanEnd(a);
    } catch (const AppError& e) {
        showMessage(e.message(), QStringLiteral("Erro"), MsgIcon::Error);
        return;
    }
    if (showMessage(endAttachmentQuestion(a), QStringLiteral("Atenção"), MsgIcon::Warning, MbYes | MbNo, MbNo) != MbYes)
        return;
    m_session->endAttachment(a.id);
}

void TFMonitor::BCancelaClick() {
    const int row = GComandos->currentIndex().row();
    if (row < 0) {
        showMessage(QStringLiteral("Escolha na lista o comando a cancelar."), QStringLiteral("Atenção"),
                    MsgIcon::Warning);
        return;
    }
    const MonStatement st = Comandos->at(row);
    const MonAttachment* owner = m_session->snapshot().attachment(st.attachmentId);
    if (showMessage(cancelStatementQuestion(st, owner), QStringLiteral("Atenção"), MsgIcon::Warning, MbYes | MbNo,
                    MbNo) != MbYes)
        return;
    m_session->cancelStatement(st.id);
}

void TFMonitor::BPlanoClick() {
    const qint64 id = currentStatement();
    if (id < 0) {
        showMessage(QStringLiteral("Escolha na lista o comando cujo plano quer ver."), QStringLiteral("Atenção"),
                    MsgIcon::Warning);
        return;
    }
    m_session->readPlan(id);
}

void TFMonitor::BFechaClick() {
    childFrame(this)->close();
}
