#include "sql/ui/fsql.h"
#include "browse/ui/browsegrid.h"
#include "connection/dataset.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/ui/failedfetchwatch.h"
#include "connection/ui/fetchallline.h"
#include "connection/transaction.h"
#include "export/spreadsheetexport.h"
#include "export/ui/printresult.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/uifont.h"
#include "platform/ui/windowplace.h"
#include "platform/wincolor.h"
#include "sql/commandhistory.h"
#include "sql/scriptfile.h"
#include "sql/sqlrunner.h"
#include "sql/ui/fgerasql.h"
#include "sql/ui/sqleditor.h"
#include <QGuiApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
void paintBase(QWidget* w, quint32 colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, winColor(colour));
    w->setPalette(pal);
}

constexpr quint32 kMemoColour = 14799803;
constexpr int kMemoHeight = 105;
} // namespace

TFSql::TFSql(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FSql"));
    setWindowTitle(QStringLiteral("Comandos Sql's"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(sansFont(11)); // MS Sans Serif 8
    resize(653, 391);

    IBSet = new DataSet(this);
    IBSet->setObjectName(QStringLiteral("IBSet"));
    if (TdM* dm = TdM::instance()) {
        IBSet->setDatabase(dm->Banco);
        IBSet->setTransaction(dm->Trans);
    }
    Ds = new DataSetModel(IBSet, this);
    Ds->setObjectName(QStringLiteral("Ds"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1);

    MemoSql = new SqlEditor(Splitter1);
    MemoSql->setObjectName(QStringLiteral("MemoSql"));
    MemoSql->setFont(font());
    MemoSql->setBackground(winColor(kMemoColour));

    // Below the splitter: the tool bar over the grid, which takes every height the memo leaves.
    auto* lower = new QWidget(Splitter1);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);

    ToolBar1 = new QToolBar(lower);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setMovable(false);
    lowerLayout->addWidget(ToolBar1);

    bexe = addButton("bexe", subjectIcon(QStringLiteral("window-gear")), QStringLiteral("Executa o Comando SQL"));
    bger = addButton("bger", subjectIcon(QStringLiteral("sheet-pencil")), QStringLiteral("Cria o SQL"));
    ToolBar1->addSeparator();
    bgra = addButton("bgra", subjectIcon(QStringLiteral("ticked-sheet-pen")), QStringLiteral("Grava alteração no Banco"));
    bcan = addButton("bcan", subjectIcon(QStringLiteral("green-question-mark")), QStringLiteral("Desiste das Alterações"));
    ToolBar1->addSeparator();
    ToolButton3 = addButton("ToolButton3", subjectIcon(QStringLiteral("double-arrow-left")), QString());
    ToolButton5 = addButton("ToolButton5", subjectIcon(QStringLiteral("double-arrow-right")), QString());
    Bsav = addButton("Bsav", subjectIcon(QStringLiteral("floppy-disk")), QStringLiteral("Salva script SQL"));
    Bloa = addButton("Bloa", subjectIcon(QStringLiteral("sheet-in-tray")), QStringLiteral("Carrega Script SQL"));
    ToolBar1->addSeparator();
    bexcel = addButton("bexcel", subjectIcon(QStringLiteral("spreadsheet")), QStringLiteral("Exporta para o Excel"));
    bprint = addButton("bprint", subjectIcon(QStringLiteral("printer")), QStringLiteral("Imprime"));
    ToolBar1->addSeparator();
    bsai = addButton("bsai", subjectIcon(QStringLiteral("door-arrow")), QStringLiteral("Fecha a tela"));
    bgra->setEnabled(false);
    bcan->setEnabled(false);

    Grade = new QTableView(lower);
    Grade->setObjectName(QStringLiteral("Grade"));
    Grade->setModel(Ds);
    Grade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grade->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grade->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* indicator = new RowIndicatorHeader(IBSet, Grade);
    indicator->setFillColor(palette().color(QPalette::Button));
    Grade->setVerticalHeader(indicator);
    indicator->setDefaultSectionSize(Grade->fontMetrics().height() + 4);
    paintBase(Grade, kMemoColour);
    new FailedFetchWatch(Grade, IBSet);
    lowerLayout->addWidget(Grade, 1);
    Leitura = new FetchAllLine(Grade, IBSet, lower);
    lowerLayout->addWidget(Leitura);
    setupWorkbench(lowerLayout);

    Splitter1->addWidget(MemoSql);
    Splitter1->addWidget(lower);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kMemoHeight, 391 - kMemoHeight - Splitter1->handleWidth()});

    connect(Ds, &QAbstractItemModel::modelReset, this, [this] { sizeColumns(); });

    // The grid's current row is the query's current row (exports and printing start from it).
    connect(Grade->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            guarded([this] {
                const int row = Grade->currentIndex().row();
                if (IBSet->active() && row >= 0 && row != IBSet->currentRow()) IBSet->setCurrentRow(row);
                Grade->verticalHeader()->viewport()->update();
            }));

    connect(bexe, &QToolButton::clicked, this, guarded([this] { bexeClick(); }));
    connect(bger, &QToolButton::clicked, this, guarded([this] { bgerClick(); }));
    connect(bgra, &QToolButton::clicked, this, guarded([this] { bgraClick(); }));
    connect(bcan, &QToolButton::clicked, this, guarded([this] { bcanClick(); }));
    connect(ToolButton3, &QToolButton::clicked, this, guarded([this] { ToolButton3Click(); }));
    connect(ToolButton5, &QToolButton::clicked, this, guarded([this] { ToolButton5Click(); }));
    connect(Bsav, &QToolButton::clicked, this, guarded([this] { BsavClick(); }));
    connect(Bloa, &QToolButton::clicked, this, guarded([this] { BloaClick(); }));
    connect(bexcel, &QToolButton::clicked, this, guarded([this] { bexcelClick(); }));
    connect(bprint, &QToolButton::clicked, this, guarded([this] { bprintClick(); }));
    connect(bsai, &QToolButton::clicked, this, guarded([this] { bsaiClick(); }));
}

