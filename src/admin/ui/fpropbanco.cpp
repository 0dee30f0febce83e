#include "admin/ui/fpropbanco.h"
#include "admin/maintenance.h"
#include "admin/ownconnection.h"
#include "admin/serviceparams.h"
#include "admin/statistics.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>
#include <memory>
#include <vector>

namespace {
QString yesNo(bool on) {
    return on ? QStringLiteral("Sim") : QStringLiteral("Não");
}

QLabel* readLabel(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// One change to make: what it is, in words, and the request that makes it.
struct Change {
    QString what;
    std::function<ServiceParams()> request;
};

struct Applied {
    bool headerRead = false;
    HeaderPage header;
};
} // namespace

TFPropriedadesBanco::TFPropriedadesBanco(QWidget* parent)
    : TAdminWindow("FPropriedadesBanco", QStringLiteral("Propriedades do banco"), parent) {
    runGuarded([this] { m_target = AdminTarget::openDatabase(); });

    LbBanco = new QLabel(QStringLiteral("Banco: ") + m_target.connectionString, this);
    LbBanco->setObjectName(QStringLiteral("LbBanco"));
    SpSweep = new QSpinBox(this);
    SpSweep->setObjectName(QStringLiteral("SpSweep"));
    SpSweep->setRange(0, std::numeric_limits<int>::max());
    SpSweep->setSpecialValueText(QStringLiteral("0 (sweep automático desligado)"));
    SpBuffers = new QSpinBox(this);
    SpBuffers->setObjectName(QStringLiteral("SpBuffers"));
    SpBuffers->setRange(0, std::numeric_limits<int>::max());
    SpBuffers->setSpecialValueText(QStringLiteral("0 (padrão do servidor)"));
    CbForcada = new QCheckBox(QStringLiteral("&Gravação forçada"), this);
    CbForcada->setObjectName(QStringLiteral("CbForcada"));
    CbLeitura = new QCheckBox(QStringLiteral("Somente &leitura"), this);
    CbLeitura->setObjectName(QStringLiteral("CbLeitura"));
    CbDialeto = new QComboBox(this);
    CbDialeto->setObjectName(QStringLiteral("CbDialeto"));
    CbDialeto->addItem(QStringLiteral("1"), 1);
    CbDialeto->addItem(QStringLiteral("3"), 3);
    LbSweep = readLabel("LbSweep", this);
    LbBuffers = readLabel("LbBuffers", this);
    LbForcada = readLabel("LbForcada", this);
    LbLeitura = readLabel("LbLeitura", this);
    LbDialeto = readLabel("LbDialeto", this);
    BtAplica = button("BtAplica", QStringLiteral("&Aplicar"), QStringLiteral("check"));
    BtRele = button("BtRele", QStringLiteral("&Reler"), QStringLiteral("folder-open"));

    auto* grid = new QGridLayout;
    auto* sweepLabel = new QLabel(QStringLiteral("Intervalo de &sweep:"), this);
    sweepLabel->setBuddy(SpSweep);
    auto* buffersLabel = new QLabel(QStringLiteral("&Buffers de página:"), this);
    buffersLabel->setBuddy(SpBuffers);
    auto* dialectLabel = new QLabel(QStringLiteral("&Dialeto SQL:"), this);
    dialectLabel->setBuddy(CbDialeto);
    grid->addWidget(new QLabel(QStringLiteral("Propriedade"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Novo valor"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Lido do banco"), this), 0, 2);
    grid->addWidget(sweepLabel, 1, 0);
    grid->addWidget(SpSweep, 1, 1);
    grid->addWidget(LbSweep, 1, 2);
    grid->addWidget(buffersLabel, 2, 0);
    grid->addWidget(SpBuffers, 2, 1);
    grid->addWidget(LbBuffers, 2, 2);
    grid->addWidget(CbForcada, 3, 1);
    grid->addWidget(LbForcada, 3, 2);
    grid->addWidget(CbLeitura, 4, 1);
    grid->addWidget(LbLeitura, 4, 2);
    grid->addWidget(dialectLabel, 5, 0);
    grid->addWidget(CbDialeto, 5, 1);
    grid->addWidget(LbDialeto, 5, 2);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtAplica);
    buttons->addWidget(BtRele);
    buttons->addStretch(1);
    buttons->addWidget(BtFecha);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LbBanco);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(Saida, 1);
    layout->addWidget(LbSituacao);
    BtCancelar->hide(); // a property changes at once: there is nothing to stop
    setMinimumSize(560, 400);

    connect(BtAplica, &QPushButton::clicked, this, guarded([this] { AplicaClick(); }));
    connect(BtRele, &QPushButton::clicked, this, guarded([this] { ReleClick(); }));
    setInputsEnabled(true);
}

void TFPropriedadesBanco::showEvent(QShowEvent* e) {
    TAdminWindow::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    runGuarded([this] { ReleClick(); });
}

void TFPropriedadesBanco::setInputsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{SpSweep, SpBuffers, CbForcada, CbLeitura, CbDialeto, BtRele,
                                                      BtFecha})
        w->setEnabled(on);
    BtAplica->setEnabled(on && m_hasRead);
}

