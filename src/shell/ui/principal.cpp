#include "shell/ui/principal.h"
#include "admin/ui/adminmenu.h"
#include "admin/ui/extraiddl.h"
#include "connection/conexoes.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/uifont.h"
#include "shell/ui/childfactory.h"
#include "shell/ui/morvex.h"
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {
const QString kTitle = QStringLiteral("Administração de Bancos de Dados Firebird");
const QString kStatusText = QStringLiteral("Sistema de Administração de Base de Dados Firebird");
const QString kNotConnected = QStringLiteral("Banco de Dados não está conectado !!!!");

// Drawing of the main window is suspended while a child window is created or brought forward,
// and resumed also when that fails.
class SuspendDrawing {
public:
    explicit SuspendDrawing(QWidget* w) : m_w(w) { m_w->setUpdatesEnabled(false); }
    ~SuspendDrawing() { m_w->setUpdatesEnabled(true); }

private:
    QWidget* m_w;
};

// Keeps the client picture over the whole client area, behind the child windows.
class ClientPictureFitter : public QObject {
public:
    ClientPictureFitter(QWidget* viewport, QLabel* picture) : QObject(picture), m_picture(picture) {
        viewport->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Resize) {
            m_picture->setGeometry(static_cast<QWidget*>(watched)->rect());
            m_picture->lower();
        }
        return false;
    }

private:
    QLabel* m_picture;
};
} // namespace

TPrincipal::TPrincipal(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Principal"));
    setWindowTitle(kTitle);
    setFont(sansFont(11));
    resize(792, 552);

    // Menu.
    MM = new QMenuBar(this);
    MM->setObjectName(QStringLiteral("MM"));
    setMenuBar(MM);
    auto action = [this](QMenu* menu, const char* name, const QString& caption,
                         void (TPrincipal::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, guarded([this, handler] { (this->*handler)(); }));
        return a;
    };
    auto submenu = [this](const char* name, const QString& caption) {
        QMenu* m = MM->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto topItem = [this](const char* name, const QString& caption, void (TPrincipal::*handler)()) {
        QAction* a = MM->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, guarded([this, handler] { (this->*handler)(); }));
        return a;
    };

    Banco1 = submenu("Banco1", QStringLiteral("&Banco"));
    AbreBanco1 = action(Banco1, "AbreBanco1", QStringLiteral("&Abre Banco"), &TPrincipal::AbreBanco1Click);
    FechaBanco1 =
        action(Banco1, "FechaBanco1", QStringLiteral("&Fecha Banco"), &TPrincipal::FechaBanco1Click);
    N1 = Banco1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Sada1 = action(Banco1, "Sada1", QStringLiteral("&Saída"), &TPrincipal::Sada1Click);

    AtualizaeseConsultas1 = submenu("AtualizaeseConsultas1", QStringLiteral("Atualizações e Consultas"));
    ComandosSQL1 = action(AtualizaeseConsultas1, "ComandosSQL1", QStringLiteral("&Comandos SQL's"),
                          &TPrincipal::ComandosSQL1Click);
    Tabelas1 =
        action(AtualizaeseConsultas1, "Tabelas1", QStringLiteral("&Tabelas"), &TPrincipal::Tabelas1Click);
    buildAdministracao();
    addAdministracao();

    AcertaJanelas1 =
        topItem("AcertaJanelas1", QStringLiteral("Acerta Janelas"), &TPrincipal::AcertaJanelas1Click);
    Bancos = submenu("Bancos", QStringLiteral("Conexões"));
    Morvex1 = topItem("Morvex1", QStringLiteral("Morvex"), &TPrincipal::Morvex1Click);

    // Tool bar.
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    Tcon =
        addToolButton("Tcon", QStringLiteral("network-drive"), QStringLiteral("Conecta ao banco de dados"));
    Tdis = addToolButton("Tdis", QStringLiteral("network-drive-cross"),
                         QStringLiteral("Disconecta o banco de dados"));
    TTab = addToolButton("TTab", QStringLiteral("folder-check"), QStringLiteral("Abre tabela"));
    TSql = addToolButton("TSql", QStringLiteral("page-brush"), QStringLiteral("Comandos SQL's"));
    ToolButton5 = new QWidget(ToolBar1);
    ToolButton5->setObjectName(QStringLiteral("ToolButton5"));
    ToolButton5->setFixedSize(79, 38);
    ToolBar1->addWidget(ToolButton5);
    ToolButton6 = addToolButton("ToolButton6", QStringLiteral("running-figure"), QString());
    connect(Tcon, &QToolButton::clicked, this, guarded([this] { AbreBanco1Click(); }));
    connect(Tdis, &QToolButton::clicked, this, guarded([this] { FechaBanco1Click(); }));
    connect(TTab, &QToolButton::clicked, this, guarded([this] { Tabelas1Click(); }));
    connect(TSql, &QToolButton::clicked, this, guarded([this] { ComandosSQL1Click(); }));
    connect(ToolButton6, &QToolButton::clicked, this, guarded([this] { Sada1Click(); }));

    // Client area with the house picture behind the child windows.
    ClientArea = new QMdiArea(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ClientArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(ClientArea);
    setMdiHost(ClientArea);
    Image1 = new QLabel(ClientArea->viewport());
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(mainPicture());
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1->setGeometry(ClientArea->viewport()->rect());
    Image1->lower();
    new ClientPictureFitter(ClientArea->viewport(), Image1);

    // Status bar: the clock and the system's name, both written by the timer.
    SB = new QStatusBar(this);
    SB->setObjectName(QStringLiteral("SB"));
    SB->setSizeGripEnabled(false);
    setStatusBar(SB);
    SBPanel0 = new QLabel(SB);
    SBPanel0->setObjectName(QStringLiteral("SBPanel0"));
    SBPanel0->setAlignment(Qt::AlignCenter);
    SBPanel0->setFixedWidth(100);
    SBPanel0->setFrameShape(QFrame::Panel);
    SBPanel0->setFrameShadow(QFrame::Sunken);
    SBPanel1 = new QLabel(SB);
    SBPanel1->setObjectName(QStringLiteral("SBPanel1"));
    SBPanel1->setAlignment(Qt::AlignCenter);
    SBPanel1->setMinimumWidth(50);
    SBPanel1->setFrameShape(QFrame::Panel);
    SBPanel1->setFrameShadow(QFrame::Sunken);
    SB->addWidget(SBPanel0);
    SB->addWidget(SBPanel1, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));
    Timer1->start();
}

