#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// Pictures kept in binary blob fields: recognised by their content, loaded from and saved to files
// by the file's extension. A picture's bytes are kept exactly as they came from the field or the
// file; only a picture that has no bytes of its own (one pasted) is encoded, as PNG.

// The format that the bytes are in, as the decoders name it ("png", "jpeg", "bmp", "gif", "ico"),
// or empty when no decoder reads them.
QByteArray pictureFormat(const QByteArray& bytes);
// The whole picture; a null image when the bytes are no picture.
QImage decodePicture(const QByteArray& bytes);
// The picture for showing: shrunk to fit within `box` keeping its proportions (never enlarged),
// decoded at a reduced scale where the decoder can. Null when the bytes are no picture.
QImage decodePictureToFit(const QByteArray& bytes, const QSize& box);
// A picture file for a preview, fitted to `box`; null when it is no picture.
QImage previewPictureFile(const QString& path, const QSize& box);
// A picture shrunk to fit within `box` keeping its proportions; as it is when it fits.
QImage fitPicture(const QImage& picture, const QSize& box);

// The format that a file name's extension names. An extension of no picture format raises
// "Unknown picture file extension (.%s)".
QByteArray pictureFormatForFile(const QString& fileName);
// The usual extension of a format, without the dot ("jpg" for jpeg); empty when unknown.
QString pictureExtension(const QByteArray& format);
// The file's bytes as they stand, after checking that they decode as the extension says; `shown`
// receives the picture fitted to `box`. Raises the unknown-extension message, the file's error or
// the decoder's error.
QByteArray loadPictureFile(const QString& path, const QSize& box, QImage* shown);
// Writes the picture: its bytes as they are when the file's extension names their format,
// otherwise the picture converted to that format. Raises the unknown-extension message, the
// encoder's error or the file's error.
void savePictureFile(const QString& path, const QByteArray& bytes);
QByteArray pngBytes(const QImage& picture);
// The file-type list of the picture dialogs, every picture type first.
QStringList pictureFileFilters();