TFSql::~TFSql() {
    // A statement still running is cancelled and waited for before its query goes.
    delete m_runner;
    m_runner = nullptr;
    // Grid, model and query go while this window is still whole: closing the query resets the
    // model, which must not reach this half-destroyed window. Nothing is committed or rolled back.
    Ds->disconnect(this);
    Grade->selectionModel()->disconnect(this);
    delete Grade;
    Grade = nullptr;
    delete Ds;
    Ds = nullptr;
    delete IBSet;
    IBSet = nullptr;
}

QToolButton* TFSql::addButton(const char* name, const QIcon& picture, const QString& hint) {
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(picture);
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(39, 38);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus); // tool buttons leave the focus in the memo or the grid
    if (!hint.isEmpty()) {
        b->setToolTip(hint);
        b->setCursor(Qt::PointingHandCursor);
    }
    ToolBar1->addWidget(b);
    return b;
}

namespace {
// Characters a column is laid out for, as a data grid sizes its columns from its fields.
int displayChars(const Field* f) {
    switch (f->kind()) {
    case FieldKind::String: return qBound(1, f->size(), 40);
    case FieldKind::SmallInt: return 6;
    case FieldKind::Integer: return 11;
    case FieldKind::LargeInt: return 15;
    case FieldKind::BCD:
    case FieldKind::FmtBCD: return qBound(4, f->precision() + 2, 20);
    case FieldKind::Date: return 10;
    case FieldKind::Time: return 8;
    case FieldKind::DateTime: return 19;
    case FieldKind::Boolean: return 5;
    default: return 10;
    }
}
} // namespace

void TFSql::sizeColumns() {
    const QFontMetrics fm(Grade->font());
    const QFontMetrics titles(Grade->horizontalHeader()->font());
    for (int c = 0; c < Ds->columnCount(); ++c) {
        const int field = Ds->fieldIndex(c);
        if (field < 0) continue;
        const Field* f = IBSet->field(field);
        const int data = displayChars(f) * fm.horizontalAdvance(QChar('0'));
        const int title = titles.horizontalAdvance(f->displayName());
        Grade->setColumnWidth(c, qMax(data, title) + 10);
    }
}

QString TFSql::memoText() const {
    return MemoSql->toPlainText();
}

void TFSql::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_opened) return;
    m_opened = true;
    // First placed in the centre: of the main window's child area, or of the screen.
    placeChildInCentre(this);
    runGuarded([this] { FormShow(); });
}

void TFSql::FormShow() {
    MemoSql->clear();
    startCommandHistory();
}

void TFSql::bexeClick() {
    const QString text = memoText();
    const QString trimmed = trimCommand(text);
    if (trimmed.isEmpty()) {
        showMessage(QStringLiteral("Nenhum comando SQL, foi encontrado para ser executado...."), QStringLiteral("Erro"),
                    MsgIcon::Error, MbOk);
        return;
    }
    if (refusedNul(text)) return;
    // The query is closed, given the memo's lines as they stand and opened; the buttons, the
    // history and the memo follow when the server has answered (runFinished).
    startRun(RunOutcome::OneStatement, text);
}

void TFSql::bgerClick() {
    TFGeraSql* generator = TFGeraSql::instance();
    generator->exec();
    const QString text = generator->sqlText();
    if (!trimCommand(text).isEmpty()) MemoSql->setPlainText(text); // a blank result keeps the memo
}

void TFSql::bgraClick() {
    TdM::instance()->Trans->commitRetaining();
    IBSet->close();
    bgra->setEnabled(false);
    bcan->setEnabled(false);
}

void TFSql::bcanClick() {
    TdM::instance()->Trans->rollbackRetaining();
    IBSet->close();
    bgra->setEnabled(false);
    bcan->setEnabled(false);
}

void TFSql::showHistoryEntry(const QString& entry) {
    const ShownCommand shown = showCommand(entry);
    MemoSql->setPlainText(shown.text);
    MemoSql->setCaretPosition(shown.caret);
}

void TFSql::ToolButton3Click() { showHistoryEntry(previousCommand()); }

void TFSql::ToolButton5Click() { showHistoryEntry(nextCommand()); }

void TFSql::BsavClick() { saveScriptAs(memoText()); }

void TFSql::BloaClick() {
    if (const std::optional<QString> text = loadScript()) MemoSql->setPlainText(*text);
}

void TFSql::bexcelClick() {
    if (Leitura->deferUntilAllRead([this] { bexcelClick(); })) return; // every row, read in the background
    SpreadsheetExport(*IBSet, {ExportControls::AfterWorkbook, [this](bool on) {
                                   ToolBar1->setEnabled(on);
                                   MemoSql->setEnabled(on);
                                   Grade->setEnabled(on);
                               }});
}

void TFSql::bprintClick() {
    if (Leitura->deferUntilAllRead([this] { bprintClick(); })) return; // every row, read in the background
    printListReport(this, IBSet, TFGeraSql::instance()->ReturnedTable);
}

void TFSql::bsaiClick() { childFrame(this)->close(); }
