#include "admin/ui/fmanutencao.h"
#include "admin/maintenance.h"
#include "admin/ownconnection.h"
#include "admin/progresstext.h"
#include "admin/serviceparams.h"
#include "admin/statistics.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/wincolor.h"
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <memory>

namespace {
const QString kAlone = QStringLiteral("A conexão deste programa com o banco será fechada enquanto isso (as alterações "
                                      "pendentes serão gravadas) e refeita no fim.");

bool confirmed(const QString& question) {
    return showMessage(question, QStringLiteral("Atenção"), MsgIcon::Warning, MbYes | MbNo, MbNo) == MbYes;
}

QString modeName(ShutdownMode mode) {
    switch (mode) {
    case ShutdownMode::Multi:
        return QStringLiteral("manutenção com vários usuários");
    case ShutdownMode::Single:
        return QStringLiteral("manutenção com um usuário");
    case ShutdownMode::Full:
        return QStringLiteral("desligamento completo");
    case ShutdownMode::Online:
        break;
    }
    return QStringLiteral("normal");
}

// What the header says, or nothing when it could not be read.
struct Outcome {
    QStringList lines;
    bool headerRead = false;
    HeaderPage header;
};
} // namespace

TFManutencao::TFManutencao(QWidget* parent) : TAdminWindow("FManutencao", QStringLiteral("Manutenção"), parent) {
    runGuarded([this] { m_target = AdminTarget::openDatabase(); });

    LbBanco = new QLabel(QStringLiteral("Banco: ") + m_target.connectionString, this);
    LbBanco->setObjectName(QStringLiteral("LbBanco"));
    LbEstado = new QLabel(QStringLiteral("Estado: -"), this);
    LbEstado->setObjectName(QStringLiteral("LbEstado"));
    BtAtualiza = button("BtAtualiza", QStringLiteral("Atuali&za"), QStringLiteral("folder-open"));
    BtAtualiza->setToolTip(QStringLiteral("Lê de novo o estado do banco"));

    auto* validation = new QGroupBox(QStringLiteral("Validação"), this);
    RbOnline = new QRadioButton(QStringLiteral("&Online, com o banco em uso"), validation);
    RbOnline->setObjectName(QStringLiteral("RbOnline"));
    RbOnline->setChecked(true);
    RbCompleta = new QRadioButton(QStringLiteral("&Completa, somente leitura (exige o banco sem conexões)"), validation);
    RbCompleta->setObjectName(QStringLiteral("RbCompleta"));
    BtValida = button("BtValida", QStringLiteral("&Validar"), QStringLiteral("magnifier"));
    auto* vl = new QGridLayout(validation);
    vl->addWidget(RbOnline, 0, 0);
    vl->addWidget(RbCompleta, 1, 0);
    vl->addWidget(BtValida, 0, 1, 2, 1, Qt::AlignRight);

    auto* cleaning = new QGroupBox(QStringLiteral("Limpeza"), this);
    BtSweep = button("BtSweep", QStringLiteral("&Sweep"), QStringLiteral("check"));
    BtSweep->setToolTip(QStringLiteral("Remove as versões de registros que nenhuma transação vê mais"));
    BtMend = button("BtMend", QStringLiteral("&Mend"), QStringLiteral("pencil"));
    BtMend->setToolTip(QStringLiteral("Marca os registros danificados como indisponíveis"));
    auto* cl = new QHBoxLayout(cleaning);
    cl->addWidget(BtSweep);
    cl->addWidget(BtMend);
    cl->addStretch(1);

    auto* shutdown = new QGroupBox(QStringLiteral("Desligamento"), this);
    auto* modeLabel = new QLabel(QStringLiteral("M&odo:"), shutdown);
    CbModo = new QComboBox(shutdown);
    CbModo->setObjectName(QStringLiteral("CbModo"));
    CbModo->addItem(QStringLiteral("Manutenção com vários usuários"), static_cast<int>(ShutdownMode::Multi));
    CbModo->addItem(QStringLiteral("Manutenção com um usuário"), static_cast<int>(ShutdownMode::Single));
    CbModo->addItem(QStringLiteral("Completo"), static_cast<int>(ShutdownMode::Full));
    modeLabel->setBuddy(CbModo);
    RbForcar = new QRadioButton(QStringLiteral("&Forçar a saída das conexões"), shutdown);
    RbForcar->setObjectName(QStringLiteral("RbForcar"));
    RbForcar->setChecked(true);
    RbSemConexoes = new QRadioButton(QStringLiteral("Sem novas co&nexões (espera que saiam)"), shutdown);
    RbSemConexoes->setObjectName(QStringLiteral("RbSemConexoes"));
    RbSemTransacoes = new QRadioButton(QStringLiteral("Sem novas &transações (espera que terminem)"), shutdown);
    RbSemTransacoes->setObjectName(QStringLiteral("RbSemTransacoes"));
    auto* timeLabel = new QLabel(QStringLiteral("T&empo (segundos):"), shutdown);
    SpTempo = new QSpinBox(shutdown);
    SpTempo->setObjectName(QStringLiteral("SpTempo"));
    SpTempo->setRange(0, 3600);
    SpTempo->setValue(0);
    timeLabel->setBuddy(SpTempo);
    BtDesliga = button("BtDesliga", QStringLiteral("&Desligar"), QStringLiteral("network-drive-cross"));
    BtOnline = button("BtOnline", QStringLiteral("&Pôr online"), QStringLiteral("network-drive"));
    auto* sl = new QGridLayout(shutdown);
    sl->addWidget(modeLabel, 0, 0);
    sl->addWidget(CbModo, 0, 1);
    sl->addWidget(timeLabel, 0, 2);
    sl->addWidget(SpTempo, 0, 3);
    sl->addWidget(RbForcar, 1, 0, 1, 2);
    sl->addWidget(RbSemConexoes, 2, 0, 1, 2);
    sl->addWidget(RbSemTransacoes, 3, 0, 1, 2);
    sl->addWidget(BtDesliga, 1, 3);
    sl->addWidget(BtOnline, 2, 3);

    Achados = new QListWidget(this);
    Achados->setObjectName(QStringLiteral("Achados"));
    Achados->setMaximumHeight(110);
    QPalette list = Achados->palette();
    list.setColor(QPalette::Base, winColor(15658734));
    Achados->setPalette(list);

    auto* top = new QHBoxLayout;
    top->addWidget(LbEstado, 1);
    top->addWidget(BtAtualiza);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BtCancelar);
    bottom->addStretch(1);
    bottom->addWidget(BtFecha);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LbBanco);
    layout->addLayout(top);
    layout->addWidget(validation);
    layout->addWidget(cleaning);
    layout->addWidget(shutdown);
    layout->addWidget(new QLabel(QStringLiteral("Resultado da validação:"), this));
    layout->addWidget(Achados);
    layout->addWidget(Saida, 1);
    layout->addWidget(LbSituacao);
    layout->addLayout(bottom);
    setMinimumSize(620, 640);

    connect(BtAtualiza, &QPushButton::clicked, this, guarded([this] { AtualizaClick(); }));
    connect(BtValida, &QPushButton::clicked, this, guarded([this] { ValidaClick(); }));
    connect(BtSweep, &QPushButton::clicked, this, guarded([this] { SweepClick(); }));
    connect(BtMend, &QPushButton::clicked, this, guarded([this] { MendClick(); }));
    connect(BtDesliga, &QPushButton::clicked, this, guarded([this] { DesligaClick(); }));
    connect(BtOnline, &QPushButton::clicked, this, guarded([this] { OnlineClick(); }));
    setInputsEnabled(true);
}

