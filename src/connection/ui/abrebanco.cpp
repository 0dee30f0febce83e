#include "connection/ui/abrebanco.h"
#include "connection/bancosettings.h"
#include "connection/conexoes.h"
#include "connection/connectionstring.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "connection/ui/conecta.h"
#include "platform/appdir.h"
#include "platform/apperror.h"
#include "platform/errorreport.h"
#include "platform/ui/icons.h"
#include "platform/ui/mdihost.h"
#include "platform/ui/uifont.h"
#include "platform/wincolor.h"
#include <QButtonGroup>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <memory>

namespace {
const Qt::WindowFlags kFrameFlags = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

QLabel* makeLabel(const char* name, const QString& text, QWidget* parent, const QRect& geometry) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    return l;
}

QLineEdit* makeEdit(const char* name, QWidget* parent, const QRect& geometry) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(geometry);
    return e;
}
} // namespace

TAbreBanco::TAbreBanco(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AbreBanco"));
    setWindowTitle(QStringLiteral("Abre Banco de Dados Interbase"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (!parent) setWindowFlags(Qt::Window | kFrameFlags);
    setFont(sansFont(16)); // 12 point
    setFixedSize(560, 304);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, winColor(13678476));
    setPalette(pal);

    Label1 = makeLabel("Label1", QStringLiteral("&Servidor :"), this, QRect(24, 20, 92, 24));
    Servidor = makeEdit("Servidor", this, QRect(120, 18, 240, 28));
    Label1->setBuddy(Servidor);

    SP1 = new QToolButton(this);
    SP1->setObjectName(QStringLiteral("SP1"));
    SP1->setGeometry(366, 18, 28, 28);
    SP1->setAutoRaise(true);
    SP1->setIcon(subjectIcon(QStringLiteral("folder-open")));
    SP1->setToolTip(QStringLiteral("Conexões anteriores"));
    SP1->setCursor(Qt::PointingHandCursor);
    SP1->setFocusPolicy(Qt::NoFocus); // a speed button never takes the focus

    RG = new QGroupBox(QStringLiteral("   Tipo   "), this);
    RG->setObjectName(QStringLiteral("RG"));
    RG->setGeometry(24, 56, 512, 58);
    RGButtons = new QButtonGroup(RG);
    const QString items[] = {QStringLiteral("&TCP/IP"), QStringLiteral("&NetBui"), QStringLiteral("&IPX"),
                             QStringLiteral("&Local")};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(items[i], RG);
        b->setGeometry(16 + i * 124, 24, 116, 26);
        RGButtons->addButton(b, i);
    }
    RGButtons->button(0)->setChecked(true);

    Label2 = makeLabel("Label2", QStringLiteral("&Banco :"), this, QRect(24, 122, 92, 24));
    Banco = makeEdit("Banco", this, QRect(24, 146, 445, 28));
    Label2->setBuddy(Banco);

    SP = new QToolButton(this);
    SP->setObjectName(QStringLiteral("SP"));
    SP->setGeometry(475, 149, 23, 22);
    SP->setAutoRaise(true);
    SP->setText(QStringLiteral("..."));
    SP->setFont(sansFont(16, true));
    SP->setCursor(Qt::PointingHandCursor);
    SP->setFocusPolicy(Qt::NoFocus);

    Label3 = makeLabel("Label3", QStringLiteral("Conexão :"), this, QRect(24, 184, 92, 24));
    Conect = makeEdit("Conect", this, QRect(24, 208, 512, 28));
    Conect->setReadOnly(true);
    QPalette cp = Conect->palette();
    cp.setColor(QPalette::Base, winColor(12632256));
    Conect->setPalette(cp);

    Abre = new QPushButton(subjectIcon(QStringLiteral("network-drive")), QStringLiteral("&Abre Banco"), this);
    Abre->setObjectName(QStringLiteral("Abre"));
    Abre->setGeometry(148, 254, 121, 38);
    BitBtn2 = new QPushButton(subjectIcon(QStringLiteral("cross")), QStringLiteral("&Cancela"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(291, 254, 121, 38);
    for (QPushButton* b : {Abre, BitBtn2})
        b->setCursor(Qt::PointingHandCursor);

    Od.title = QStringLiteral("Seleção de Banco de Dados");
    // Firebird databases carry ".fdb" today; ".Gdb" is the older InterBase name.
    Od.filters = QStringList{QStringLiteral("Interbase (*.Gdb)"), QStringLiteral("Firebird (*.fdb)")};
    Od.mustExist = true;

    setTabOrder(Servidor, RGButtons->button(0));
    setTabOrder(RGButtons->button(0), Banco);
    setTabOrder(Banco, Conect);
    setTabOrder(Conect, Abre);
    setTabOrder(Abre, BitBtn2);

    Servidor->installEventFilter(this);
    Banco->installEventFilter(this);
    connect(RGButtons, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) runGuarded([this] { RGClick(); });
    });
    connect(SP1, &QToolButton::clicked, this, guarded([this] { SP1Click(); }));
    connect(SP, &QToolButton::clicked, this, guarded([this] { SPClick(); }));
    connect(Abre, &QPushButton::clicked, this, guarded([this] { AbreClick(); }));
    connect(BitBtn2, &QPushButton::clicked, this, guarded([this] { BitBtn2Click(); }));
}

void TAbreBanco::showAsChild() {
    if (QMdiSubWindow* sub = showChild(this)) {
        // Fixed border with system menu and minimise button, no maximise.
        sub->setWindowFlags(Qt::SubWindow | kFrameFlags);
        sub->show();
    }
}

int TAbreBanco::protocolIndex() const {
    return RGButtons->checkedId();
}