TPrincipal::~TPrincipal() {
    if (mdiHost() == ClientArea) setMdiHost(nullptr);
}

QToolButton* TPrincipal::addToolButton(const char* name, const QString& subject, const QString& hint) {
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName(QLatin1String(name));
    b->setIcon(subjectIcon(subject));
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(39, 38);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    ToolBar1->addWidget(b);
    return b;
}

void TPrincipal::buildAdministracao() {
    AdminMenu* menu = createAdministracaoMenu(MM);
    Administracao1 = menu;
    menu->addSeparator()->setObjectName(QStringLiteral("N2"));
    Monitordeconexes1 = menu->addItem("Monitordeconexes1", QStringLiteral("M&onitor de conexões"), true,
                                      [this] { Monitordeconexes1Click(); });
    Usuriosepermisses1 = menu->addItem("Usuriosepermisses1", QStringLiteral("&Usuários e permissões"), true,
                                       [this] { Usuriosepermisses1Click(); });
}

// A single window of each kind, brought forward when asked for again.
void TPrincipal::openAdministrationWindow(QPointer<QWidget>& window, QWidget* (*create)()) {
    if (!databaseIsOpen()) {
        showMessage(kNotConnected, QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        return;
    }
    SuspendDrawing suspend(this);
    if (FormExists(window))
        bringForward(window);
    else
        window = create();
}

void TPrincipal::Monitordeconexes1Click() {
    openAdministrationWindow(m_monitor, createMonitor);
}

void TPrincipal::Usuriosepermisses1Click() {
    openAdministrationWindow(m_usuarios, createUsuarios);
}

void TPrincipal::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    runGuarded([this] { FormShow(); });
}

void TPrincipal::FormShow() {
    fillConexoes();
}

void TPrincipal::fillConexoes() {
    // Before the first connection there is no file: the menu simply stays empty.
    if (!QFile::exists(conexoesFileName())) return;
    const QStringList lines = readConnections();
    for (int i = 0; i < lines.size(); ++i) {
        const QString connection = ConnectionRecord::connectionOf(lines[i]);
        // The caption shows the text as it stands: a "&" in a path is not an access key.
        QAction* entry = Bancos->addAction(QString(connection).replace('&', QStringLiteral("&&")));
        entry->setObjectName(QStringLiteral("MenuBancos") + QString::number(i));
        entry->setData(connection);
        connect(entry, &QAction::triggered, this, guarded([this, entry] { MenuBancosClick(entry); }));
    }
}

bool TPrincipal::FormExists(const QWidget* w) {
    if (!w) return false;
    const QWidgetList all = QApplication::allWidgets();
    for (const QWidget* candidate : all)
        if (candidate == w) return true;
    return false;
}

void TPrincipal::bringForward(QWidget* w) {
    QWidget* frame = childFrame(w);
    frame->setWindowState(frame->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    frame->show();
    frame->raise();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame))
        ClientArea->setActiveSubWindow(sub);
    else
        frame->activateWindow();
}