void TFManutencao::showEvent(QShowEvent* e) {
    TAdminWindow::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    runGuarded([this] { AtualizaClick(); });
}

void TFManutencao::setInputsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{BtAtualiza, RbOnline, RbCompleta, BtValida, BtSweep, BtMend,
                                                      CbModo, RbForcar, RbSemConexoes, RbSemTransacoes, SpTempo,
                                                      BtDesliga, BtOnline, BtFecha})
        w->setEnabled(on);
}

void TFManutencao::runAction(const QString& status, std::function<ServiceParams()> request, const QString& lead,
                             bool stoppable, bool alone, std::function<void(const QStringList&)> after) {
    if (running()) return;
    if (alone) OwnConnection::release(); // refused while an SQL window's statement runs
    const AdminTarget target = m_target;
    auto outcome = std::make_shared<Outcome>();
    startWork(
        status,
        [target, request, lead, stoppable, outcome](ServiceJob& job) {
            if (request) outcome->lines = runMaintenance(job, target, request(), lead, stoppable);
            try {
                outcome->header = readHeaderPage(target.serviceLogin(), target.path());
                outcome->headerRead = true;
            } catch (...) {
                // the state line keeps what it said
            }
        },
        [this, alone, after, outcome](bool ok) {
            if (outcome->headerRead) {
                const HeaderPage& h = outcome->header;
                LbEstado->setText(QStringLiteral("Estado: ") + shutdownText(h.shutdown) +
                                  (h.readOnly ? QStringLiteral(", somente leitura") : QString()));
                LbEstado->setProperty("shutdown", static_cast<int>(h.shutdown));
            }
            if (ok && after) after(outcome->lines);
            QString reason;
            if (alone && !OwnConnection::retake(&reason))
                LbSituacao->setText(LbSituacao->text() + QStringLiteral("\nA conexão deste programa com o banco não "
                                                                        "pôde ser refeita agora (%1); ela será "
                                                                        "refeita quando o banco for usado de novo.")
                                                             .arg(reason.section(QStringLiteral("\r\n"), 0, 0)));
        });
}

