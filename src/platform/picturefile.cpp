#include "platform/picturefile.h"
#include "platform/apperror.h"
#include "platform/textfile.h"
#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

namespace {
struct ExtensionFormat {
    const char* extension;
    const char* format;
};
// The picture files the dialogs offer; emf and wmf are known names that no decoder here reads.
constexpr ExtensionFormat kExtensions[] = {{"png", "png"}, {"jpg", "jpeg"}, {"jpeg", "jpeg"}, {"bmp", "bmp"},
                                           {"gif", "gif"}, {"ico", "ico"},  {"emf", "emf"},   {"wmf", "wmf"}};

// Reads one picture from a reader, shrunk to fit `box` when one is given.
QImage readPicture(QImageReader& reader, const QSize& box) {
    reader.setAutoTransform(true); // photographs stand as they were taken
    if (box.isValid()) {
        QSize size = reader.size();
        if (size.isValid() && reader.transformation() & QImageIOHandler::TransformationRotate90)
            size.transpose();
        if (size.isValid() && (size.width() > box.width() || size.height() > box.height())) {
            const QSize fitted = size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
            if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
                reader.setScaledSize(reader.transformation() & QImageIOHandler::TransformationRotate90
                                         ? fitted.transposed()
                                         : fitted);
                return reader.read();
            }
            return fitPicture(reader.read(), box);
        }
    }
    return reader.read();
}

QImage decode(const QByteArray& bytes, const QSize& box) {
    if (bytes.isEmpty()) return {};
    QBuffer buffer;
    buffer.setData(bytes); // shared, not copied
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return readPicture(reader, box);
}
} // namespace

QByteArray pictureFormat(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).format();
}

QImage decodePicture(const QByteArray& bytes) {
    return decode(bytes, QSize());
}

QImage decodePictureToFit(const QByteArray& bytes, const QSize& box) {
    return decode(bytes, box);
}

QImage previewPictureFile(const QString& path, const QSize& box) {
    QImageReader reader(path);
    return readPicture(reader, box);
}

QImage fitPicture(const QImage& picture, const QSize& box) {
    if (picture.isNull() || (picture.width() <= box.width() && picture.height() <= box.height()))
        return picture;
    return picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QByteArray pictureFormatForFile(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix();
    for (const ExtensionFormat& e : kExtensions)
        if (extension.compare(QLatin1String(e.extension), Qt::CaseInsensitive) == 0) return e.format;
    throw AppError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}

QString pictureExtension(const QByteArray& format) {
    for (const ExtensionFormat& e : kExtensions)
        if (format == e.format) return QLatin1String(e.extension);
    return {};
}

QByteArray loadPictureFile(const QString& path, const QSize& box, QImage* shown) {
    const QByteArray format = pictureFormatForFile(path);
    QByteArray bytes = readFileBytes(path);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // A format that no decoder reads is refused as such, whatever the bytes hold.
    if (!QImageReader::supportedImageFormats().contains(format)) reader.setAutoDetectImageFormat(false);
    const QImage image = readPicture(reader, box);
    if (image.isNull()) throw AppError(reader.errorString());
    buffer.close();
    if (shown) *shown = image;
    return bytes;
}

void savePictureFile(const QString& path, const QByteArray& bytes) {
    const QByteArray format = pictureFormatForFile(path);
    if (pictureFormat(bytes) == format) {
        writeFileBytes(path, bytes);
        return;
    }
    const QImage picture = decodePicture(bytes);
    QByteArray converted;
    QBuffer buffer(&converted);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(picture)) throw AppError(writer.errorString());
    buffer.close();
    writeFileBytes(path, converted);
}

QByteArray pngBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

QStringList pictureFileFilters() {
    return {QStringLiteral("All (*.png *.jpg *.jpeg *.bmp *.gif *.ico *.emf *.wmf)"),
            QStringLiteral("PNG Image (*.png)"),
            QStringLiteral("JPEG Image File (*.jpg *.jpeg)"),
            QStringLiteral("Bitmaps (*.bmp)"),
            QStringLiteral("GIF Image (*.gif)"),
            QStringLiteral("Icons (*.ico)"),
            QStringLiteral("Enhanced Metafiles (*.emf)"),
            QStringLiteral("Metafiles (*.wmf)")};
}