void TFPropriedadesBanco::showValues(const HeaderPage& h) {
    m_read = h;
    m_hasRead = true;
    const QLocale locale;
    const qint64 sweep = h.effectiveSweepInterval();
    LbSweep->setText(locale.toString(sweep) + (h.sweepInterval < 0 ? QStringLiteral(" (padrão)") : QString()));
    LbBuffers->setText(h.pageBuffers == 0 ? QStringLiteral("0 (padrão do servidor)") : locale.toString(h.pageBuffers));
    LbForcada->setText(yesNo(h.forcedWrites));
    LbLeitura->setText(yesNo(h.readOnly));
    LbDialeto->setText(QString::number(h.dialect));
    SpSweep->setValue(static_cast<int>(std::min<qint64>(sweep, std::numeric_limits<int>::max())));
    SpBuffers->setValue(static_cast<int>(std::min<qint64>(h.pageBuffers, std::numeric_limits<int>::max())));
    CbForcada->setChecked(h.forcedWrites);
    CbLeitura->setChecked(h.readOnly);
    CbDialeto->setCurrentIndex(CbDialeto->findData(h.dialect));
}

void TFPropriedadesBanco::ReleClick() {
    if (running()) return;
    const AdminTarget target = m_target;
    auto header = std::make_shared<HeaderPage>();
    startWork(
        QStringLiteral("Lendo as propriedades..."),
        [target, header](ServiceJob&) { *header = readHeaderPage(target.serviceLogin(), target.path()); },
        [this, header](bool ok) {
            if (!ok) return;
            showValues(*header);
            setInputsEnabled(true);
            LbSituacao->setText(QString());
        });
}

void TFPropriedadesBanco::AplicaClick() {
    if (running() || !m_hasRead) return;
    const QString path = m_target.path();
    const quint32 sweep = static_cast<quint32>(SpSweep->value());
    const quint32 buffers = static_cast<quint32>(SpBuffers->value());
    const bool forced = CbForcada->isChecked();
    const bool readOnly = CbLeitura->isChecked();
    const int dialect = CbDialeto->currentData().toInt();

    std::vector<Change> changes;
    if (sweep != static_cast<quint32>(m_read.effectiveSweepInterval()))
        changes.push_back({QStringLiteral("intervalo de sweep"), [path, sweep] { return sweepIntervalRequest(path, sweep); }});
    if (buffers != static_cast<quint32>(m_read.pageBuffers))
        changes.push_back({QStringLiteral("buffers de página"), [path, buffers] { return pageBuffersRequest(path, buffers); }});
    if (forced != m_read.forcedWrites)
        changes.push_back({QStringLiteral("gravação forçada"), [path, forced] { return forcedWritesRequest(path, forced); }});
    if (dialect != m_read.dialect)
        changes.push_back({QStringLiteral("dialeto SQL"), [path, dialect] { return dialectRequest(path, dialect); }});
    const bool accessChanges = readOnly != m_read.readOnly;
    if (accessChanges) {
        // A read-only database takes no other change: it goes read-only last, and read-write first.
        Change access{QStringLiteral("somente leitura"), [path, readOnly] { return readOnlyRequest(path, readOnly); }};
        if (readOnly)
            changes.push_back(access);
        else
            changes.insert(changes.begin(), access);
    }
    if (changes.empty()) {
        LbSituacao->setText(QStringLiteral("Nenhuma propriedade foi mudada."));
        return;
    }
    if (dialect != m_read.dialect &&
        showMessage(QStringLiteral("Mudar o dialeto SQL do banco de %1 para %2? Comandos escritos para o dialeto "
                                   "antigo podem passar a dar outro resultado.")
                        .arg(m_read.dialect)
                        .arg(dialect),
                    QStringLiteral("Atenção"), MsgIcon::Warning, MbYes | MbNo, MbNo) != MbYes)
        return;
    if (accessChanges &&
        showMessage(QStringLiteral("Mudar o modo somente leitura exige o banco sem conexões. A conexão deste programa "
                                   "com o banco será fechada enquanto isso (as alterações pendentes serão gravadas) e "
                                   "refeita no fim. Continuar?"),
                    QStringLiteral("Atenção"), MsgIcon::Warning, MbYes | MbNo, MbNo) != MbYes)
        return;
    if (accessChanges) OwnConnection::release();

    const AdminTarget target = m_target;
    auto applied = std::make_shared<Applied>();
    startWork(
        QStringLiteral("Aplicando as propriedades..."),
        [target, changes, applied](ServiceJob& job) {
            std::exception_ptr failure;
            try {
                for (const Change& c : changes) {
                    job.postLine(QStringLiteral("Mudando: ") + c.what);
                    runMaintenance(job, target, c.request(),
                                   QStringLiteral("A propriedade \"%1\" não foi mudada.").arg(c.what), false);
                }
            } catch (...) {
                failure = std::current_exception();
            }
            // What the database holds now, whatever was changed.
            try {
                applied->header = readHeaderPage(target.serviceLogin(), target.path());
                applied->headerRead = true;
            } catch (...) {
            }
            if (failure) std::rethrow_exception(failure);
        },
        [this, accessChanges, applied](bool ok) {
            if (applied->headerRead) showValues(applied->header);
            setInputsEnabled(true);
            if (ok) LbSituacao->setText(QStringLiteral("Propriedades aplicadas."));
            QString reason;
            if (accessChanges && !OwnConnection::retake(&reason))
                LbSituacao->setText(LbSituacao->text() + QStringLiteral("\nA conexão deste programa com o banco não "
                                                                        "pôde ser refeita agora (%1).")
                                                             .arg(reason.section(QStringLiteral("\r\n"), 0, 0)));
        });
}
