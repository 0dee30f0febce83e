// The server refuses the commit of a browse window ("Grava"): a trigger on the end of every
// transaction raises while a flag is set in a control table. The error is shown, and the user
// goes on in the same window: the table reopens in the transaction that is still open, showing
// what was saved there, and the commit is tried again once the cause is gone. What was typed
// reaches the database, read through another attachment.
#include "browse/ui/fbrowse.h"
#include "connection/datasetmodel.h"
#include "connection/dm.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "support/browsewindows.h"
#include "support/connectedholder.h"
#include "support/fbfixture.h"
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TestBrowseCommitRefused : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void refusedCommitReopensAndCommitsAgain();

private:
    // A statement in the program's own transaction, as the SQL command window runs one.
    void inTransaction(const QString& sql);
    QLineEdit* openEditor(TFBrowse* b);

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<ConnectedHolder> m_holder;
    BrowseWindows m_browses;
};

void TestBrowseCommitRefused::initTestCase() {
    m_db = std::make_unique<TempDatabase>(QStringList{
        QStringLiteral("create table CLIENTES (CODIGO integer not null primary key, NOME varchar(40))"),
        QStringLiteral("create table CONTROLE (BLOQUEIA integer)"),
        QStringLiteral("create exception COMMIT_BLOQUEADO 'Commit bloqueado'"),
        QStringLiteral("create trigger BLOQUEIA_COMMIT on transaction commit as begin"
                       " if (exists(select 1 from CONTROLE where BLOQUEIA = 1)) then"
                       " exception COMMIT_BLOQUEADO; end"),
    });
}

void TestBrowseCommitRefused::init() {
    m_db->exec({QStringLiteral("delete from CLIENTES"), QStringLiteral("delete from CONTROLE"),
                QStringLiteral("insert into CONTROLE values (0)"),
                QStringLiteral("insert into CLIENTES values (1, 'Ana')"),
                QStringLiteral("insert into CLIENTES values (2, 'Bia')")});
    m_holder = std::make_unique<ConnectedHolder>(m_db->path());
}

void TestBrowseCommitRefused::cleanup() {
    m_browses.closeAll();
    if (m_holder->dm.Trans->active()) m_holder->dm.Trans->rollback();
    m_holder.reset();
}

void TestBrowseCommitRefused::inTransaction(const QString& sql) {
    executeImmediate(m_holder->dm.Banco, m_holder->dm.Trans, sql);
}

QLineEdit* TestBrowseCommitRefused::openEditor(TFBrowse* b) {
    for (QLineEdit* editor : b->Gs->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible()) return editor;
    return nullptr;
}

void TestBrowseCommitRefused::refusedCommitReopensAndCommitsAgain() {
    TFBrowse* b = m_browses.open(QStringLiteral("CLIENTES"), QStringLiteral(" Order By CODIGO"));
    inTransaction(QStringLiteral("update CONTROLE set BLOQUEIA = 1"));

    // The user types a new name over the first row's NOME and saves the row.
    const int nome = b->DS->columnOf(b->IBDataSet1->fieldByName(QStringLiteral("NOME"))->index());
    b->Gs->setCurrentIndex(b->DS->index(0, nome));
    QTest::keyClick(b->Gs, 'M');
    QLineEdit* editor = openEditor(b);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("udado"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::mouseClick(b->SGrava, Qt::LeftButton);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QVERIFY(m_holder->prompts.errorReports().isEmpty());

    // "Grava": the server refuses, the error is shown.
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    const QStringList errors = m_holder->prompts.errorReports();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(QStringLiteral("Commit bloqueado")), qPrintable(errors.first()));
    QVERIFY(m_holder->dm.Trans->active()); // the work is still there, uncommitted
    QCOMPARE(b->IBDataSet1->state(), DataSet::Inactive);
    QVERIFY(b->SAbre->isEnabled());

    // Reopening shows the rows as this transaction has them.
    QTest::mouseClick(b->SAbre, Qt::LeftButton);
    QCOMPARE(b->IBDataSet1->state(), DataSet::Browse);
    QCOMPARE(b->DS->index(0, nome).data().toString(), QStringLiteral("Mudado"));
    QVERIFY(b->SCommit->isEnabled());
    QVERIFY(!b->SAbre->isEnabled());
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTES where CODIGO = 1")),
             QStringLiteral("Ana"));

    // The cause gone, "Grava" again makes the change permanent.
    inTransaction(QStringLiteral("update CONTROLE set BLOQUEIA = 0"));
    QTest::mouseClick(b->SCommit, Qt::LeftButton);
    QCOMPARE(m_holder->prompts.errorReports().size(), 1);
    QVERIFY(!m_holder->dm.Trans->active());
    QVERIFY(b->SAbre->isEnabled());
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTES where CODIGO = 1")),
             QStringLiteral("Mudado"));
    QCOMPARE(m_db->scalar(QStringLiteral("select NOME from CLIENTES where CODIGO = 2")),
             QStringLiteral("Bia"));
}

QTEST_MAIN(TestBrowseCommitRefused)
#include "test_browsecommitrefused.moc"