void TAbreBanco::setProtocolIndex(int index) {
    index = std::clamp(index, -1, 3);
    if (index >= 0) {
        RGButtons->button(index)->setChecked(true);
        return;
    }
    if (QAbstractButton* checked = RGButtons->checkedButton()) {
        RGButtons->setExclusive(false);
        checked->setChecked(false);
        RGButtons->setExclusive(true);
    }
}

void TAbreBanco::BuildConnectionString() {
    if (const auto s = ::BuildConnectionString(protocolIndex(), Servidor->text(), Banco->text()))
        Conect->setText(*s);
}

void TAbreBanco::LoadSettings() {
    const BancoSettings s = ::LoadSettings();
    Servidor->setText(s.server);
    setProtocolIndex(s.protocol);
    Banco->setText(s.database);
    Conect->setText(s.connection); // last: choosing the protocol above recomposes it
}

void TAbreBanco::SaveSettings() {
    BancoSettings s;
    s.server = Servidor->text();
    s.protocol = protocolIndex();
    s.database = Banco->text();
    s.connection = Conect->text();
    ::SaveSettings(s);
}

void TAbreBanco::FormShow() {
    LoadSettings();
}

void TAbreBanco::ServidorExit() {
    BuildConnectionString();
}

void TAbreBanco::BancoExit() {
    BuildConnectionString();
}

void TAbreBanco::RGClick() {
    BuildConnectionString();
}

void TAbreBanco::SPClick() {
    FileDialogRequest request = Od;
    request.directory = applicationDirectory();
    const QString chosen = Prompts::instance().openFile(request);
    if (!chosen.isEmpty()) Banco->setText(QFileInfo(chosen).absoluteFilePath());
    BuildConnectionString();
}

void TAbreBanco::SP1Click() {
    if (!QFileInfo::exists(conexoesFileName())) {
        showMessage(QStringLiteral("Arquivo de Conexões anteriores não existe...."),
                    QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        return;
    }
    const auto window = std::make_unique<TFConecta>(this);
    window->exec();
    const int row = window->currentRow();
    if (row < 1) return; // no data row left: there is nothing to pick
    StringGrid& g = window->grid();
    Servidor->setText(g.cell(0, row));
    bool ok = false;
    const int protocol = g.cell(1, row).toInt(&ok);
    if (!ok) throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(g.cell(1, row)));
    setProtocolIndex(protocol);
    Banco->setText(g.cell(2, row));
    Conect->setText(g.cell(3, row));
}

void TAbreBanco::AbreClick() {
    if (Servidor->text().trimmed().isEmpty()) {
        showMessage(QStringLiteral("Servidor não pode ser branco"), QStringLiteral("Erro"), MsgIcon::Warning);
        return;
    }
    if (protocolIndex() == -1) {
        showMessage(QStringLiteral("Escolha um tipo"), QStringLiteral("Erro"), MsgIcon::Warning);
        return;
    }
    if (Banco->text().trimmed().isEmpty()) {
        showMessage(QStringLiteral("Banco não pode ser branco"), QStringLiteral("Erro"), MsgIcon::Warning);
        return;
    }
    TdM* dm = TdM::instance();
    if (!dm) throw AppError(QStringLiteral("Cannot perform operation -- DB is not open"));

    CurrentDatabase = Conect->text();
    try {
        dm->ConnectDatabase(CurrentDatabase);
    } catch (...) {
        // A failed or cancelled login leaves no database open: say so, so that the main window
        // lets the user try again (this dialog stays open for that).
        CurrentDatabase = dm->Banco->connected() ? dm->Banco->databaseName() : QString();
        throw;
    }
    rememberConnection();
    closeDialog();
}

void TAbreBanco::rememberConnection() {
    const QString server = Servidor->text();
    const QString protocol = QString::number(protocolIndex());
    const QString database = Banco->text();
    const QString connection = Conect->text();
    const QString problem = ConnectionRecord::problem(server, protocol, database, connection);
    // The settings file has no widths; what it cannot hold is a character outside its code page.
    const QString settingsProblem = ConnectionRecord::charsetProblem(server, protocol, database, connection);
    if (settingsProblem.isEmpty()) SaveSettings();
    if (problem.isEmpty()) {
        AppendConnection(ConnectionRecord::format(server, protocol, database, connection));
        return;
    }
    const QString opened = QStringLiteral("A conexão foi aberta, mas não pode ser lembrada em ");
    QString notice;
    if (settingsProblem.isEmpty())
        notice = opened + QStringLiteral("Conexões anteriores: %1.").arg(problem);
    else if (settingsProblem == problem)
        notice = opened + QStringLiteral("Conexões anteriores nem em Banco.new: %1.").arg(problem);
    else
        notice =
            opened +
            QStringLiteral("Conexões anteriores (%1) nem em Banco.new (%2).").arg(problem, settingsProblem);
    showMessage(notice, QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
}

void TAbreBanco::BitBtn2Click() {
    // After a connection that could not be remembered the database is open: it stays counted as open.
    const TdM* dm = TdM::instance();
    if (!(dm && dm->Banco->connected())) CurrentDatabase.clear();
    closeDialog();
}

void TAbreBanco::closeDialog() {
    childFrame(this)->close();
}

void TAbreBanco::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    runGuarded([this] { FormShow(); });
}

void TAbreBanco::keyPressEvent(QKeyEvent* e) {
    // Enter moves on as Tab does; the edit boxes, radio buttons and buttons leave it to the window.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        focusNextChild();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool TAbreBanco::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut && (watched == Servidor || watched == Banco)) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        // Another window coming to the front does not take the focus out of the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            runGuarded([this, watched] { watched == Servidor ? ServidorExit() : BancoExit(); });
    }
    return QWidget::eventFilter(watched, e);
}
