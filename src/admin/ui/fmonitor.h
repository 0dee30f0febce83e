#pragma once
#include <QWidget>

class AttachmentsModel;
class MonitorSession;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QSplitter;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class StatementsModel;
class TransactionsModel;

// "Monitor de conexões": who is attached to the open database, their transactions and running
// statements, read from the monitoring tables through an attachment of the monitor's own, off
// the interface thread. Ends an attachment or cancels a statement after a question. A child of
// the main window, destroyed when closed (its attachment goes with it).
class TFMonitor : public QWidget {
    Q_OBJECT
public:
    explicit TFMonitor(QWidget* parent = nullptr);
    ~TFMonitor() override;

    QToolBar* ToolBar1;
    QToolButton* BAtualiza;
    QToolButton* BEncerra;
    QToolButton* BCancela;
    QToolButton* BPlano;
    QToolButton* BFecha;
    QCheckBox* CBAutomatico;
    QSpinBox* SEIntervalo;
    QLabel* LAviso;  // non-administrators see only their own attachments
    QLabel* LResumo; // the last reading: when, how long, the transaction markers
    QSplitter* Splitter1;
    QTableView* GConexoes;
    QTableView* GTransacoes;
    QTableView* GComandos;
    QPlainTextEdit* MemoComando; // the chosen statement's whole text, and its plan on request
    QTimer* Timer1;              // automatic refresh

    AttachmentsModel* Conexoes;
    TransactionsModel* Transacoes;
    StatementsModel* Comandos;
    MonitorSession* session() const { return m_session; }

    QSize sizeHint() const override { return QSize(900, 560); }

    void FormShow();
    void BAtualizaClick();
    void BEncerraClick();
    void BCancelaClick();
    void BPlanoClick();
    void BFechaClick();
    void CBAutomaticoClick();

    // The server's number of the chosen attachment and statement, -1 when none.
    qint64 currentAttachment() const;
    qint64 currentStatement() const;
    bool selectAttachment(qint64 id);
    bool selectStatement(qint64 id);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void showSnapshot();
    // The chosen attachment's transactions and statements; keepStatement stays chosen if it is there.
    void showAttachmentDetails(qint64 keepStatement);
    void showStatementText();
    void failed(const QString& message, bool duringRefresh);

    MonitorSession* m_session = nullptr;
    bool m_shown = false;
    qint64 m_plannedStatement = -1;
    QString m_plan;
};
