#pragma once
#include "connection/dataset.h"
#include <QDialog>
#include <QPointer>
#include <vector>

class DataSource;
class PictureControl;
class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;

// The record form: the current row of a browse window's dataset, one line per field (a caption
// label and an edit control), with buttons and keys that insert, edit, post, cancel and delete
// rows and step through them. It has no data of its own: its data source works on the browse
// window's dataset, so whatever it posts, cancels or deletes is what the browse window shows.
// Shown modally; its lines are generated when it is shown, from the dataset's fields.
class TEditorTable : public QDialog {
    Q_OBJECT
public:
    explicit TEditorTable(QWidget* parent = nullptr);
    ~TEditorTable() override;

    DataSource* Ds; // the browse window sets its dataset
    QScrollArea* ScrollBoxData;
    QToolButton* SNovo;
    QToolButton* SGrava;
    QToolButton* SCancela;
    QToolButton* SEdita;
    QToolButton* SExclui;
    QToolButton* Sup;
    QToolButton* SDown;
    QMenu* pmImages;
    QAction* Savetofile1;
    QAction* Loadfromfile1;
    QAction* Copy2;
    QAction* Paste2;
    QAction* Cut2;

    struct PictureEntry {
        PictureControl* control;
        bool changed; // set by "Load from file..." and "Paste"
    };
    std::vector<PictureEntry> PictureList; // in creation order

    void FormShow();
    // The field area and the buttons follow the window's outer height.
    void FormResize();
    void DsStateChange(DataSet::State state);
    // Seen before the focused control; the key goes on to it afterwards.
    void FormKeyDown(int key);
    void BuildFieldControls();
    void AddFieldControl(int fieldIndex);

    void SNovoClick();
    void SGravaClick();
    void SCancelaClick();
    void SEditaClick();
    void SExcluiClick();
    void SupClick();
    void SDownClick();

    // The picture control on which the picture menu was last opened, if any.
    PictureControl* PopupPicture() const;
    void Savetofile1Click();
    void Loadfromfile1Click();
    void Copy2Click();
    void Paste2Click();
    void Cut2Click();

    // A field's generated line (nullptr before showing). Every control carries the field's index
    // as its "tag" property.
    QLabel* fieldLabel(int fieldIndex) const;
    QWidget* fieldControl(int fieldIndex) const;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QToolButton* makeButton(const char* name, const char* picture, int pictureSize, int left,
                            const QString& hint, void (TEditorTable::*handler)());
    void fitOuterSize();
    void widenLines(); // memo editors and pictures keep their right edge inside the field area
    void scrollTo(QWidget* control);
    PictureControl* shownPicture() const; // the menu's picture control when it shows a picture
    void showPictures();
    void showStoredPicture(PictureControl* control);
    Field* fieldOf(const PictureControl* control) const;
    void markChanged(PictureControl* control);
    void storePicture(PictureControl* control);
    void focusField(int fieldIndex);

    QWidget* m_lines = nullptr; // the field area inside ScrollBoxData
    int m_linesBottom = 0;
    std::vector<QLabel*> m_labels;        // by field index
    std::vector<QWidget*> m_controls;     // by field index
    std::vector<QWidget*> m_wideControls; // memo editors and pictures, anchored on both sides
    QPointer<PictureControl> m_popupPicture;
    bool m_shown = false;
    bool m_outerSized = false;
};
