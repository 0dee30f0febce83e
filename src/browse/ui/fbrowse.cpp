#include "browse/ui/fbrowse.h"
#include "browse/browsestate.h"
#include "browse/filtertext.h"
#include "browse/ui/browsegrid.h"
#include "browse/ui/editortable.h"
#include "browse/ui/fcampos.h"
#include "browse/ui/fmemo.h"
#include "browse/ui/fordem.h"
#include "browse/ui/fwhere.h"
#include "connection/datasetmodel.h"
#include "connection/datasource.h"
#include "connection/dm.h"
#include "connection/ui/failedfetchwatch.h"
#include "connection/ui/fetchallline.h"
#include "connection/transaction.h"
#include "export/spreadsheetexport.h"
#include "platform/apperror.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {
TdM* holder() {
    TdM* dm = TdM::instance();
    if (!dm) throw AppError(QStringLiteral("Cannot perform operation -- DB is not open"));
    return dm;
}
} // namespace

TFBrowse::TFBrowse(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FBrowse"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(sansFont(11));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, winColor(12962988));
    setPalette(pal);
    resize(634, 349);

    IBDataSet1 = new DataSet(this);
    IBDataSet1->setObjectName(QStringLiteral("IBDataSet1"));
    if (TdM* dm = TdM::instance()) {
        IBDataSet1->setDatabase(dm->Banco);
        IBDataSet1->setTransaction(dm->Trans);
    }
    DS = new DataSetModel(IBDataSet1, this);
    DS->setObjectName(QStringLiteral("DS"));
    // While the dataset adds or removes rows the view moves its current cell by itself; those moves
    // must not reach back into the dataset in the middle of its change. Connected before the view
    // is, so the flag is up before the view reacts.
    auto changing = [this] { m_modelChanging = true; };
    auto changed = [this] {
        m_modelChanging = false;
        // The grid follows the dataset's row once the view has taken the change in.
        QTimer::singleShot(0, this, [this] { dataSetRowChanged(IBDataSet1->currentRow()); });
    };
    connect(DS, &QAbstractItemModel::rowsAboutToBeRemoved, this, changing);
    connect(DS, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(DS, &QAbstractItemModel::rowsAboutToBeInserted, this, changing);
    connect(DS, &QAbstractItemModel::rowsInserted, this, changed);
    connect(DS, &QAbstractItemModel::modelAboutToBeReset, this, changing);
    connect(DS, &QAbstractItemModel::modelReset, this, changed);

    Gs = new DataGridView(DS, this); // what its cell editor holds belongs to the row
    Gs->setObjectName(QStringLiteral("Gs"));
    Gs->move(4, 2);
    Gs->setFont(sansFont(16));
    Gs->setVerticalHeader(new RowIndicatorHeader(IBDataSet1, Gs));
    Gs->setSelectionMode(QAbstractItemView::SingleSelection);
    Gs->setSelectionBehavior(QAbstractItemView::SelectItems);
    Gs->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
    Gs->setTabKeyNavigation(true);
    Gs->setShowGrid(true);
    Gs->horizontalHeader()->setFont(sansFont(13));
    Gs->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Gs->horizontalHeader()->setHighlightSections(false);
    const QString fixed = winColor(12058551).name();
    Gs->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; border: 0px; border-right: 1px solid "
                       "gray; border-bottom: 1px solid gray; padding: 2px; }")
            .arg(fixed));
    Gs->setStyleSheet(QStringLiteral("QTableCornerButton::section { background-color: %1; }").arg(fixed));
    Gs->verticalHeader()->setDefaultSectionSize(QFontMetrics(Gs->font()).height() + 6);
    Gs->installEventFilter(this);
    new FailedFetchWatch(Gs, IBDataSet1);

    Comandos = new QLabel(QStringLiteral("F6-[Campos]   F7-[Excel]   F8-[Form]   F9-[Abre]   F10-[Ordem]   "
                                         "F11-[Filtro]   F12-[Busca]"),
                          this);
    Comandos->setObjectName(QStringLiteral("Comandos"));
    Comandos->setFont(sansFont(11, true));
    Comandos->move(0, 287);
    Comandos->adjustSize();

    Leitura = new FetchAllLine(Gs, IBDataSet1, this);

    Botoes = new QWidget(this);
    Botoes->setObjectName(QStringLiteral("Botoes"));
    Botoes->setGeometry(2, 304, 586, 41);

    SCommit = makeButton("SCommit", "disk-check", 3, 64, QStringLiteral("Grava"), QString(),
                         &TFBrowse::SCommitClick);
    SRollback = makeButton("SRollback", "undo-arrow", 68, 64, QStringLiteral("Desfaz"), QString(),
                           &TFBrowse::SRollbackClick);
    SCampos = makeButton("SCampos", "columns-check", 137, 32, QString(), QStringLiteral("Seleciona Campos"),
                         &TFBrowse::SCamposClick);
    SExcel = makeButton("SExcel", "spreadsheet", 170, 32, QString(), QStringLiteral("Exporta para o Excel"),
                        &TFBrowse::SExcelClick);
    Sform =
        makeButton("Sform", "form", 203, 32, QString(), QStringLiteral("Formulário"), &TFBrowse::SformClick);
    SAbre = makeButton("SAbre", "folder-open", 240, 32, QString(), QStringLiteral("Abre a tabela"),
                       &TFBrowse::SAbreClick);
    SNovo =
        makeButton("SNovo", "page-plus", 273, 32, QString(), QStringLiteral("Novo"), &TFBrowse::SNovoClick);
    SGrava =
        makeButton("SGrava", "check", 306, 32, QString(), QStringLiteral("Grava"), &TFBrowse::SGravaClick);
    SCancela = makeButton("SCancela", "cross", 339, 32, QString(), QStringLiteral("Cancela"),
                          &TFBrowse::SCancelaClick);
    SEdita =
        makeButton("SEdita", "pencil", 372, 32, QString(), QStringLiteral("Edita"), &TFBrowse::SEditaClick);
    SExclui = makeButton("SExclui", "page-minus", 405, 32, QString(), QStringLiteral("Exclui"),
                         &TFBrowse::SExcluiClick);
    Sorder =
        makeButton("Sorder", "sort-az", 442, 32, QString(), QStringLiteral("Ordem"), &TFBrowse::SorderClick);
    SFiltro = makeButton("SFiltro", "funnel", 475, 32, QString(), QStringLiteral("Filtro"),
                         &TFBrowse::SFiltroClick);
    SBusca = makeButton("SBusca", "magnifier", 508, 32, QString(), QStringLiteral("Busca"),
                        &TFBrowse::SBuscaClick);
    SSai = makeButton("SSai", "door-arrow", 551, 32, QString(), QString(), &TFBrowse::SSaiClick);

    connect(IBDataSet1, &DataSet::stateChanged, this, [this](DataSet::State s) { DSStateChange(s); });
    connect(IBDataSet1, &DataSet::currentRowChanged, this, [this](int row) { dataSetRowChanged(row); });
    connect(IBDataSet1, &DataSet::focusField, this, [this](int field) { focusField(field); });
    connect(Gs->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { gridRowChanged(current.row()); });

    FormResize();
}

