#pragma once
#include <QDialog>
#include <QStringList>

class QPushButton;

// The about window ("Morvex - Informática"): the house picture and a few lines about the program,
// shown modally from the main window.
class TMorvex : public QDialog {
    Q_OBJECT
public:
    explicit TMorvex(QWidget* parent = nullptr);

    // The lines drawn beside the picture.
    static QStringList serviceLines();

    QPushButton* OKButton;

protected:
    void paintEvent(QPaintEvent* e) override;
};
