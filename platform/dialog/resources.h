#pragma once

// Bitmaps, icons and custom resources looked up by numeric id, as the
// program's resources are on Windows. They live in Qt's resource system:
//   bitmap <id>  -> ":/bitmaps/<id>.bmp" or ":/bitmaps/<id>.png"
//   icon <id>    -> ":/icons/<id>.ico" or ":/icons/<id>.png"
//   custom <TYPE> <id> -> ":/resources/<TYPE>/<id>"
// Images registered with RegisterBitmapResource take precedence, so tests
// can supply their own.

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

// The bitmap resource `id` as a 24-bit image (QImage::Format_RGB888), or a
// null image when there is none.
QImage LoadBitmapResource(unsigned id);

// The icon resource `id`, or a null icon when there is none.
QIcon LoadIconResource(unsigned id);

// The custom resource `id` of `type`, or an empty array when there is none.
QByteArray LoadCustomResource(const QString& type, unsigned id);
bool CustomResourceExists(const QString& type, unsigned id);

namespace ostrel::dialog {

// Replaces (or, with a null image, removes) bitmap `id` for this process.
void RegisterBitmapResource(unsigned id, const QImage& image);
// The image registered for bitmap `id`, or a null image when the
// compiled-in one stands.
QImage RegisteredBitmapResource(unsigned id);
void RegisterIconResource(unsigned id, const QIcon& icon);
// Forgets every registered image and icon.
void ClearRegisteredResources();

}  // namespace ostrel::dialog
