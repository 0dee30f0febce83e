#pragma once
#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QScrollArea;
class ReportPages;
class ReportPageView;

// The print preview of a report: one page at a time in a top-level window (not modal), with
// zoom, page navigation, go to page, printer setup, print, save (PDF), load (a saved PDF, shown in
// the same window) and close. Caption "Report Preview : " followed by the report's title.
// Keys: Escape closes; Page Up / Page Down the previous / next page; Ctrl+Page Up and Home the
// first page, Ctrl+Page Down and End the last; Up and Down scroll, and past the top or the bottom
// of a page they move to the previous or next page.
class ReportPreview : public QMainWindow {
    Q_OBJECT
public:
    enum class Zoom { Fit, Width, Actual };

    // `report` is not owned and must outlive the window; `owner` is the window the report
    // belongs to (see openFor).
    ReportPreview(ReportPages* report, QObject* owner);
    ~ReportPreview() override;

    // The open preview of an owner's report, if any.
    static ReportPreview* openFor(const QObject* owner);

    // What is shown: the report, or a report loaded from a file.
    const ReportPages* pages() const { return m_pages; }
    int currentPage() const { return m_page; } // 0-based
    Zoom zoom() const { return m_zoom; }
    // Screen pixels per point of the page as shown.
    double scale() const;
    QScrollArea* scrollArea() const { return m_scroll; }
    QPrinter* printer() const { return m_printer.get(); }

    QAction* zoomFitAction;
    QAction* zoomWidthAction;
    QAction* zoom100Action;
    QAction* firstPageAction;
    QAction* priorPageAction;
    QAction* nextPageAction;
    QAction* lastPageAction;
    QAction* goToPageAction;
    QAction* printerSetupAction;
    QAction* printAction;
    QAction* saveReportAction;
    QAction* loadReportAction;
    QAction* closeAction;

    void showPage(int page); // clamped to the pages there are
    void setZoom(Zoom zoom);
    void goToPage();
    void printerSetup();
    void print();
    void saveReport();
    void loadReport();

signals:
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QAction* addCommand(const char* name, const QIcon& icon, const QString& text);
    void updatePage();
    void scrollBy(int direction);
    void resetPrinter();

    QPointer<QObject> m_owner;
    ReportPages* m_report;
    std::unique_ptr<ReportPages> m_loaded;
    ReportPages* m_pages;
    std::unique_ptr<QPrinter> m_printer;
    QScrollArea* m_scroll;
    ReportPageView* m_view;
    QLabel* m_status;
    int m_page = 0;
    Zoom m_zoom = Zoom::Fit;
};