void TPrincipal::AbreBanco1Click() {
    if (databaseIsOpen()) {
        showMessage(QStringLiteral("Banco de Dados já está conectado !!!!"), QStringLiteral("Atenção"),
                    MsgIcon::Warning, MbOk);
        return;
    }
    SuspendDrawing suspend(this);
    if (FormExists(m_abreBanco))
        bringForward(m_abreBanco);
    else
        m_abreBanco = createAbreBanco();
}

void TPrincipal::Tabelas1Click() {
    if (!databaseIsOpen()) {
        showMessage(kNotConnected, QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        return;
    }
    {
        SuspendDrawing suspend(this);
        if (FormExists(m_tabelas)) {
            bringForward(m_tabelas);
        } else {
            m_tabelas = createTabelas();
            if (!m_tabelas) return;
        }
    }
    AcertaJanelas1Click();
}

void TPrincipal::ComandosSQL1Click() {
    if (!databaseIsOpen()) {
        showMessage(kNotConnected, QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        return;
    }
    {
        SuspendDrawing suspend(this);
        if (!createFSql()) return;
    }
    AcertaJanelas1Click();
}

void TPrincipal::addAdministracao() {
    auto* menu = static_cast<AdminMenu*>(Administracao1);
    menu->addSeparator()->setObjectName(QStringLiteral("N3"));
    ObjetosdoBanco1 = menu->addItem("ObjetosdoBanco1", QStringLiteral("Objetos do ban&co"), true,
                                    [this] { ObjetosdoBanco1Click(); });
    ExtraiDDL1 = menu->addItem("ExtraiDDL1", QStringLiteral("E&xtrai DDL..."), true, [this] { ExtraiDDL1Click(); });
}

void TPrincipal::ObjetosdoBanco1Click() {
    if (!databaseIsOpen()) return;
    {
        SuspendDrawing suspend(this);
        if (FormExists(m_objetos)) {
            bringForward(m_objetos);
            return;
        }
        m_objetos = createObjetos();
        if (!m_objetos) return;
    }
    AcertaJanelas1Click();
}

void TPrincipal::ExtraiDDL1Click() {
    if (!databaseIsOpen()) return;
    extraiDdl(this);
}

void TPrincipal::AcertaJanelas1Click() {
    ClientArea->cascadeSubWindows();
}

void TPrincipal::closeChildWindows() {
    // Over the windows as they were before the first one closed: closing the table list also
    // takes its browse windows with it.
    const QList<QMdiSubWindow*> children = ClientArea->subWindowList();
    QList<QPointer<QMdiSubWindow>> alive(children.begin(), children.end());
    for (const QPointer<QMdiSubWindow>& sub : alive)
        if (sub) sub->close();
}

void TPrincipal::FechaBanco1Click() {
    if (!databaseIsOpen()) {
        showMessage(QStringLiteral("Banco não foi conectado...."), QStringLiteral("Erro"), MsgIcon::Error,
                    MbOk);
        return;
    }
    const MsgButton answer = showMessage(QStringLiteral("Deseja disconectar o banco ") + CurrentDatabase,
                                         QStringLiteral("Erro"), MsgIcon::Warning, MbYes | MbNo, MbNo);
    if (answer == MbNo) return;
    disconnectAndCloseChildren();
}

void TPrincipal::disconnectAndCloseChildren() {
    try {
        TdM::instance()->DisconnectDatabase();
    } catch (...) {
        // Disconnected all the same (the server was lost): the windows go before the report.
        if (!databaseIsOpen()) closeChildWindows();
        throw;
    }
    closeChildWindows();
}

void TPrincipal::MenuBancosClick(QAction* entry) {
    const QString connection = entry->data().toString();
    TdM* dm = TdM::instance();
    if (databaseIsOpen())
        disconnectAndCloseChildren();
    else
        closeChildWindows();
    CurrentDatabase = connection;
    try {
        dm->ConnectDatabase(connection);
    } catch (...) {
        // Nothing is connected: the program must not go on as if this database were open.
        try {
            dm->DisconnectDatabase();
        } catch (...) {
        }
        CurrentDatabase.clear();
        throw;
    }
}

void TPrincipal::Sada1Click() {
    close();
}

void TPrincipal::closeEvent(QCloseEvent* e) {
    const MsgButton answer = showMessage(QStringLiteral("Sai do Sistema de Administração de Banco ????"),
                                         QStringLiteral("Atenção"), MsgIcon::Warning, MbYes | MbNo, MbNo);
    if (answer == MbYes)
        e->accept();
    else
        e->ignore();
}

void TPrincipal::Timer1Timer() {
    SBPanel0->setText(currentTime().toString(QStringLiteral("hh:mm:ss")));
    SBPanel1->setText(kStatusText);
}

void TPrincipal::Morvex1Click() {
    TMorvex about(this);
    about.exec();
}
