// The administration windows as a user meets them: the "A&dministração" menu between "Atualizações
// e Consultas" and "Acerta Janelas" with its items enabled only while a database is open; a backup
// started with Enter from the menu's window that gbak restores; a restore typed into its window;
// the statistics shown, exported (read back from the workbook) and printed; shutdown and online
// from the maintenance window; properties changed and read back by fbstat.
#include "admin/admintarget.h"
#include "admin/backup.h"
#include "admin/statistics.h"
#include "admin/statsmodel.h"
#include "admin/ui/adminmenu.h"
#include "admin/ui/fbackup.h"
#include "admin/ui/festatisticas.h"
#include "admin/ui/fmanutencao.h"
#include "admin/ui/fpropbanco.h"
#include "admin/ui/frestauracao.h"
#include "connection/database.h"
#include "connection/dataset.h"
#include "connection/dm.h"
#include "connection/transaction.h"
#include "export/listreport.h"
#include "export/spreadsheetserver.h"
#include "export/ui/reportpreview.h"
#include "platform/automation.h"
#include "platform/ui/icons.h"
#include "shell/ui/principal.h"
#include "support/adminfixture.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include "support/files.h"
#include "support/spreadsheetreader.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

class TestAdminWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void menuBetweenAndFollowingTheDatabase();
    void backupFromTheMenuWithEnter();
    void restoreTypedIntoTheWindow();
    void statisticsShownExportedAndPrinted();
    void maintenanceShutdownAndOnline();
    void propertiesChangedAndReadBack();

private:
    template <class W> W* openFromMenu(TPrincipal& win, const char* item);

    QTemporaryDir m_dir;
    std::unique_ptr<TempAppDirectory> m_appDir;
};

namespace {
template <class W> void waitIdle(W* w) {
    QVERIFY(QTest::qWaitFor([&] { return !w->running(); }, 240000));
}

QStringList menuCaptions(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions)
        out << a->text();
    return out;
}
} // namespace

void TestAdminWindows::initTestCase() {
    initResources();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    // The spreadsheet program notes the files it is given.
    QVERIFY(!useRecordingSpreadsheetProgram(m_dir.path()).isEmpty());
    registerSpreadsheetServer();
}

void TestAdminWindows::cleanupTestCase() {
    unregisterClass(QStringLiteral("Excel.Application"));
}

void TestAdminWindows::init() {
    m_appDir = std::make_unique<TempAppDirectory>();
    resetConnectionState();
}

void TestAdminWindows::cleanup() {
    m_appDir.reset();
}

template <class W> W* TestAdminWindows::openFromMenu(TPrincipal& win, const char* item) {
    win.Administracao1->popup(win.MM->mapToGlobal(QPoint()));
    QAction* a = win.Administracao1->findChild<QAction*>(QLatin1String(item));
    if (!a || !a->isEnabled()) return nullptr;
    a->trigger();
    win.Administracao1->hide();
    return win.findChild<W*>();
}

void TestAdminWindows::menuBetweenAndFollowingTheDatabase() {
    TempDatabase db({QStringLiteral("create table T (ID integer)")});
    ScriptedPrompts prompts;
    prompts.defaultLogin = ScriptedPrompts::Login{};
    TPrincipal win; // made before the connection holder, as at start-up
    TdM dm;
    QStringList top;
    for (QAction* a : win.MM->actions())
        top << a->text();
    QCOMPARE(top, (QStringList{QStringLiteral("&Banco"), QStringLiteral("Atualizações e Consultas"),
                               QStringLiteral("A&dministração"), QStringLiteral("Acerta Janelas"),
                               QStringLiteral("Conexões"), QStringLiteral("Morvex")}));
    QCOMPARE(win.Administracao1->objectName(), QStringLiteral("Administracao1"));
    // The services windows come first; the other administration windows follow them.
    QCOMPARE(menuCaptions(win.Administracao1->actions()).mid(0, 5),
             (QStringList{QStringLiteral("&Backup..."), QStringLiteral("&Restauração..."),
                          QStringLiteral("&Estatísticas do banco"), QStringLiteral("&Manutenção..."),
                          QStringLiteral("&Propriedades do banco...")}));

    auto enabled = [&] {
        QStringList on;
        for (QAction* a : win.Administracao1->actions())
            if (a->isEnabled() && !a->isSeparator()) on << a->objectName();
        return on;
    };
    // No database: only the restore.
    win.Administracao1->popup(QPoint());
    QCOMPARE(enabled(), QStringList{QStringLiteral("Restauracao1")});
    win.Administracao1->hide();
    CurrentDatabase = db.path();
    dm.ConnectDatabase(db.path());
    // Brought up to date when the connection opens, before the menu is shown again.
    const auto items = std::count_if(win.Administracao1->actions().cbegin(), win.Administracao1->actions().cend(),
                                     [](QAction* a) { return !a->isSeparator(); });
    QTRY_COMPARE(enabled().size(), items);
    dm.DisconnectDatabase();
    QTRY_COMPARE(enabled(), QStringList{QStringLiteral("Restauracao1")});
    // An item that is triggered all the same says that no database is open.
    win.Administracao1->findChild<QAction*>(QStringLiteral("Backup1"))->setEnabled(true);
    win.Administracao1->findChild<QAction*>(QStringLiteral("Backup1"))->trigger();
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, QStringLiteral("Banco de Dados não está conectado !!!!"));
    QVERIFY(!win.findChild<TFBackup*>());
}

