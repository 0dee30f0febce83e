#pragma once
#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QWidget>

// A picture of a record form: the bytes of a picture (as stored in a binary blob or read from a
// file) shown shrunk to fit, whole and centred, on the window's colour inside a thin frame. Bytes
// that are no picture show nothing. The whole picture is decoded only when it is asked for.
class PictureControl : public QWidget {
    Q_OBJECT
public:
    explicit PictureControl(QWidget* parent = nullptr);

    // Shows the bytes; the same bytes again are not decoded again.
    void setBytes(const QByteArray& bytes);
    // Shows a picture whose bytes are already known (`shown` is the picture fitted for showing).
    void setPicture(const QByteArray& bytes, const QImage& shown);
    void clear();

    bool hasPicture() const { return !m_shown.isNull(); }
    QByteArray bytes() const { return m_bytes; }
    QImage picture() const; // the whole picture, decoded from the bytes
    // The size to which pictures are fitted for showing.
    static QSize showingBox();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QByteArray m_bytes;
    QImage m_shown;
    QPixmap m_scaled; // m_shown at the size it is painted, made at the first paint after a change
};
