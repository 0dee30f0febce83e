#include "admin/ui/frestauracao.h"
#include "admin/admintarget.h"
#include "admin/backup.h"
#include "admin/progresstext.h"
#include "admin/restore.h"
#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/uifont.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>
#include <optional>

namespace {
QCheckBox* check(const char* name, const QString& text, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

QToolButton* dots(const char* name, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(QStringLiteral("..."));
    b->setFont(sansFont(11, true));
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(QStringLiteral("Escolhe o arquivo"));
    return b;
}

// The place of the server typed in the box: empty is this machine's engine, anything else a
// TCP/IP server ("host" or "host/port").
ServerPlace placeOf(const QString& server) {
    ServerPlace p;
    p.server = server.trimmed();
    p.protocol = p.server.isEmpty() ? ServerPlace::Local : ServerPlace::TcpIp;
    return p;
}

std::optional<AdminTarget> openDatabase() {
    if (!databaseIsOpen()) return std::nullopt;
    return AdminTarget::openDatabase();
}
} // namespace

TFRestauracao::TFRestauracao(QWidget* parent) : TAdminWindow("FRestauracao", QStringLiteral("Restauração"), parent) {
    const std::optional<AdminTarget> open = openDatabase();

    auto* serverLabel = new QLabel(QStringLiteral("&Servidor:"), this);
    EdServidor = new QLineEdit(open && open->place.protocol == ServerPlace::TcpIp ? open->place.server : QString(), this);
    EdServidor->setObjectName(QStringLiteral("EdServidor"));
    EdServidor->setPlaceholderText(QStringLiteral("vazio: este computador"));
    serverLabel->setBuddy(EdServidor);
    auto* backupLabel = new QLabel(QStringLiteral("&Arquivo de backup:"), this);
    // The open database's backup, as the backup window proposes it.
    EdBackup = new QLineEdit(open ? proposedBackupFile(open->path()) : QString(), this);
    EdBackup->setObjectName(QStringLiteral("EdBackup"));
    backupLabel->setBuddy(EdBackup);
    SpBackup = dots("SpBackup", this);
    auto* dbLabel = new QLabel(QStringLiteral("&Novo banco:"), this);
    EdBanco = new QLineEdit(this);
    EdBanco->setObjectName(QStringLiteral("EdBanco"));
    dbLabel->setBuddy(EdBanco);
    SpBanco = dots("SpBanco", this);

    auto* pageLabel = new QLabel(QStringLiteral("Tamanho da &página:"), this);
    CbPagina = new QComboBox(this);
    CbPagina->setObjectName(QStringLiteral("CbPagina"));
    CbPagina->addItem(QStringLiteral("Do backup"), 0);
    for (int size : {4096, 8192, 16384})
        CbPagina->addItem(QString::number(size), size);
    pageLabel->setBuddy(CbPagina);
    auto* buffersLabel = new QLabel(QStringLiteral("&Buffers:"), this);
    SpBuffers = new QSpinBox(this);
    SpBuffers->setObjectName(QStringLiteral("SpBuffers"));
    SpBuffers->setRange(0, 1000000);
    SpBuffers->setSpecialValueText(QStringLiteral("padrão do servidor"));
    buffersLabel->setBuddy(SpBuffers);

    auto* options = new QGroupBox(QStringLiteral("Opções"), this);
    CbDesativaIndices = check("CbDesativaIndices", QStringLiteral("&Desativar índices"), options);
    CbSemValidade = check("CbSemValidade", QStringLiteral("Sem verificação de &validade"), options);
    CbUmaTabela = check("CbUmaTabela", QStringLiteral("Uma &tabela por vez"), options);
    CbTodoEspaco = check("CbTodoEspaco", QStringLiteral("Usar todo o &espaço"), options);
    CbSomenteLeitura = check("CbSomenteLeitura", QStringLiteral("Somente &leitura"), options);
    CbSubstituir = check("CbSubstituir", QStringLiteral("Substituir banco e&xistente"), options);
    auto* optionGrid = new QGridLayout(options);
    optionGrid->addWidget(CbDesativaIndices, 0, 0);
    optionGrid->addWidget(CbSemValidade, 0, 1);
    optionGrid->addWidget(CbUmaTabela, 0, 2);
    optionGrid->addWidget(CbTodoEspaco, 1, 0);
    optionGrid->addWidget(CbSomenteLeitura, 1, 1);
    optionGrid->addWidget(CbSubstituir, 1, 2);

    BtIniciar = button("BtIniciar", QStringLiteral("&Iniciar"), QStringLiteral("sheet-in-tray"));
    LbProgresso = new QLabel(progressText(QString(), 0, 0), this);
    LbProgresso->setObjectName(QStringLiteral("LbProgresso"));

    auto* form = new QGridLayout;
    form->addWidget(serverLabel, 0, 0);
    form->addWidget(EdServidor, 0, 1, 1, 2);
    form->addWidget(backupLabel, 1, 0);
    form->addWidget(EdBackup, 1, 1);
    form->addWidget(SpBackup, 1, 2);
    form->addWidget(dbLabel, 2, 0);
    form->addWidget(EdBanco, 2, 1);
    form->addWidget(SpBanco, 2, 2);
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(pageLabel);
    sizes->addWidget(CbPagina);
    sizes->addSpacing(16);
    sizes->addWidget(buffersLabel);
    sizes->addWidget(SpBuffers);
    sizes->addStretch(1);
    form->addLayout(sizes, 3, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtIniciar);
    buttons->addWidget(BtCancelar);
    buttons->addStretch(1);
    buttons->addWidget(BtFecha);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(options);
    layout->addLayout(buttons);
    layout->addWidget(LbProgresso);
    layout->addWidget(Saida, 1);
    layout->addWidget(LbSituacao);
    setMinimumSize(640, 540);

    // The backup file first, the new database next.
    setTabOrder(EdBackup, EdBanco);
    setTabOrder(EdBanco, CbPagina);
    setTabOrder(CbPagina, SpBuffers);
    setTabOrder(SpBuffers, CbDesativaIndices);
    setTabOrder(CbDesativaIndices, CbSemValidade);
    setTabOrder(CbSemValidade, CbUmaTabela);
    setTabOrder(CbUmaTabela, CbTodoEspaco);
    setTabOrder(CbTodoEspaco, CbSomenteLeitura);
    setTabOrder(CbSomenteLeitura, CbSubstituir);
    setTabOrder(CbSubstituir, BtIniciar);
    setTabOrder(BtIniciar, EdServidor);

    connect(BtIniciar, &QPushButton::clicked, this, guarded([this] { IniciarClick(); }));
    connect(SpBackup, &QToolButton::clicked, this, guarded([this] { SpBackupClick(); }));
    connect(SpBanco, &QToolButton::clicked, this, guarded([this] { SpBancoClick(); }));
    connect(EdServidor, &QLineEdit::textChanged, this, [this] { setInputsEnabled(!running()); });
    setInputsEnabled(true);
}

bool TFRestauracao::filesHere() const {
    return placeOf(EdServidor->text()).filesHere();
}

void TFRestauracao::showEvent(QShowEvent* e) {
    TAdminWindow::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    EdBackup->setFocus();
}

bool TFRestauracao::enterPressed(QWidget* focused) {
    if (focused == EdBackup && EdBanco->text().trimmed().isEmpty()) {
        EdBanco->setFocus();
        return true;
    }
    if (focused != EdBackup && focused != EdBanco) return false;
    IniciarClick();
    return true;
}

void TFRestauracao::setInputsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{EdServidor, EdBackup, EdBanco, CbPagina, SpBuffers,
                                                      CbDesativaIndices, CbSemValidade, CbUmaTabela, CbTodoEspaco,
                                                      CbSomenteLeitura, CbSubstituir, BtIniciar, BtFecha})
        w->setEnabled(on);
    // File dialogs only where the server's files are this machine's.
    SpBackup->setEnabled(on && filesHere());
    SpBanco->setEnabled(on && filesHere());
}