void TestAdminWindows::backupFromTheMenuWithEnter() {
    TempDatabase db(variedSchema());
    ConnectedHolder holder(db.path());
    TPrincipal win;
    win.show();
    QVERIFY(QTest::qWaitForWindowActive(&win));
    // The menu by its access key, the item by its own.
    QTest::keyClick(&win, Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY(win.Administracao1->isVisible());
    QTest::keyClick(win.Administracao1, Qt::Key_B);
    TFBackup* w = nullptr;
    QTRY_VERIFY((w = win.findChild<TFBackup*>()) != nullptr);
    const QString file = QDir(db.dir()).filePath(QStringLiteral("test.fbk"));
    QCOMPARE(w->EdArquivo->text(), file); // the database's path with ".fbk"
    QTRY_COMPARE(QApplication::focusWidget(), w->EdArquivo);
    QTest::keyClick(w->EdArquivo, Qt::Key_Return);
    QVERIFY(w->running() || QFile::exists(file));
    waitIdle(w);
    QVERIFY2(w->LbSituacao->text().startsWith(QStringLiteral("Backup concluído: %1 bytes")
                                                  .arg(QLocale().toString(QFileInfo(file).size()))),
             qPrintable(w->LbSituacao->text()));
    QVERIFY(w->Saida->toPlainText().contains(QStringLiteral("gbak:    writing data for table CLIENTE")));
    QVERIFY(holder.prompts.errorReports().isEmpty());

    // gbak's own restore of it holds the same rows.
    const QString restored = QDir(db.dir()).filePath(QStringLiteral("pelo-gbak.fdb"));
    QCOMPARE(gbakRestore(file, restored), QString());
    QCOMPARE(tableSums(restored), tableSums(db.path()));
}

void TestAdminWindows::restoreTypedIntoTheWindow() {
    TempDatabase db(variedSchema());
    const QString file = QDir(db.dir()).filePath(QStringLiteral("copia.fbk"));
    {
        BackupOptions o;
        o.file = file;
        QCOMPARE(runJob([&](ServiceJob& job) {
                     runBackup(job, AdminTarget::of(db.path(), QStringLiteral("SYSDBA"), QString()), o);
                 }).errorText(),
                 QStringLiteral("<no error>"));
    }
    ScriptedPrompts prompts;
    TPrincipal win; // no database open: the restore needs none
    win.show();
    QVERIFY(QTest::qWaitForWindowActive(&win));
    auto* w = openFromMenu<TFRestauracao>(win, "Restauracao1");
    QVERIFY(w);
    QTRY_COMPARE(QApplication::focusWidget(), w->EdBackup);
    QTest::keyClicks(w->EdBackup, file);
    QTest::keyClick(w->EdBackup, Qt::Key_Return); // on to the new database's box
    QCOMPARE(QApplication::focusWidget(), w->EdBanco);
    QVERIFY(!w->running());
    const QString target = QDir(db.dir()).filePath(QStringLiteral("restaurado.fdb"));
    QTest::keyClicks(w->EdBanco, target);
    QTest::keyClick(w->EdBanco, Qt::Key_Return);
    waitIdle(w);
    QVERIFY2(w->LbSituacao->text().startsWith(QStringLiteral("Restauração concluída em ")),
             qPrintable(w->LbSituacao->text()));
    QVERIFY(prompts.errorReports().isEmpty());
    QCOMPARE(tableSums(target), tableSums(db.path()));
}

void TestAdminWindows::statisticsShownExportedAndPrinted() {
    TempDatabase db(variedSchema());
    ConnectedHolder holder(db.path());
    TPrincipal win;
    win.show();
    auto* w = openFromMenu<TFEstatisticas>(win, "EstatisticasdoBanco1");
    QVERIFY(w);
    waitIdle(w); // read as the window opens
    QCOMPARE(w->Tabelas->rowCount(), 3);
    QCOMPARE(w->Indices->rowCount(), 3);
    QVERIFY(!w->Saida->isVisible()); // tables, never text
    QVERIFY2(w->LbSituacao->text().contains(QStringLiteral("3 tabelas, 3 índices")), qPrintable(w->LbSituacao->text()));
    // The gap limit at 1: the gaps above it come in the warning colour, and only they.
    w->SpLimite->setValue(1);
    int gaps = 0;
    for (int r = 0; r < w->Cabecalho->rowCount(); ++r) {
        const bool warned =
            w->Cabecalho->data(w->Cabecalho->index(r, 0), Qt::BackgroundRole) == QVariant(StatsModel::warningBackground());
        const bool gap = w->Cabecalho->value(r, 0).toString().startsWith(QStringLiteral("Diferença"));
        gaps += gap;
        QCOMPARE(warned, gap && w->Cabecalho->value(r, 1).toLongLong() > 1);
    }
    QCOMPARE(gaps, 3);

    // Export of the tables page, read back from the workbook.
    w->Paginas->setCurrentIndex(1);
    const QString opened = m_dir.filePath(QStringLiteral("abertos.txt"));
    QFile::remove(opened);
    w->BtExporta->click();
    QVERIFY(QTest::qWaitFor([&] { return fileBytes(opened).endsWith('\n'); }, 20000));
    const QString book = QString::fromLocal8Bit(fileBytes(opened)).trimmed();
    const QList<QStringList> cells = readSheetCells(book, QStringLiteral("raw"));
    QCOMPARE(cells.size(), 4);
    QCOMPARE(cells[0].value(0), QStringLiteral("TABELA"));
    QCOMPARE(cells[0].value(1), QStringLiteral("REGISTROS"));
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(cells[r + 1].value(0), w->Tabelas->value(r, 0).toString());
        QCOMPARE(cells[r + 1].value(1), w->Tabelas->value(r, 1).toString());
    }
    QVERIFY(holder.prompts.errorReports().isEmpty());

    // Printed as a list report of the indexes page.
    w->Paginas->setCurrentIndex(2);
    holder.prompts.messageAnswers << MbYes; // portrait
    QStringList labels;
    int rows = -1;
    QString caption;
    QTimer::singleShot(0, this, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<ReportPreview*>(top); p && p->isVisible()) {
                caption = p->windowTitle();
                if (auto* report = dynamic_cast<const ListReport*>(p->pages())) {
                    rows = report->rowCount();
                    for (const ReportColumn& c : report->columns())
                        labels << c.label;
                }
                p->close();
            }
    });
    w->BtImprime->click();
    QCOMPARE(caption, QStringLiteral("Report Preview : Relatório de Dados da tabela - Estatísticas: índices"));
    QCOMPARE(rows, 3);
    QCOMPARE(labels.mid(0, 3), (QStringList{QStringLiteral("TABELA"), QStringLiteral("INDICE"),
                                            QStringLiteral("PROFUNDIDADE")}));
    QVERIFY(holder.prompts.errorReports().isEmpty());
}