void TFManutencao::AtualizaClick() {
    runAction(QStringLiteral("Lendo o estado do banco..."), {}, QString(), false, false,
              [this](const QStringList&) { LbSituacao->setText(QString()); });
}

void TFManutencao::ValidaClick() {
    const bool full = RbCompleta->isChecked();
    if (full && !confirmed(QStringLiteral("A validação completa exige o banco sem conexões. ") + kAlone +
                           QStringLiteral(" Continuar?")))
        return;
    const QString path = m_target.path();
    Achados->clear();
    runAction(
        QStringLiteral("Validação em andamento..."),
        [path, full] { return full ? fullValidationRequest(path) : onlineValidationRequest(path); },
        QStringLiteral("A validação não foi concluída."), !full, full, [this](const QStringList& lines) {
            const QStringList found = validationFindings(lines);
            if (found.isEmpty())
                Achados->addItem(QStringLiteral("Nenhum problema encontrado."));
            else
                Achados->addItems(found);
            LbSituacao->setText(found.isEmpty() ? QStringLiteral("Validação concluída: nenhum problema encontrado.")
                                                : QStringLiteral("Validação concluída: o servidor encontrou problemas "
                                                                 "(veja o resultado)."));
        });
}

void TFManutencao::SweepClick() {
    const QString path = m_target.path();
    runAction(QStringLiteral("Sweep em andamento..."), [path] { return sweepRequest(path); },
              QStringLiteral("O sweep não foi concluído."), true, false, [this](const QStringList&) {
                  LbSituacao->setText(QStringLiteral("Sweep concluído em %1.").arg(elapsedText(elapsedMs())));
              });
}

void TFManutencao::MendClick() {
    if (!confirmed(QStringLiteral("O mend marca os registros danificados como indisponíveis: os dados deles se "
                                  "perdem. Faça um backup antes. ") +
                   kAlone + QStringLiteral(" Continuar?")))
        return;
    const QString path = m_target.path();
    runAction(QStringLiteral("Mend em andamento..."), [path] { return mendRequest(path); },
              QStringLiteral("O mend não foi concluído."), false, true, [this](const QStringList&) {
                  LbSituacao->setText(QStringLiteral("Mend concluído em %1.").arg(elapsedText(elapsedMs())));
              });
}

void TFManutencao::DesligaClick() {
    const auto mode = static_cast<ShutdownMode>(CbModo->currentData().toInt());
    const ShutdownMethod method = RbForcar->isChecked()        ? ShutdownMethod::Force
                                  : RbSemConexoes->isChecked() ? ShutdownMethod::DenyNewAttachments
                                                               : ShutdownMethod::DenyNewTransactions;
    const int seconds = SpTempo->value();
    QString how;
    switch (method) {
    case ShutdownMethod::Force:
        how = QStringLiteral("As outras conexões serão encerradas em %1 segundos.").arg(seconds);
        break;
    case ShutdownMethod::DenyNewAttachments:
        how = QStringLiteral("O servidor espera até %1 segundos que as outras conexões saiam; se não saírem, o banco "
                             "não é desligado.")
                  .arg(seconds);
        break;
    case ShutdownMethod::DenyNewTransactions:
        how = QStringLiteral("O servidor espera até %1 segundos que as transações terminem; se não terminarem, o "
                             "banco não é desligado.")
                  .arg(seconds);
        break;
    }
    if (!confirmed(QStringLiteral("Desligar o banco %1 (%2)? %3 %4")
                       .arg(m_target.path(), modeName(mode), how, kAlone)))
        return;
    const QString path = m_target.path();
    runAction(
        QStringLiteral("Desligando o banco..."), [path, mode, method, seconds] {
            return shutdownRequest(path, mode, method, seconds);
        },
        QStringLiteral("O banco não foi desligado."), false, true, [this, mode](const QStringList&) {
            LbSituacao->setText(QStringLiteral("Banco desligado: %1.").arg(modeName(mode)));
        });
}

void TFManutencao::OnlineClick() {
    // A database in single-user maintenance takes one attachment: the program's own would keep the
    // service out, so it lets go for the time (there is nothing pending on a database shut down).
    const bool shutDown = LbEstado->property("shutdown").toInt() != static_cast<int>(ShutdownMode::Online);
    const QString path = m_target.path();
    runAction(QStringLiteral("Pondo o banco online..."), [path] { return onlineRequest(path); },
              QStringLiteral("O banco não voltou ao normal."), false, shutDown, [this](const QStringList&) {
                  LbSituacao->setText(QStringLiteral("Banco online."));
              });
}
