#pragma once
#include <QDialog>
#include <QFont>
#include <QRect>
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
    // Where they are drawn (right of the picture), and in which type.
    static QRect textArea();
    static QFont textFont();

    QPushButton* OKButton;

protected:
    void paintEvent(QPaintEvent* e) override;
};
