#include "admin/ui/festatisticas.h"
#include "admin/progresstext.h"
#include "admin/scratchtable.h"
#include "admin/statistics.h"
#include "admin/statsmodel.h"
#include "export/spreadsheetexport.h"
#include "export/ui/printresult.h"
#include "platform/errorreport.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <limits>
#include <memory>

TFEstatisticas::TFEstatisticas(QWidget* parent)
    : TAdminWindow("FEstatisticas", QStringLiteral("Estatísticas do banco"), parent) {
    runGuarded([this] { m_target = AdminTarget::openDatabase(); });

    LbBanco = new QLabel(QStringLiteral("Banco: ") + m_target.connectionString, this);
    LbBanco->setObjectName(QStringLiteral("LbBanco"));
    BtLer = button("BtLer", QStringLiteral("&Ler"), QStringLiteral("folder-open"));
    BtLer->setToolTip(QStringLiteral("Lê as estatísticas de novo"));
    CbSistema = new QCheckBox(QStringLiteral("Incluir tabelas do &sistema"), this);
    CbSistema->setObjectName(QStringLiteral("CbSistema"));
    auto* limitLabel = new QLabel(QStringLiteral("Limite de alerta das &transações:"), this);
    SpLimite = new QSpinBox(this);
    SpLimite->setObjectName(QStringLiteral("SpLimite"));
    SpLimite->setRange(0, std::numeric_limits<int>::max());
    SpLimite->setValue(static_cast<int>(HeaderPage::kDefaultSweepInterval));
    SpLimite->setToolTip(QStringLiteral("Diferenças entre as transações acima deste valor aparecem em destaque"));
    limitLabel->setBuddy(SpLimite);
    BtExporta = button("BtExporta", QStringLiteral("&Exporta"), QStringLiteral("spreadsheet"));
    BtExporta->setToolTip(QStringLiteral("Exporta para o Excel"));
    BtImprime = button("BtImprime", QStringLiteral("&Imprime"), QStringLiteral("printer"));
    BtImprime->setToolTip(QStringLiteral("Imprime"));

    Cabecalho = new StatsModel(this);
    Tabelas = new StatsModel(this);
    Indices = new StatsModel(this);
    Paginas = new QTabWidget(this);
    Paginas->setObjectName(QStringLiteral("Paginas"));
    GrCabecalho = grid("GrCabecalho", Cabecalho);
    GrTabelas = grid("GrTabelas", Tabelas);
    GrIndices = grid("GrIndices", Indices);
    Paginas->addTab(GrCabecalho, QStringLiteral("Cabeçalho"));
    Paginas->addTab(GrTabelas, QStringLiteral("Tabelas"));
    Paginas->addTab(GrIndices, QStringLiteral("Índices"));

    auto* tools = new QHBoxLayout;
    tools->addWidget(BtLer);
    tools->addWidget(CbSistema);
    tools->addSpacing(12);
    tools->addWidget(limitLabel);
    tools->addWidget(SpLimite);
    tools->addStretch(1);
    tools->addWidget(BtExporta);
    tools->addWidget(BtImprime);
    tools->addWidget(BtCancelar);
    tools->addWidget(BtFecha);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LbBanco);
    layout->addLayout(tools);
    layout->addWidget(Paginas, 1);
    layout->addWidget(LbSituacao);
    Saida->hide(); // the statistics are shown as tables only
    setMinimumSize(780, 500);

    connect(BtLer, &QPushButton::clicked, this, guarded([this] { LerClick(); }));
    connect(BtExporta, &QPushButton::clicked, this, guarded([this] { ExportaClick(); }));
    connect(BtImprime, &QPushButton::clicked, this, guarded([this] { ImprimeClick(); }));
    connect(SpLimite, &QSpinBox::valueChanged, this, [this](int limit) {
        if (m_read) fillHeaderModel(*Cabecalho, m_stats.header, limit);
    });
    setInputsEnabled(true);
}

QTableView* TFEstatisticas::grid(const char* name, StatsModel* model) {
    auto* g = new QTableView(this);
    g->setObjectName(QLatin1String(name));
    g->setModel(model);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setAlternatingRowColors(true);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    g->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; border: 0px; border-bottom: 1px solid gray; "
                       "border-right: 1px solid gray; padding: 2px; }")
            .arg(winColor(12058551).name()));
    QPalette pal = g->palette();
    pal.setColor(QPalette::Base, winColor(15658734));
    pal.setColor(QPalette::AlternateBase, winColor(14799803));
    g->setPalette(pal);
    return g;
}

void TFEstatisticas::showEvent(QShowEvent* e) {
    TAdminWindow::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    runGuarded([this] { LerClick(); });
}

void TFEstatisticas::setInputsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{BtLer, CbSistema, BtFecha})
        w->setEnabled(on);
    BtExporta->setEnabled(on && m_read);
    BtImprime->setEnabled(on && m_read);
}

void TFEstatisticas::LerClick() {
    if (running()) return;
    StatisticsOptions options;
    options.systemTables = CbSistema->isChecked();
    const AdminTarget target = m_target;
    auto result = std::make_shared<DbStatistics>();
    startWork(
        QStringLiteral("Lendo as estatísticas..."),
        [target, options, result](ServiceJob& job) { *result = runStatistics(job, target, options); },
        [this, result](bool ok) {
            if (!ok) return;
            m_stats = *result;
            const bool first = !m_read;
            m_read = true;
            if (first) SpLimite->setValue(static_cast<int>(std::min<qint64>(defaultGapLimit(m_stats.header),
                                                                            std::numeric_limits<int>::max())));
            fillHeaderModel(*Cabecalho, m_stats.header, SpLimite->value());
            fillTablesModel(*Tabelas, m_stats);
            fillIndexesModel(*Indices, m_stats);
            for (QTableView* g : {GrCabecalho, GrTabelas, GrIndices})
                g->resizeColumnsToContents();
            setInputsEnabled(true);
            LbSituacao->setText(QStringLiteral("Estatísticas lidas em %1: %2 tabelas, %3 índices")
                                    .arg(elapsedText(elapsedMs()))
                                    .arg(m_stats.tables.size())
                                    .arg(m_stats.indexes.size()));
        });
}

StatsModel* TFEstatisticas::currentModel() const {
    switch (Paginas->currentIndex()) {
    case 1:
        return Tabelas;
    case 2:
        return Indices;
    default:
        return Cabecalho;
    }
}

QString TFEstatisticas::currentTitle() const {
    return QStringLiteral("Estatísticas: ") + Paginas->tabText(Paginas->currentIndex()).toLower();
}

void TFEstatisticas::ExportaClick() {
    ScratchTable table(*currentModel());
    ExportControls controls;
    controls.lockWhen = ExportControls::BeforeWorkbook;
    controls.setEnabled = [this](bool on) { setInputsEnabled(on); };
    SpreadsheetExport(*table.dataSet(), controls);
}

void TFEstatisticas::ImprimeClick() {
    ScratchTable table(*currentModel());
    printListReport(this, table.dataSet(), currentTitle());
}
