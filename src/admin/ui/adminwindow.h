#pragma once
#include "admin/servicejob.h"
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// What the administration windows share: the program's look (light blue window, the 8-point sans
// face, buttons with a picture and a hand cursor), a job that runs their work off the interface
// thread, the server's lines as they come, the time the work has taken, and a window that does
// not close under running work.
class TAdminWindow : public QWidget {
    Q_OBJECT
public:
    explicit TAdminWindow(const char* objectName, const QString& caption, QWidget* parent = nullptr);

    ServiceJob* job() const { return m_job; }
    bool running() const { return m_job->running(); }

    QPlainTextEdit* Saida;   // the server's lines
    QLabel* LbSituacao;      // what happened last, in the user's words
    QPushButton* BtCancelar; // enabled while work runs
    QPushButton* BtFecha;

    // Shows the window as a child of the main window, fixed border with minimise only.
    void showAsChild();

protected:
    // Starts `work` on the job, saying `status` meanwhile; the window's inputs are locked until it
    // ends (setInputsEnabled). Then `done(ok)` runs here: a failure is reported afterwards by the
    // general error box, a cancellation said in the status line.
    void startWork(const QString& status, ServiceJob::Work work, std::function<void(bool ok)> done);
    // Locks or unlocks the window's own inputs while work runs.
    virtual void setInputsEnabled(bool on) = 0;
    // Every second while work runs, and once at its end.
    virtual void tick(qint64 elapsedMs) { Q_UNUSED(elapsedMs); }
    // Lines of the server as they come (after they were shown).
    virtual void linesArrived(const QStringList& lines) { Q_UNUSED(lines); }
    // Enter pressed with the focus on `focused`: true when the window acted on it. Otherwise
    // Enter moves on as Tab does, as in the program's other dialog-like windows.
    virtual bool enterPressed(QWidget* focused) {
        Q_UNUSED(focused);
        return false;
    }

    qint64 elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

    // A button in the program's style.
    QPushButton* button(const char* name, const QString& caption, const QString& picture);

private:
    void finished(std::exception_ptr error, const std::function<void(bool)>& done);

    ServiceJob* m_job;
    QTimer* m_ticker;
    QElapsedTimer m_clock;
};

// Brings a child window of the main window to the front, restored if it was minimised.
void bringAdminWindowForward(QWidget* w);

// Opens the single window of a kind as a child of the main window, or brings the open one forward.
template <class W> W* openAdminWindow() {
    static QPointer<W> open;
    if (open) {
        bringAdminWindowForward(open);
    } else {
        open = new W();
        open->showAsChild();
    }
    return open;
}