TFBrowse::~TFBrowse() {
    // The grid goes before the dataset it shows; an edit in progress is abandoned with the dataset,
    // whose last state change no longer concerns this half-destroyed window.
    IBDataSet1->disconnect(this);
    DS->disconnect(this);
    delete Gs;
    Gs = nullptr;
    delete DS;
    DS = nullptr;
    delete IBDataSet1;
    IBDataSet1 = nullptr;
}

QToolButton* TFBrowse::makeButton(const char* name, const char* picture, int left, int width,
                                  const QString& caption, const QString& hint, void (TFBrowse::*handler)()) {
    auto* b = new QToolButton(Botoes);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 5, width, 31);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setIcon(subjectIcon(QLatin1String(picture)));
    b->setIconSize(QSize(20, 20));
    b->setFocusPolicy(Qt::NoFocus); // the grid keeps the focus, as with flat speed buttons
    if (!caption.isEmpty()) {
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    if (!hint.isEmpty()) b->setToolTip(hint);
    connect(b, &QToolButton::clicked, this, guarded([this, handler] { (this->*handler)(); }));
    return b;
}

void TFBrowse::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    // Inside the main window: a fixed border (its edges do not resize it); minimize and maximize stay.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->setWindowFlags(sub->windowFlags() | Qt::MSWindowsFixedSizeDialogHint);
        sub->show();
    }
    FormShow();
}

void TFBrowse::FormShow() {
    runGuarded([this] {
        TdM* dm = holder();
        // 1-2: the statements of CurrentTable; this window keeps its own copies.
        dm->TableStatementGenerator();
        IBDataSet1->setDatabase(dm->Banco);
        IBDataSet1->setTransaction(dm->Trans);
        IBDataSet1->setSelectSQL({BrowseSelect});
        IBDataSet1->setInsertSQL({InsertStatement});
        IBDataSet1->setDeleteSQL({DeleteStatement});
        IBDataSet1->setModifySQL({ModifyStatement});
        IBDataSet1->setRefreshSQL({RefreshStatement});
        // 3: opening starts the default transaction when needed.
        IBDataSet1->open();
        // 4
        SAbre->setEnabled(false);
        // 5-6
        resetSharedTools();
    });
    // 7
    FormResize();
}

