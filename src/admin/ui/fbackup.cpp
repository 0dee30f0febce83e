#include "admin/ui/fbackup.h"
#include "admin/backup.h"
#include "admin/progresstext.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "platform/ui/uifont.h"
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

namespace {
QCheckBox* check(const char* name, const QString& text, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}
} // namespace

TFBackup::TFBackup(QWidget* parent) : TAdminWindow("FBackup", QStringLiteral("Backup"), parent) {
    runGuarded([this] { m_target = AdminTarget::openDatabase(); });

    LbBanco = new QLabel(QStringLiteral("Banco: ") + m_target.connectionString, this);
    LbBanco->setObjectName(QStringLiteral("LbBanco"));
    auto* label = new QLabel(QStringLiteral("&Arquivo de backup:"), this);
    EdArquivo = new QLineEdit(proposedBackupFile(m_target.path()), this);
    EdArquivo->setObjectName(QStringLiteral("EdArquivo"));
    label->setBuddy(EdArquivo);
    SpArquivo = new QToolButton(this);
    SpArquivo->setObjectName(QStringLiteral("SpArquivo"));
    SpArquivo->setText(QStringLiteral("..."));
    SpArquivo->setFont(sansFont(11, true));
    SpArquivo->setCursor(Qt::PointingHandCursor);
    SpArquivo->setFocusPolicy(Qt::NoFocus);
    SpArquivo->setToolTip(QStringLiteral("Escolhe o arquivo"));
    CbLocal = check("CbLocal", QStringLiteral("Gravar o backup neste &computador (o servidor o envia pela conexão)"), this);
    CbLocal->setEnabled(m_target.place.remoteProtocol());

    auto* options = new QGroupBox(QStringLiteral("Opções"), this);
    CbMetadados = check("CbMetadados", QStringLiteral("Somente &metadados"), options);
    CbSemColeta = check("CbSemColeta", QStringLiteral("Sem coleta de &lixo"), options);
    CbChecksums = check("CbChecksums", QStringLiteral("Ignorar c&hecksums"), options);
    CbLimbo = check("CbLimbo", QStringLiteral("Ignorar transações em l&imbo"), options);
    CbNaoTransportavel = check("CbNaoTransportavel", QStringLiteral("Formato &não transportável"), options);
    auto* grid = new QGridLayout(options);
    grid->addWidget(CbMetadados, 0, 0);
    grid->addWidget(CbSemColeta, 0, 1);
    grid->addWidget(CbChecksums, 1, 0);
    grid->addWidget(CbLimbo, 1, 1);
    grid->addWidget(CbNaoTransportavel, 2, 0);

    BtIniciar = button("BtIniciar", QStringLiteral("&Iniciar"), QStringLiteral("floppy-disk"));
    LbProgresso = new QLabel(progressText(QString(), 0, 0), this);
    LbProgresso->setObjectName(QStringLiteral("LbProgresso"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LbBanco);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(label);
    fileRow->addWidget(EdArquivo, 1);
    fileRow->addWidget(SpArquivo);
    layout->addLayout(fileRow);
    layout->addWidget(CbLocal);
    layout->addWidget(options);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtIniciar);
    buttons->addWidget(BtCancelar);
    buttons->addStretch(1);
    buttons->addWidget(BtFecha);
    layout->addLayout(buttons);
    layout->addWidget(LbProgresso);
    layout->addWidget(Saida, 1);
    layout->addWidget(LbSituacao);
    setMinimumSize(600, 500);

    setTabOrder(EdArquivo, CbLocal);
    setTabOrder(CbLocal, CbMetadados);
    setTabOrder(CbMetadados, CbSemColeta);
    setTabOrder(CbSemColeta, CbChecksums);
    setTabOrder(CbChecksums, CbLimbo);
    setTabOrder(CbLimbo, CbNaoTransportavel);
    setTabOrder(CbNaoTransportavel, BtIniciar);

    connect(BtIniciar, &QPushButton::clicked, this, guarded([this] { IniciarClick(); }));
    connect(SpArquivo, &QToolButton::clicked, this, guarded([this] { SpArquivoClick(); }));
    connect(CbLocal, &QCheckBox::toggled, this, guarded([this] { CbLocalClick(); }));
    setInputsEnabled(true);
}