void TestAdminWindows::maintenanceShutdownAndOnline() {
    TempDatabase db(variedSchema());
    ConnectedHolder holder(db.path());
    TPrincipal win;
    win.show();
    auto* w = openFromMenu<TFManutencao>(win, "Manutencao1");
    QVERIFY(w);
    waitIdle(w);
    QCOMPARE(w->LbEstado->text(), QStringLiteral("Estado: Normal (online)"));

    // Online validation of a sound database.
    w->BtValida->click();
    waitIdle(w);
    QCOMPARE(w->Achados->item(0)->text(), QStringLiteral("Nenhum problema encontrado."));

    // Full shutdown, forcing the others out at once; the question names the database.
    w->CbModo->setCurrentIndex(2);
    holder.prompts.messageAnswers << MbYes;
    w->BtDesliga->click();
    QCOMPARE(holder.prompts.messages.last().caption, QStringLiteral("Atenção"));
    QVERIFY(holder.prompts.messages.last().text.startsWith(QStringLiteral("Desligar o banco %1 (desligamento completo)?").arg(db.path())));
    QCOMPARE(holder.prompts.messages.last().defaultButton, MbNo);
    waitIdle(w);
    QVERIFY(holder.prompts.errorReports().isEmpty());
    QCOMPARE(w->LbEstado->text(), QStringLiteral("Estado: Desligado por completo"));
    QCOMPARE(readHeaderPage(AdminTarget::openDatabase().serviceLogin(), db.path()).shutdown, ShutdownMode::Full);
    QVERIFY(!holder.dm.Banco->connected()); // the database takes nobody now
    QVERIFY(w->LbSituacao->text().startsWith(QStringLiteral("Banco desligado: desligamento completo.")));

    w->BtOnline->click();
    waitIdle(w);
    QVERIFY(holder.prompts.errorReports().isEmpty());
    QCOMPARE(w->LbEstado->text(), QStringLiteral("Estado: Normal (online)"));
    QCOMPARE(w->LbSituacao->text(), QStringLiteral("Banco online."));
    QVERIFY(holder.dm.Banco->connected()); // taken again with the kept login
    QVERIFY(holder.prompts.logins.isEmpty());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from CLIENTE")), QStringLiteral("700"));

    // Answering No changes nothing.
    holder.prompts.messageAnswers << MbNo;
    w->BtDesliga->click();
    QVERIFY(!w->running());
    QVERIFY(holder.dm.Banco->connected());
}

