#include "browse/ui/picturecontrol.h"
#include "platform/picturefile.h"
#include <QPainter>

PictureControl::PictureControl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus); // a picture is not a stop of the Tab key
}

QSize PictureControl::showingBox() {
    // The control is 240 high and as wide as the window: room for a high-density screen.
    return QSize(2048, 480);
}

void PictureControl::setBytes(const QByteArray& bytes) {
    if (bytes == m_bytes && (hasPicture() || bytes.isEmpty())) return;
    setPicture(bytes, decodePictureToFit(bytes, showingBox()));
}

void PictureControl::setPicture(const QByteArray& bytes, const QImage& shown) {
    m_bytes = bytes;
    m_shown = shown;
    m_scaled = QPixmap();
    update();
}

void PictureControl::clear() {
    setPicture(QByteArray(), QImage());
}

QImage PictureControl::picture() const {
    return hasPicture() ? decodePicture(m_bytes) : QImage();
}

void PictureControl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    m_scaled = QPixmap();
}

void PictureControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_shown.isNull()) return;
    const QRect area = rect().adjusted(1, 1, -1, -1);
    const qreal dpr = devicePixelRatioF();
    QSize size = m_shown.deviceIndependentSize().toSize();
    if (size.width() > area.width() || size.height() > area.height())
        size = size.scaled(area.size(), Qt::KeepAspectRatio);
    if (size.isEmpty()) return;
    if (m_scaled.isNull() || m_scaled.deviceIndependentSize().toSize() != size) {
        m_scaled =
            QPixmap::fromImage(m_shown.scaled(size * dpr, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_scaled.setDevicePixelRatio(dpr);
    }
    const QPoint at(area.x() + (area.width() - size.width()) / 2,
                    area.y() + (area.height() - size.height()) / 2);
    p.drawPixmap(at, m_scaled);
}