void TFBackup::showEvent(QShowEvent* e) {
    TAdminWindow::showEvent(e);
    if (m_shown) return;
    m_shown = true;
    EdArquivo->setFocus();
    EdArquivo->selectAll();
}

bool TFBackup::enterPressed(QWidget* focused) {
    if (focused != EdArquivo) return false;
    IniciarClick();
    return true;
}

void TFBackup::setInputsEnabled(bool on) {
    for (QWidget* w : {static_cast<QWidget*>(EdArquivo), static_cast<QWidget*>(CbMetadados),
                       static_cast<QWidget*>(CbSemColeta), static_cast<QWidget*>(CbChecksums),
                       static_cast<QWidget*>(CbLimbo), static_cast<QWidget*>(CbNaoTransportavel),
                       static_cast<QWidget*>(BtIniciar), static_cast<QWidget*>(BtFecha)})
        w->setEnabled(on);
    CbLocal->setEnabled(on && m_target.place.remoteProtocol());
    // A file dialog only where the file is this machine's.
    SpArquivo->setEnabled(on && (CbLocal->isChecked() || m_target.place.filesHere()));
}

void TFBackup::CbLocalClick() {
    if (CbLocal->isChecked()) {
        m_serverFile = EdArquivo->text();
        EdArquivo->setText(QDir::home().filePath(QFileInfo(proposedBackupFile(m_target.path())).fileName()));
    } else if (!m_serverFile.isEmpty()) {
        EdArquivo->setText(m_serverFile);
    }
    setInputsEnabled(true);
}

void TFBackup::SpArquivoClick() {
    FileDialogRequest request;
    request.title = QStringLiteral("Arquivo de backup");
    request.directory = QFileInfo(EdArquivo->text()).absolutePath();
    request.filters = QStringList{QStringLiteral("Backup do Firebird (*.fbk)"), QStringLiteral("Todos os arquivos (*)")};
    request.defaultSuffix = QStringLiteral("fbk");
    request.confirmOverwrite = true;
    const QString chosen = Prompts::instance().saveFile(request);
    if (!chosen.isEmpty()) EdArquivo->setText(chosen);
    EdArquivo->setFocus();
}

void TFBackup::IniciarClick() {
    if (running()) return;
    BackupOptions options;
    options.file = EdArquivo->text().trimmed();
    options.metadataOnly = CbMetadados->isChecked();
    options.noGarbageCollection = CbSemColeta->isChecked();
    options.ignoreChecksums = CbChecksums->isChecked();
    options.ignoreLimbo = CbLimbo->isChecked();
    options.nonTransportable = CbNaoTransportavel->isChecked();
    options.streamHere = CbLocal->isChecked() && m_target.place.remoteProtocol();
    if (options.file.isEmpty()) {
        showMessage(QStringLiteral("Informe o arquivo de backup."), QStringLiteral("Atenção"), MsgIcon::Warning, MbOk);
        EdArquivo->setFocus();
        return;
    }
    // An older file of that name is replaced only when the user says so (where it can be seen).
    if ((options.streamHere || m_target.place.filesHere()) && QFileInfo(options.file).isFile() &&
        showMessage(QStringLiteral("O arquivo %1 já existe. Substituí-lo pelo novo backup?").arg(options.file),
                    QStringLiteral("Atenção"), MsgIcon::Warning, MbYes | MbNo, MbNo) != MbYes)
        return;

    m_progress = GbakProgress();
    const AdminTarget target = m_target;
    auto result = std::make_shared<BackupResult>();
    startWork(
        QStringLiteral("Backup em andamento..."),
        [target, options, result](ServiceJob& job) { *result = runBackup(job, target, options); },
        [this, result](bool ok) {
            if (ok) LbSituacao->setText(backupDoneText(result->bytes, elapsedMs()) + QStringLiteral(" - ") + result->file);
        });
}

void TFBackup::linesArrived(const QStringList& lines) {
    for (const QString& l : lines)
        m_progress.read(l);
    tick(elapsedMs());
}

void TFBackup::tick(qint64 ms) {
    if (CbLocal->isChecked())
        LbProgresso->setText(QStringLiteral("Recebidos: %1   Tempo: %2").arg(sizeText(job()->bytes()), elapsedText(ms)));
    else
        LbProgresso->setText(progressText(m_progress.table(), m_progress.rows(), ms));
}
