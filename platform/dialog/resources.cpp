#include "resources.h"

#include <QFile>
#include <map>
#include <mutex>

using namespace ostrel::dialog;

namespace {

struct Registered {
    std::map<unsigned, QImage> bitmaps;
    std::map<unsigned, QIcon> icons;
    std::mutex mutex;
};

Registered& registered() {
    static Registered r;
    return r;
}

}  // namespace

QImage LoadBitmapResource(unsigned id) {
    if (id == 0)
        return {};
    {
        auto& r = registered();
        std::lock_guard lock(r.mutex);
        auto it = r.bitmaps.find(id);
        if (it != r.bitmaps.end())
            return it->second;
    }
    for (const char* ext : {".bmp", ".png"}) {
        const QString path = QStringLiteral(":/bitmaps/%1%2").arg(id).arg(QLatin1String(ext));
        if (!QFile::exists(path))
            continue;
        QImage image(path);
        if (!image.isNull())
            return image.convertToFormat(QImage::Format_RGB888);
    }
    return {};
}

QIcon LoadIconResource(unsigned id) {
    if (id == 0)
        return {};
    {
        auto& r = registered();
        std::lock_guard lock(r.mutex);
        auto it = r.icons.find(id);
        if (it != r.icons.end())
            return it->second;
    }
    for (const char* ext : {".ico", ".png"}) {
        const QString path = QStringLiteral(":/icons/%1%2").arg(id).arg(QLatin1String(ext));
        if (QFile::exists(path)) {
            QIcon icon(path);
            if (!icon.isNull())
                return icon;
        }
    }
    return {};
}

QByteArray LoadCustomResource(const QString& type, unsigned id) {
    QFile file(QStringLiteral(":/resources/%1/%2").arg(type).arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool CustomResourceExists(const QString& type, unsigned id) {
    return QFile::exists(QStringLiteral(":/resources/%1/%2").arg(type).arg(id));
}

void ostrel::dialog::RegisterBitmapResource(unsigned id, const QImage& image) {
    auto& r = registered();
    std::lock_guard lock(r.mutex);
    if (image.isNull()) {
        r.bitmaps.erase(id);
    } else {
        r.bitmaps[id] = image.convertToFormat(QImage::Format_RGB888);
    }
}

QImage ostrel::dialog::RegisteredBitmapResource(unsigned id) {
    auto& r = registered();
    std::lock_guard lock(r.mutex);
    auto it = r.bitmaps.find(id);
    return it != r.bitmaps.end() ? it->second : QImage();
}

void ostrel::dialog::RegisterIconResource(unsigned id, const QIcon& icon) {
    auto& r = registered();
    std::lock_guard lock(r.mutex);
    if (icon.isNull()) {
        r.icons.erase(id);
    } else {
        r.icons[id] = icon;
    }
}

void ostrel::dialog::ClearRegisteredResources() {
    auto& r = registered();
    std::lock_guard lock(r.mutex);
    r.bitmaps.clear();
    r.icons.clear();
}
