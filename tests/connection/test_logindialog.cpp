// The login dialog asked before every attach.
#include "connection/ui/logindialog.h"
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestLoginDialog : public QObject {
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void entryBoxes();
    void longDatabaseNameIsNarrowed();
    void firstFocus_data();
    void firstFocus();
    void passwordIsHandedOverOnce();
};

void TestLoginDialog::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("Label3") << "Label3" << "Database:";
    QTest::newRow("Label1") << "Label1" << "&User Name:";
    QTest::newRow("Label2") << "Label2" << "&Password:";
    QTest::newRow("OKButton") << "OKButton" << "&OK";
    QTest::newRow("CancelButton") << "CancelButton" << "Cancel";
}

void TestLoginDialog::controls() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    TLoginDialog dlg;
    QCOMPARE(dlg.objectName(), QStringLiteral("LoginDialog"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Database Login"));
    QWidget* w = dlg.findChild<QWidget*>(name);
    QVERIFY(w);
    if (auto* l = qobject_cast<QLabel*>(w)) QCOMPARE(l->text(), text);
    if (auto* b = qobject_cast<QPushButton*>(w)) QCOMPARE(b->text(), text);
    QVERIFY(dlg.findChild<QFrame*>("Bevel"));
    QCOMPARE(dlg.minimumSize(), dlg.maximumSize()); // fixed size
}

void TestLoginDialog::entryBoxes() {
    TLoginDialog dlg;
    QCOMPARE(dlg.Label1->buddy(), dlg.UserName);
    QCOMPARE(dlg.Label2->buddy(), dlg.Password);
    QCOMPARE(dlg.UserName->maxLength(), 31);
    QCOMPARE(dlg.Password->maxLength(), 31);
    QCOMPARE(dlg.Password->echoMode(), QLineEdit::Password);
    QVERIFY(dlg.OKButton->isDefault());
    QVERIFY(!dlg.CancelButton->isDefault());
    dlg.setUserName(QString(40, 'u'));
    QCOMPARE(dlg.UserName->text(), QString(31, 'u'));
}

void TestLoginDialog::longDatabaseNameIsNarrowed() {
    TLoginDialog dlg;
    const QString longName = QStringLiteral("servidor.empresa.com.br:/var/lib/firebird/dados/") + QString(80, 'x') +
                             QStringLiteral("/vendas.fdb");
    dlg.setDatabaseName(longName);
    dlg.show();
    const QString shown = dlg.DatabaseName->text();
    QVERIFY(shown != longName);
    QVERIFY(dlg.DatabaseName->fontMetrics().horizontalAdvance(shown) <= dlg.DatabaseName->width());
    QVERIFY(shown.startsWith(QStringLiteral("serv")));
    QVERIFY(shown.endsWith(QStringLiteral("fdb")));
    QCOMPARE(dlg.databaseName(), longName);

    dlg.setDatabaseName(QStringLiteral("c:/x.gdb"));
    QCOMPARE(dlg.DatabaseName->text(), QStringLiteral("c:/x.gdb"));
}

void TestLoginDialog::firstFocus_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("focused");
    QTest::newRow("name proposed") << "SYSDBA" << "Password";
    QTest::newRow("no name") << "" << "UserName";
}

void TestLoginDialog::firstFocus() {
    QFETCH(QString, user);
    QFETCH(QString, focused);
    TLoginDialog dlg;
    dlg.setUserName(user);
    QString got;
    QTimer::singleShot(0, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            got = w->focusWidget() ? w->focusWidget()->objectName() : QString();
            static_cast<QDialog*>(w)->reject();
        }
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(got, focused);
}

void TestLoginDialog::passwordIsHandedOverOnce() {
    TLoginDialog dlg;
    dlg.Password->setText(QStringLiteral("segredo"));
    QCOMPARE(dlg.takePassword(), QStringLiteral("segredo"));
    QCOMPARE(dlg.Password->text(), QString());
    QCOMPARE(dlg.takePassword(), QString());
}

QTEST_MAIN(TestLoginDialog)
#include "test_logindialog.moc"
