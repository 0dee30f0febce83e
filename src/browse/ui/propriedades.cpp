#include "browse/ui/propriedades.h"
#include "browse/tablescript.h"
#include "connection/database.h"
#include "connection/dm.h"
#include "platform/apperror.h"
#include "platform/ui/icons.h"
#include "platform/ui/uifont.h"
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

namespace {
QPlainTextEdit* makeMemo(const char* name, QWidget* page) {
    auto* memo = new QPlainTextEdit(page);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setGeometry(14, 16, 595, 304);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Columns of names and types line up only in a fixed-pitch face.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(13);
    memo->setFont(fixed);
    return memo;
}
} // namespace

TPropriedades::TPropriedades(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Propriedades"));
    setWindowTitle(QStringLiteral("Propriedades"));
    // Tool-window border without title-bar buttons: "&Fecha" closes it.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(sansFont(13));
    setFixedSize(627, 423);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 627, 369);
    Tcam = new QWidget;
    Tcam->setObjectName(QStringLiteral("Tcam"));
    TScr = new QWidget;
    TScr->setObjectName(QStringLiteral("TScr"));
    PageControl1->addTab(Tcam, QStringLiteral("&Campos"));
    PageControl1->addTab(TScr, QStringLiteral("Scri&pt de Criação"));
    Campos = makeMemo("Campos", Tcam);
    Script = makeMemo("Script", TScr);

    BitBtn1 = new QPushButton(QStringLiteral("&Fecha"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(533, 387, 94, 31);
    BitBtn1->setCursor(Qt::PointingHandCursor);
    BitBtn1->setIcon(subjectIcon(QStringLiteral("door-arrow")));
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TPropriedades::showTable(const QString& tableName) {
    m_tableName = tableName;
    Campos->clear();
    Script->clear();
    TdM* dm = TdM::instance();
    if (!dm) throw AppError(QStringLiteral("Cannot perform operation -- DB is not open"));
    const TableDescription table = describeTable(dm->Banco, tableName);
    Campos->setPlainText(columnListText(table));
    Script->setPlainText(createTableScript(table, dm->Banco->sqlDialect()));
}

void TPropriedades::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    PageControl1->setCurrentIndex(0); // the first page is active when the window opens
    if (QScreen* s = screen())
        move(s->availableGeometry().center() -
             QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
}

void TPropriedades::BitBtn1Click() {
    accept();
}
