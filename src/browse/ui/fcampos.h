#pragma once
#include "platform/ui/checklist.h"
#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QPushButton;

// The field chooser ("Campos da Tabela"): one tick box per field; the ticked fields are the columns
// a browse window shows. Made for one use by the browse window, which reads the ticks after OK.
class TFCampos : public QDialog {
    Q_OBJECT
public:
    explicit TFCampos(QWidget* parent = nullptr);
    ~TFCampos() override;

    TickList* Campos;
    QLabel* Label1;       // the F1/F2 hint, shown while Campos has the focus
    QPushButton* BitBtn1; // "Cancela" (Esc)
    QPushButton* BitBtn2; // "OK" (Enter)

    // One item per name, ticked where `ticked` says so.
    void setFields(const QStringList& names, const QList<bool>& ticked);
    QList<bool> ticks() const;

    // The hint shows exactly while the list has the focus; F1 ticks every item, F2 clears every item.
    void CamposEnter();
    void CamposExit();
    bool CamposKeyDown(int key);

protected:
    void showEvent(QShowEvent* e) override;
};