int TFBrowse::dialect() const {
    Database* db = IBDataSet1->database();
    return db ? db->sqlDialect() : 3;
}

QStringList TFBrowse::fieldNames() const {
    QStringList names;
    for (int i = 0; i < IBDataSet1->fieldCount(); ++i)
        names << IBDataSet1->field(i)->fieldName();
    return names;
}

void TFBrowse::resetSharedTools() {
    // The filter and order windows now belong to this window.
    TFWhere::instance()->clearConditions();
    TFOrdem::instance()->setFields(fieldNames(), dialect());
    BaseSelect.clear();
    FilterClause.clear();
    OrderClause.clear();
}

void TFBrowse::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    FormResize();
}

void TFBrowse::FormResize() {
    // W and H are the outer size: the sub-window's frame inside the main window.
    QWidget* frame = childFrame(this);
    const QSize outer = frame == this ? frameGeometry().size() : frame->size();
    const int w = outer.width();
    const int h = outer.height();
    Gs->resize(w - 17, h - 100);
    Leitura->setGeometry(4, h - 96, w - 17, 22);
    Botoes->move((w - Botoes->width()) / 2, h - 70);
    Comandos->move((w - Comandos->width()) / 2, h - 90);
}

void TFBrowse::DSStateChange(DataSet::State state) {
    const bool browse = state == DataSet::Browse;
    for (QToolButton* b :
         {SNovo, SEdita, SExclui, SFiltro, Sorder, SBusca, SCampos, SExcel, Sform, SSai, SRollback, SCommit})
        b->setEnabled(browse);
    SGrava->setEnabled(!browse);
    SCancela->setEnabled(!browse);
    if (Gs) Gs->verticalHeader()->viewport()->update();
}

void TFBrowse::SCommitClick() {
    endTransaction(&Transaction::commit); // closes every dataset of the transaction first
}

void TFBrowse::SRollbackClick() {
    endTransaction(&Transaction::rollback);
}

void TFBrowse::endTransaction(void (Transaction::*end)()) {
    // The datasets are closed before the server answers. When it refuses, the table must still
    // reopen: a refused commit leaves the transaction and its work open, to be seen and committed
    // again; otherwise this window would be left with nothing enabled.
    const auto reopenable = qScopeGuard([this] {
        if (!IBDataSet1->active()) SAbre->setEnabled(true);
    });
    (holder()->Trans->*end)();
    SRollback->setEnabled(false);
    SCommit->setEnabled(false);
}

void TFBrowse::SAbreClick() {
    Transaction* tr = holder()->Trans;
    if (!tr->active()) tr->start();
    IBDataSet1->open();
    SRollback->setEnabled(true);
    SCommit->setEnabled(true);
    SAbre->setEnabled(false);
}

void TFBrowse::SNovoClick() {
    // The new row goes after the last one: the rows not read yet are read first, in the background.
    if (Leitura->deferUntilAllRead([this] { SNovoClick(); })) return;
    IBDataSet1->append();
    const int row = IBDataSet1->currentRow();
    if (row >= 0 && DS->columnCount() > 0) {
        m_syncing = true;
        Gs->setCurrentIndex(DS->index(row, 0));
        m_syncing = false;
        Gs->scrollTo(DS->index(row, 0));
    }
    Gs->setFocus();
}

void TFBrowse::SEditaClick() {
    IBDataSet1->edit();
}

void TFBrowse::SGravaClick() {
    IBDataSet1->post();
}

void TFBrowse::SCancelaClick() {
    IBDataSet1->cancel();
}

void TFBrowse::SExcluiClick() {
    if (showMessage(QStringLiteral("Deseja apagar este registro ????"), QStringLiteral("Atenção"),
                    MsgIcon::Warning, MbYes | MbNo, MbNo) == MbYes)
        IBDataSet1->remove();
}

Field* TFBrowse::selectedField() const {
    if (DS->columnCount() == 0) return nullptr;
    const QModelIndex current = Gs->currentIndex();
    const int field = DS->fieldIndex(current.isValid() ? current.column() : 0);
    return field >= 0 ? IBDataSet1->field(field) : nullptr;
}

