#include "platform/ui/qtprompts.h"
#include "platform/picturefile.h"
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

namespace {
QWidget* dialogParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardButton(MsgButton b) {
    switch (b) {
    case MbOk: return QMessageBox::Ok;
    case MbCancel: return QMessageBox::Cancel;
    case MbYes: return QMessageBox::Yes;
    case MbNo: return QMessageBox::No;
    case MbNone: break;
    }
    return QMessageBox::NoButton;
}

// A picture of the selected file beside the file list.
void addPicturePreview(QFileDialog* dlg) {
    dlg->setOption(QFileDialog::DontUseNativeDialog, true); // only the toolkit's own dialog has room for it
    auto* grid = qobject_cast<QGridLayout*>(dlg->layout());
    if (!grid) return;
    auto* preview = new QLabel(dlg);
    preview->setObjectName(QStringLiteral("picturePreview"));
    preview->setFixedSize(160, 160);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(dlg, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        const QImage picture =
            QFileInfo(path).isFile() ? previewPictureFile(path, preview->contentsRect().size()) : QImage();
        preview->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
    });
}

QString runFileDialog(const FileDialogRequest& r, QFileDialog::AcceptMode mode) {
    QPointer<QFileDialog> dlg = new QFileDialog(dialogParent(), r.title, r.directory);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    dlg->setAcceptMode(mode);
    if (!r.filters.isEmpty()) dlg->setNameFilters(r.filters);
    dlg->setDefaultSuffix(r.defaultSuffix);
    if (mode == QFileDialog::AcceptSave) {
        dlg->setFileMode(QFileDialog::AnyFile);
        dlg->setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    } else {
        dlg->setFileMode(r.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (r.picturePreview) addPicturePreview(dlg);
    QString chosen;
    if (dlg->exec() == QDialog::Accepted && dlg && !dlg->selectedFiles().isEmpty())
        chosen = dlg->selectedFiles().first();
    delete dlg;
    return chosen;
}
} // namespace

QtPrompts::QtPrompts(LoginDialog loginDialog) : m_loginDialog(std::move(loginDialog)) {}

MsgButton QtPrompts::message(const MessageRequest& request) {
    QMessageBox box(boxIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    dialogParent());
    box.setTextFormat(Qt::PlainText);
    for (MsgButton b : {MbYes, MbNo, MbOk, MbCancel})
        if (request.buttons & b) box.addButton(standardButton(b));
    if (box.buttons().isEmpty()) box.addButton(QMessageBox::Ok);
    if (request.defaultButton != MbNone && (request.buttons & request.defaultButton))
        box.setDefaultButton(standardButton(request.defaultButton));
    // Esc answers Cancel, or OK on a box that only informs; a Yes/No question needs an answer.
    if (request.buttons & MbCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (!(request.buttons & (MbYes | MbNo)))
        box.setEscapeButton(box.buttons().first());
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return MbOk;
    case QMessageBox::Yes: return MbYes;
    case QMessageBox::No: return MbNo;
    case QMessageBox::Cancel: return MbCancel;
    default: break;
    }
    // Closed without a button: the mildest answer the box offers.
    if (request.buttons & MbCancel) return MbCancel;
    if (request.buttons & MbNo) return MbNo;
    return MbOk;
}

bool QtPrompts::input(const InputRequest& request, QString* value) {
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), request.caption, request.prompt,
                                               QLineEdit::Normal, request.value, &ok);
    if (ok) *value = text;
    return ok;
}

QString QtPrompts::openFile(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

QString QtPrompts::saveFile(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

bool QtPrompts::login(const LoginRequest& request, QString* userName, QString* password) {
    return m_loginDialog && m_loginDialog(dialogParent(), request, userName, password);
}

void QtPrompts::beep() { QApplication::beep(); }
