#include "admin/ui/objetos.h"
#include "admin/objectbrowser.h"
#include "admin/ui/adminlook.h"
#include "browse/ui/fbrowse.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/identifiers.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include "sql/ui/fsql.h"
#include "sql/ui/sqleditor.h"
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr quint32 kEditorColour = 14799803;
constexpr quint32 kListColour = 15658734;
constexpr int kKindRole = Qt::UserRole;
constexpr int kEntryRole = Qt::UserRole + 1; // index into m_entries; -1 on a kind's branch

void paintBase(QWidget* w, quint32 colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, winColor(colour));
    w->setPalette(pal);
}

QTreeWidget* dependencyList(QWidget* parent, const char* name) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setHeaderLabels({QStringLiteral("Tipo"), QStringLiteral("Nome"), QStringLiteral("Colunas")});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setSectionResizeMode(QHeaderView::Interactive);
    list->setColumnWidth(0, 150);
    list->setColumnWidth(1, 160);
    paintBase(list, kListColour);
    return list;
}

int dialect() {
    TdM* dm = TdM::instance();
    return dm ? dm->Banco->sqlDialect() : 3;
}
} // namespace

TObjetos::TObjetos(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Objetos"));
    setWindowTitle(QStringLiteral("Objetos do banco"));
    setAttribute(Qt::WA_DeleteOnClose);
    paintAdminWindow(this);
    resize(sizeHint());

    TdM* dm = TdM::instance();
    m_browser = new ObjectBrowser(dm ? dm->Banco : nullptr, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    layout->addWidget(split, 1);

    Arvore = new QTreeWidget(split);
    Arvore->setObjectName(QStringLiteral("Arvore"));
    Arvore->setHeaderLabels({QStringLiteral("Objeto"), QStringLiteral("Detalhe")});
    Arvore->setColumnWidth(0, 170);
    Arvore->setSelectionMode(QAbstractItemView::SingleSelection);
    paintBase(Arvore, kListColour);

    auto* right = new QSplitter(Qt::Vertical, split);
    right->setChildrenCollapsible(false);
    Ddl = new SqlEditor(right);
    Ddl->setObjectName(QStringLiteral("Ddl"));
    Ddl->setReadOnly(true);
    Ddl->setFont(sansFont(11));
    Ddl->setBackground(winColor(kEditorColour));

    auto* lists = new QWidget(right);
    auto* listsLayout = new QHBoxLayout(lists);
    listsLayout->setContentsMargins(0, 0, 0, 0);
    auto* usesBox = new QVBoxLayout;
    LUsa = new QLabel(QStringLiteral("&Usa:"), lists);
    LUsa->setObjectName(QStringLiteral("LUsa"));
    Usa = dependencyList(lists, "Usa");
    LUsa->setBuddy(Usa);
    usesBox->addWidget(LUsa);
    usesBox->addWidget(Usa);
    auto* usedBox = new QVBoxLayout;
    LUsadoPor = new QLabel(QStringLiteral("Usado &por:"), lists);
    LUsadoPor->setObjectName(QStringLiteral("LUsadoPor"));
    UsadoPor = dependencyList(lists, "UsadoPor");
    LUsadoPor->setBuddy(UsadoPor);
    usedBox->addWidget(LUsadoPor);
    usedBox->addWidget(UsadoPor);
    listsLayout->addLayout(usesBox);
    listsLayout->addLayout(usedBox);
    right->addWidget(Ddl);
    right->addWidget(lists);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    split->addWidget(Arvore);
    split->addWidget(right);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setSizes({300, 448});
    right->setSizes({270, 160});

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    auto add = [&](QPushButton* b) { buttons->addWidget(b); };
    add(BAbre = addButton("BAbre", QStringLiteral("&Abre"), QStringLiteral("folder-check")));
    add(BEdita = addButton("BEdita", QStringLiteral("&Edita no SQL"), QStringLiteral("page-brush")));
    add(BSeletividade = addButton("BSeletividade", QStringLiteral("&Recalcula seletividade"), QStringLiteral("sort-az")));
    add(BAtiva = addButton("BAtiva", QStringLiteral("A&tiva índice"), QStringLiteral("check")));
    add(BGerador = addButton("BGerador", QStringLiteral("&Valor do gerador..."), QStringLiteral("pencil")));
    buttons->addStretch(1);
    add(BAtualiza = addButton("BAtualiza", QStringLiteral("Atuali&za"), QStringLiteral("folder-open")));
    add(BFecha = addButton("BFecha", QStringLiteral("&Fecha"), QStringLiteral("door-arrow")));

    connect(BAbre, &QPushButton::clicked, this, guarded([this] { BAbreClick(); }));
    connect(BEdita, &QPushButton::clicked, this, guarded([this] { BEditaClick(); }));
    connect(BSeletividade, &QPushButton::clicked, this, guarded([this] { BSeletividadeClick(); }));
    connect(BAtiva, &QPushButton::clicked, this, guarded([this] { BAtivaClick(); }));
    connect(BGerador, &QPushButton::clicked, this, guarded([this] { BGeradorClick(); }));
    connect(BAtualiza, &QPushButton::clicked, this, guarded([this] { BAtualizaClick(); }));
    connect(BFecha, &QPushButton::clicked, this, guarded([this] { BFechaClick(); }));
    connect(Arvore, &QTreeWidget::currentItemChanged, this, [this] { selectionChanged(); });
    connect(Arvore, &QTreeWidget::itemDoubleClicked, this, guarded([this] {
                const ObjectEntry* e = selected();
                if (e && (e->kind == DbObjectKind::Table || e->kind == DbObjectKind::View)) BAbreClick();
            }));

    connect(m_browser, &ObjectBrowser::catalogLoaded, this, [this] { fillTree(); });
    connect(m_browser, &ObjectBrowser::dependenciesRead, this,
            [this](const ObjectEntry& entry, const Dependencies& d) { showDependencies(entry, d); });
    connect(m_browser, &ObjectBrowser::failed, this, [this](const QString& message) {
        reportError(message);
        updateButtons();
    });

    fillTree();
    m_browser->reload();
}

TObjetos::~TObjetos() {
    delete m_browser; // work in progress first: it reads into what goes with this window
    m_browser = nullptr;
    for (const QPointer<TFBrowse>& b : std::as_const(m_browsers))
        if (b) delete childFrame(b);
}

QPushButton* TObjetos::addButton(const char* name, const QString& caption, const QString& subject) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setIcon(subjectIcon(subject));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

void TObjetos::fillTree() {
    const ObjectEntry* current = selected();
    if (current) m_keep = std::pair{current->kind, current->name};
    Arvore->clear();
    m_entries.clear();
    if (!m_browser->loaded()) {
        auto* item = new QTreeWidgetItem(Arvore, {QStringLiteral("Lendo os objetos do banco...")});
        item->setData(0, kEntryRole, -1);
        updateButtons();
        return;
    }
    const Catalog& c = m_browser->catalog();
    for (DbObjectKind kind : allKinds()) {
        const QList<ObjectEntry> entries = objectEntries(c, kind);
        auto* branch = new QTreeWidgetItem(Arvore, {QStringLiteral("%1 (%2)").arg(kindTitle(kind)).arg(entries.size())});
        branch->setData(0, kKindRole, static_cast<int>(kind));
        branch->setData(0, kEntryRole, -1);
        for (const ObjectEntry& e : entries) {
            auto* item = new QTreeWidgetItem(branch, {e.name, e.detail});
            item->setData(0, kKindRole, static_cast<int>(kind));
            item->setData(0, kEntryRole, static_cast<int>(m_entries.size()));
            m_entries.append(e);
        }
    }
    if (m_keep) {
        const auto [kind, name] = *m_keep;
        m_keep.reset();
        select(kind, name);
    }
    updateButtons();
}

const ObjectEntry* TObjetos::selected() const {
    const QTreeWidgetItem* item = Arvore->currentItem();
    if (!item) return nullptr;
    const int at = item->data(0, kEntryRole).toInt();
    return at >= 0 && at < m_entries.size() ? &m_entries[at] : nullptr;
}

bool TObjetos::select(DbObjectKind kind, const QString& name) {
    for (int i = 0; i < Arvore->topLevelItemCount(); ++i) {
        QTreeWidgetItem* branch = Arvore->topLevelItem(i);
        if (branch->data(0, kKindRole).toInt() != static_cast<int>(kind)) continue;
        for (int j = 0; j < branch->childCount(); ++j)
            if (branch->child(j)->text(0) == name) {
                branch->setExpanded(true);
                Arvore->setCurrentItem(branch->child(j));
                return true;
            }
    }
    return false;
}

void TObjetos::selectionChanged() {
    Usa->clear();
    UsadoPor->clear();
    const ObjectEntry* e = selected();
    Ddl->setPlainText(e ? objectDdl(m_browser->catalog(), *e) : QString());
    if (e && e->kind != DbObjectKind::Comment) m_browser->readDependencies(*e);
    updateButtons();
}

void TObjetos::showDependencies(const ObjectEntry& entry, const Dependencies& d) {
    const ObjectEntry* e = selected();
    if (!e || e->kind != entry.kind || e->name != entry.name) return; // another one is selected by now
    for (const auto& [list, lines] : {std::pair{Usa, &d.uses}, std::pair{UsadoPor, &d.usedBy}}) {
        list->clear();
        for (const DependencyEntry& line : *lines)
            new QTreeWidgetItem(list, {line.kind, line.name, line.columns});
    }
}

void TObjetos::updateButtons() {
    const ObjectEntry* e = selected();
    const DbObjectKind kind = e ? e->kind : DbObjectKind::Comment;
    BAbre->setEnabled(e && (kind == DbObjectKind::Table || kind == DbObjectKind::View));
    BEdita->setEnabled(e != nullptr);
    BSeletividade->setEnabled(e && kind == DbObjectKind::Index);
    BAtiva->setEnabled(e && kind == DbObjectKind::Index && e->ownIndex);
    BAtiva->setText(e && kind == DbObjectKind::Index && !e->inactive ? QStringLiteral("Desa&tiva índice")
                                                                 : QStringLiteral("A&tiva índice"));
    BGerador->setEnabled(e && kind == DbObjectKind::Generator);
}

// As the table list opens a table: the statement and the table's name for the browse window,
// which reads them while it is shown; the window belongs to this one.
void TObjetos::BAbreClick() {
    const ObjectEntry* e = selected();
    if (!e || (e->kind != DbObjectKind::Table && e->kind != DbObjectKind::View)) return;
    BrowseSelect = QStringLiteral("Select * From ") + quoteIdentifier(e->name, dialect());
    CurrentTable = e->name;
    m_browsers.removeAll(nullptr);
    auto* browse = new TFBrowse();
    m_browsers.append(browse);
    showChild(browse);
    browse->setWindowTitle(CurrentTable);
}

void TObjetos::BEditaClick() {
    const ObjectEntry* e = selected();
    if (!e) return;
    auto* w = new TFSql();
    if (!showChild(w)) w->show();
    // After showing: a new window empties its memo when it is shown.
    w->MemoSql->setPlainText(objectDdl(m_browser->catalog(), *e));
}

void TObjetos::BSeletividadeClick() {
    const ObjectEntry* e = selected();
    if (!e || e->kind != DbObjectKind::Index) return;
    m_browser->run(recomputeSelectivityStatement(e->name, dialect()));
    updateButtons();
}

void TObjetos::BAtivaClick() {
    const ObjectEntry* e = selected();
    if (!e || e->kind != DbObjectKind::Index || !e->ownIndex) return;
    m_browser->run(setIndexActiveStatement(e->name, e->inactive, dialect()));
}

void TObjetos::BGeradorClick() {
    const ObjectEntry* e = selected();
    if (!e || e->kind != DbObjectKind::Generator) return;
    const ObjectEntry entry = *e;
    QString typed;
    if (!Prompts::instance().input(InputRequest{QStringLiteral("Valor do gerador"),
                                                QStringLiteral("Novo valor de %1:").arg(entry.name),
                                                QString::number(entry.value)},
                                   &typed))
        return;
    bool ok = false;
    const qint64 value = typed.trimmed().toLongLong(&ok);
    if (!ok) {
        showMessage(QStringLiteral("\"%1\" não é um valor inteiro para o gerador.").arg(typed.trimmed()),
                    QStringLiteral("Erro"), MsgIcon::Error, MbOk);
        return;
    }
    const MsgButton answer =
        showMessage(QStringLiteral("Mudar o valor do gerador %1 de %2 para %3?").arg(entry.name).arg(entry.value).arg(value),
                    QStringLiteral("Atenção"), MsgIcon::Question, MbYes | MbNo, MbNo);
    if (answer != MbYes) return;
    m_browser->run(setGeneratorStatement(entry.name, value, dialect()));
}

void TObjetos::BAtualizaClick() {
    m_browser->reload();
}

void TObjetos::BFechaClick() {
    childFrame(this)->close();
}