void TestAdminWindows::propertiesChangedAndReadBack() {
    TempDatabase db(variedSchema());
    ConnectedHolder holder(db.path());
    TPrincipal win;
    win.show();
    auto* w = openFromMenu<TFPropriedadesBanco>(win, "PropriedadesdoBanco1");
    QVERIFY(w);
    waitIdle(w);
    QCOMPARE(w->LbSweep->text(), QStringLiteral("20.000 (padrão)"));
    QCOMPARE(w->SpSweep->value(), 20000);
    QCOMPARE(w->LbDialeto->text(), QStringLiteral("3"));
    QVERIFY(w->CbForcada->isChecked());

    w->SpSweep->setValue(7000);
    w->SpBuffers->setValue(400);
    w->CbForcada->setChecked(false);
    w->CbLeitura->setChecked(true);
    holder.prompts.messageAnswers << MbYes; // read-only needs the database alone
    w->BtAplica->click();
    waitIdle(w);
    QVERIFY(holder.prompts.errorReports().isEmpty());
    QCOMPARE(w->LbSituacao->text(), QStringLiteral("Propriedades aplicadas."));
    QCOMPARE(w->LbSweep->text(), QStringLiteral("7.000"));
    QCOMPARE(w->LbBuffers->text(), QStringLiteral("400"));
    QCOMPARE(w->LbForcada->text(), QStringLiteral("Não"));
    QCOMPARE(w->LbLeitura->text(), QStringLiteral("Sim"));
    QVERIFY(holder.dm.Banco->connected());
    const HeaderPage tool = parseStatistics(fbstat({QStringLiteral("-h")}, db.path())).header;
    QCOMPARE(tool.sweepInterval, 7000);
    QCOMPARE(tool.pageBuffers, 400);
    QVERIFY(!tool.forcedWrites);
    QVERIFY(tool.readOnly);

    // Back to read-write (first, so that the database takes the other change).
    w->CbLeitura->setChecked(false);
    w->SpSweep->setValue(0);
    holder.prompts.messageAnswers << MbYes;
    w->BtAplica->click();
    waitIdle(w);
    QVERIFY(holder.prompts.errorReports().isEmpty());
    QCOMPARE(w->LbLeitura->text(), QStringLiteral("Não"));
    QCOMPARE(w->LbSweep->text(), QStringLiteral("0"));
}

QTEST_MAIN(TestAdminWindows)
#include "test_adminwindows.moc"