void TFRestauracao::SpBackupClick() {
    FileDialogRequest request;
    request.title = QStringLiteral("Arquivo de backup");
    request.directory = QFileInfo(EdBackup->text()).absolutePath();
    request.filters = QStringList{QStringLiteral("Backup do Firebird (*.fbk)"), QStringLiteral("Todos os arquivos (*)")};
    request.mustExist = true;
    const QString chosen = Prompts::instance().openFile(request);
    if (chosen.isEmpty()) return;
    EdBackup->setText(chosen);
    if (EdBanco->text().trimmed().isEmpty()) {
        const QFileInfo info(chosen);
        EdBanco->setText(info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".fdb")));
    }
    EdBanco->setFocus();
}

void TFRestauracao::SpBancoClick() {
    FileDialogRequest request;
    request.title = QStringLiteral("Novo banco");
    request.directory = QFileInfo(EdBanco->text()).absolutePath();
    request.filters = QStringList{QStringLiteral("Firebird (*.fdb)"), QStringLiteral("Todos os arquivos (*)")};
    request.defaultSuffix = QStringLiteral("fdb");
    request.confirmOverwrite = false; // replacing is the "Substituir" option's, asked for below
    const QString chosen = Prompts::instance().saveFile(request);
    if (!chosen.isEmpty()) EdBanco->setText(chosen);
    EdBanco->setFocus();
}