void TFBrowse::SBuscaClick() {
    Field* field = selectedField();
    if (!field) return;
    const QString name = field->fieldName();
    InputRequest request;
    request.caption = QStringLiteral("Digite Informação para");
    request.prompt = name;
    QString answer;
    if (!Prompts::instance().input(request, &answer)) answer.clear();
    if (answer.trimmed().isEmpty()) return;
    // The text as typed, leading blanks included.
    const int options = DataSet::CaseInsensitive | DataSet::PartialKey;
    const bool unread = IBDataSet1->active() && !IBDataSet1->allFetched() && !IBDataSet1->fetchFailed();
    if (unread && IBDataSet1->findRow(name, answer, options, 0) < 0) {
        searchUnreadRows(name, answer, options);
        return;
    }
    if (!IBDataSet1->locate(name, answer, options))
        showMessage(QStringLiteral("Não Achei informações para esse dado, tente novamente..."),
                    QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
}

void TFBrowse::searchUnreadRows(const QString& fieldName, const QString& text, int options) {
    auto* search = new QObject(this); // lives as long as this search
    auto tested = std::make_shared<int>(IBDataSet1->rowCount());
    auto found = std::make_shared<bool>(false);
    connect(IBDataSet1, &DataSet::rowsFetched, search, [=, this](int, int last) {
        if (*found) return;
        const int hit = IBDataSet1->findRow(fieldName, text, options, *tested);
        *tested = last + 1;
        if (hit < 0) return;
        *found = true;
        IBDataSet1->cancelBackgroundFetch(); // the rows read stay
        runGuarded([this, hit] { IBDataSet1->setCurrentRow(hit); });
    });
    connect(IBDataSet1, &DataSet::backgroundFetchEnded, search, [search] { search->deleteLater(); });
    try {
        const bool waiting = Leitura->deferUntilAllRead([found] {
            if (*found) return; // the match came with the last rows
            showMessage(QStringLiteral("Não Achei informações para esse dado, tente novamente..."),
                        QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        });
        if (!waiting) delete search;
    } catch (...) {
        delete search;
        throw;
    }
}

void TFBrowse::SSaiClick() {
    childFrame(this)->close();
}

void TFBrowse::SCamposClick() {
    TFCampos chooser(this); // released when this use ends
    QList<bool> visible;
    for (int i = 0; i < IBDataSet1->fieldCount(); ++i)
        visible << IBDataSet1->field(i)->visible();
    chooser.setFields(IBDataSet1->fieldDefNames(), visible);
    if (chooser.exec() != QDialog::Accepted) return;
    const QList<bool> ticks = chooser.ticks();
    if (!ticks.contains(true)) return; // a grid without columns is not a choice
    for (int i = 0; i < IBDataSet1->fieldCount() && i < ticks.size(); ++i)
        IBDataSet1->field(i)->setVisible(ticks.at(i));
    DS->refreshColumns();
    dataSetRowChanged(IBDataSet1->currentRow()); // the grid's cursor back on the current row
}

void TFBrowse::SorderClick() {
    TFOrdem* ordem = TFOrdem::instance();
    ordem->exec();
    if (!ordem->OrderConfirmed) return;
    OrderClause = ordem->OrderText;
    BaseSelect = IBDataSet1->selectSQL().value(0);
    IBDataSet1->close();
    IBDataSet1->setSelectSQL(filteredSelect(BaseSelect, FilterClause, OrderClause));
    IBDataSet1->open(); // a failure is reported and leaves the dataset closed
}

void TFBrowse::SFiltroClick() {
    TFWhere* where = TFWhere::instance();
    where->setFields(IBDataSet1->fieldDefNames(), dialect());
    where->HasConditions = !where->conditionText().trimmed().isEmpty();
    where->exec();
    if (!where->FilterConfirmed) return;
    BaseSelect = IBDataSet1->selectSQL().value(0);
    FilterClause = filterClauseFromText(where->conditionText());
    IBDataSet1->close();
    IBDataSet1->setSelectSQL(filteredSelect(BaseSelect, FilterClause, OrderClause));
    try {
        IBDataSet1->open();
    } catch (const std::exception&) {
        // The user typed the filter: whatever the server says, the rows come back without it.
        showMessage(QStringLiteral("Filtro inválido"), QStringLiteral("Erro"), MsgIcon::Error, MbOk);
        FilterClause.clear();
        IBDataSet1->setSelectSQL(unfilteredSelect(BaseSelect, OrderClause));
        IBDataSet1->open();
    }
}

void TFBrowse::SExcelClick() {
    if (Leitura->deferUntilAllRead([this] { SExcelClick(); })) return; // every row, read in the background
    // Nothing is painted before the export ends: the grid's painting waits meanwhile, and its
    // cursor goes to the row where the walk ended once, instead of moving and scrolling with every
    // row (which took several times as long as the export itself).
    const bool painting = Gs->updatesEnabled();
    Gs->setUpdatesEnabled(false);
    m_walking = true;
    const auto resume = qScopeGuard([this, painting] {
        m_walking = false;
        dataSetRowChanged(IBDataSet1->currentRow());
        Gs->setUpdatesEnabled(painting);
    });
    SpreadsheetExport(*IBDataSet1,
                      {ExportControls::BeforeWorkbook, [this](bool on) { SetBrowseControlsEnabled(on); }});
}

void TFBrowse::SetBrowseControlsEnabled(bool enabled) {
    Gs->setEnabled(enabled);
    Botoes->setEnabled(enabled);
}

void TFBrowse::SformClick() {
    TEditorTable form(this); // released when this use ends
    form.Ds->setDataSet(IBDataSet1);
    form.exec();
}

bool TFBrowse::FormKeyDown(int key) {
    if (IBDataSet1->state() != DataSet::Browse) return false;
    static const struct {
        int key;
        void (TFBrowse::*handler)();
    } keys[] = {{Qt::Key_F6, &TFBrowse::SCamposClick}, {Qt::Key_F7, &TFBrowse::SExcelClick},
                {Qt::Key_F8, &TFBrowse::SformClick},   {Qt::Key_F9, &TFBrowse::SAbreClick},
                {Qt::Key_F10, &TFBrowse::SorderClick}, {Qt::Key_F11, &TFBrowse::SFiltroClick},
                {Qt::Key_F12, &TFBrowse::SBuscaClick}};
    for (const auto& k : keys) {
        if (k.key != key) continue;
        runGuarded([this, handler = k.handler] { (this->*handler)(); });
        return true;
    }
    return false;
}

bool TFBrowse::GsKeyDown(int key) {
    if (Gs->editorOpen()) return false; // the keys of an open cell editor are its own
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        Field* field = selectedField();
        if (!field || !field->isBlob()) return false;
        TFmemo* memo = TFmemo::instance();
        memo->bind(IBDataSet1, field->fieldName());
        memo->exec();
        return true;
    }
    case Qt::Key_Delete:
        if (SExclui->isEnabled()) runGuarded([this] { SExcluiClick(); });
        return true;
    case Qt::Key_F2:
        if (SEdita->isEnabled()) runGuarded([this] { SEditaClick(); });
        return false; // the grid then opens its in-place editor
    default:
        return false;
    }
}

