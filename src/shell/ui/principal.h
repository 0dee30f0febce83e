#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QTime>
#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

// The main window: every working window lives in its client area. It keeps no data of its own but
// the "Conexões" entries and the two single-instance child windows (open-database dialog, table
// list); whether a database is open is always read from CurrentDatabase.
class TPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TPrincipal(QWidget* parent = nullptr);
    ~TPrincipal() override;

    QMenuBar* MM;
    QMenu* Banco1;
    QAction* AbreBanco1;
    QAction* FechaBanco1;
    QAction* N1;
    QAction* Sada1;
    QMenu* AtualizaeseConsultas1;
    QAction* ComandosSQL1;
    QAction* Tabelas1;
    QMenu* Administracao1; // "A&dministração": the administration windows (admin/ui/adminmenu.h)
    QAction* Monitordeconexes1;
    QAction* Usuriosepermisses1;
    QAction* ObjetosdoBanco1;
    QAction* ExtraiDDL1;
    QAction* AcertaJanelas1;
    QMenu* Bancos;
    QAction* Morvex1;

    QToolBar* ToolBar1;
    QToolButton* Tcon;
    QToolButton* Tdis;
    QToolButton* TTab;
    QToolButton* TSql;
    QWidget* ToolButton5;
    QToolButton* ToolButton6;

    QMdiArea* ClientArea;
    QLabel* Image1;
    QStatusBar* SB;
    QLabel* SBPanel0; // the clock
    QLabel* SBPanel1;
    QTimer* Timer1;

    // The clock's time source; tests set a fixed time.
    std::function<QTime()> currentTime = [] { return QTime::currentTime(); };

    void FormShow();
    void AbreBanco1Click();
    void FechaBanco1Click();
    void Tabelas1Click();
    void ComandosSQL1Click();
    void AcertaJanelas1Click();
    void ObjetosdoBanco1Click();
    void ExtraiDDL1Click();
    void Sada1Click();
    void Morvex1Click();
    void Timer1Timer();
    void Monitordeconexes1Click();
    void Usuriosepermisses1Click();
    void MenuBancosClick(QAction* entry);
    // True when w is one of the application's live windows.
    static bool FormExists(const QWidget* w);

    // The single-instance child windows, while they exist.
    QWidget* abreBancoWindow() const { return m_abreBanco; }
    QWidget* tabelasWindow() const { return m_tabelas; }
    QWidget* objetosWindow() const { return m_objetos; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override; // FormCloseQuery

private:
    QToolButton* addToolButton(const char* name, const QString& subject, const QString& hint);
    // "Administração": its items wait, disabled, until a database is open.
    void buildAdministracao();
    void openAdministrationWindow(QPointer<QWidget>& window, QWidget* (*create)());
    void fillConexoes();
    void closeChildWindows();
    // DisconnectDatabase, then every child window closed; when the server was lost the connection
    // is gone anyway, so the windows close before the error is reported.
    void disconnectAndCloseChildren();
    void bringForward(QWidget* w);
    // The administration menu's items; none is offered while no database is open.
    void addAdministracao();

    QPointer<QWidget> m_abreBanco;
    QPointer<QWidget> m_tabelas;
    QPointer<QWidget> m_monitor;
    QPointer<QWidget> m_usuarios;
    QPointer<QWidget> m_objetos;
    bool m_shown = false;
};