void TFRestauracao::IniciarClick() {
    if (running()) return;
    RestoreOptions options;
    options.backupFile = EdBackup->text().trimmed();
    options.databasePath = EdBanco->text().trimmed();
    options.pageSize = CbPagina->currentData().toInt();
    options.pageBuffers = SpBuffers->value();
    options.deactivateIndexes = CbDesativaIndices->isChecked();
    options.noValidityChecks = CbSemValidade->isChecked();
    options.oneTableAtATime = CbUmaTabela->isChecked();
    options.useAllSpace = CbTodoEspaco->isChecked();
    options.readOnly = CbSomenteLeitura->isChecked();
    options.replace = CbSubstituir->isChecked();
    if (options.backupFile.isEmpty() || options.databasePath.isEmpty()) {
        showMessage(options.backupFile.isEmpty() ? QStringLiteral("Informe o arquivo de backup.")
                                                 : QStringLiteral("Informe o caminho do novo banco."),
                    QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        (options.backupFile.isEmpty() ? EdBackup : EdBanco)->setFocus();
        return;
    }

    // The login: the open database's for its own server; this machine's engine checks no password;
    // any other server asks.
    const ServerPlace place = placeOf(EdServidor->text());
    const std::optional<AdminTarget> open = openDatabase();
    AdminTarget server;
    if (open && open->place.protocol == place.protocol &&
        open->place.server.compare(place.server, Qt::CaseInsensitive) == 0) {
        server = AdminTarget::of(place.connectionString(QString()), open->user, open->password);
    } else if (place.protocol == ServerPlace::Local) {
        server = AdminTarget::of(QString(), open ? open->user : QStringLiteral("SYSDBA"), QString());
    } else {
        LoginRequest request;
        request.databaseName = place.serviceName();
        request.userName = open ? open->user : QStringLiteral("SYSDBA");
        QString user, password;
        if (!Prompts::instance().login(request, &user, &password)) return;
        server = AdminTarget::of(place.connectionString(QString()), user, password);
        password.fill(QChar(' '));
    }
    if (options.replace &&
        showMessage(QStringLiteral("Se o banco %1 existir, ele será substituído pelo banco restaurado quando a "
                                   "restauração terminar sem erros. Continuar?")
                        .arg(options.databasePath),
                    QStringLiteral("Atenção"), MsgIcon::Warning, MbYes | MbNo, MbNo) != MbYes)
        return;

    const std::optional<ServerPlace> openPlace = open ? std::optional<ServerPlace>(open->place) : std::nullopt;
    m_progress = GbakProgress();
    auto result = std::make_shared<RestoreResult>();
    startWork(
        QStringLiteral("Restauração em andamento..."),
        [server, options, openPlace, result](ServiceJob& job) { *result = runRestore(job, server, options, openPlace); },
        [this, result](bool ok) {
            if (!ok) return;
            QString text = restoreDoneText(elapsedMs()) + QStringLiteral(" - ") + result->database;
            if (!result->note.isEmpty()) text += QStringLiteral("\n") + result->note;
            LbSituacao->setText(text);
            if (!result->note.isEmpty())
                showMessage(result->note, QStringLiteral("Atenção"), MsgIcon::Information, MbOk);
        });
}

void TFRestauracao::linesArrived(const QStringList& lines) {
    for (const QString& l : lines)
        m_progress.read(l);
    tick(elapsedMs());
}

void TFRestauracao::tick(qint64 ms) {
    LbProgresso->setText(progressText(m_progress.table(), m_progress.rows(), ms));
}