void TFBrowse::keyPressEvent(QKeyEvent* e) {
    // Keys the focused control left alone reach the window here.
    if (!FormKeyDown(e->key())) QWidget::keyPressEvent(e);
}

bool TFBrowse::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Gs && e->type() == QEvent::KeyPress) return GsKeyDown(static_cast<QKeyEvent*>(e)->key());
    return QWidget::eventFilter(watched, e);
}

void TFBrowse::closeEvent(QCloseEvent* e) {
    e->accept(); // FormClose: the window is freed (WA_DeleteOnClose)
}

void TFBrowse::gridRowChanged(int row) {
    if (m_syncing || m_modelChanging || row < 0 || !IBDataSet1->active() || row == IBDataSet1->currentRow())
        return;
    // Leaving a changed row posts it; when that fails the grid goes back to the row being edited.
    m_syncing = true;
    runGuarded([this, row] { IBDataSet1->setCurrentRow(row); });
    m_syncing = false;
    if (IBDataSet1->currentRow() != row) dataSetRowChanged(IBDataSet1->currentRow());
}

void TFBrowse::dataSetRowChanged(int row) {
    if (m_syncing || m_modelChanging || m_walking || !Gs) return;
    Gs->verticalHeader()->viewport()->update();
    if (row < 0 || row >= DS->rowCount() || DS->columnCount() == 0) return;
    const QModelIndex current = Gs->currentIndex();
    if (current.isValid() && current.row() == row) return;
    const QModelIndex target = DS->index(row, current.isValid() ? current.column() : 0);
    m_syncing = true;
    Gs->setCurrentIndex(target);
    m_syncing = false;
    Gs->scrollTo(target);
}

void TFBrowse::focusField(int fieldIndex) {
    const int column = DS->columnOf(fieldIndex);
    const int row = IBDataSet1->currentRow();
    if (column < 0 || row < 0 || row >= DS->rowCount()) return;
    m_syncing = true;
    Gs->setCurrentIndex(DS->index(row, column));
    m_syncing = false;
    Gs->setFocus();
}
