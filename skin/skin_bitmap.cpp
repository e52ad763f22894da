#include "skin_bitmap.h"

#include <QFile>
#include <QPaintDevice>
#include <QPainter>
#include <map>
#include <mutex>

#include "platform/dialog/resources.h"
#include "res/bitmap_catalog.h"

namespace skin {

SkinBitmap::SkinBitmap(QImage normal) : normal_(std::move(normal)) {}

SkinBitmap::SkinBitmap(QImage normal, QImage doubled) : normal_(std::move(normal)) {
    if (!normal_.isNull() && doubled.size() == normal_.size() * res::kHighDensityScale) {
        doubled_ = std::move(doubled);
        doubled_.setDevicePixelRatio(res::kHighDensityScale);
    }
}

namespace {

// Bitmap `id` of the compiled-in set with its doubled image, decoded now.
SkinBitmap DecodeCompiled(unsigned id) {
    QImage normal = LoadBitmapResource(id);
    if (normal.isNull())
        return {};
    const QString doubled =
        QStringLiteral(":/bitmaps/") + res::BitmapFileName(id, res::kHighDensityScale);
    if (!QFile::exists(doubled))
        return SkinBitmap(std::move(normal));
    return SkinBitmap(std::move(normal), QImage(doubled).convertToFormat(QImage::Format_RGB888));
}

}  // namespace

SkinBitmap SkinBitmap::Load(unsigned id) {
    // One a test registered in place of the compiled-in bitmap is painted
    // alone: the doubled image belongs to the compiled-in one only.
    if (QImage replaced = ostrel::dialog::RegisteredBitmapResource(id); !replaced.isNull())
        return SkinBitmap(std::move(replaced));
    return DecodeCompiled(id);
}

SkinBitmap SkinBitmap::LoadShared(unsigned id) {
    if (QImage replaced = ostrel::dialog::RegisteredBitmapResource(id); !replaced.isNull())
        return SkinBitmap(std::move(replaced));
    // The compiled-in set never changes while the program runs.
    static std::mutex mutex;
    static std::map<unsigned, SkinBitmap> decoded;
    std::lock_guard lock(mutex);
    auto it = decoded.find(id);
    if (it == decoded.end())
        it = decoded.emplace(id, DecodeCompiled(id)).first;
    return it->second;
}

const QImage& SkinBitmap::ForScale(qreal scale) const {
    return scale > 1.0 && hasDoubled() ? doubled_ : normal_;
}

qreal PaintScale(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return device != nullptr ? device->devicePixelRatio() : 1.0;
}

void DrawBitmap(QPainter& painter, const QRectF& target, const SkinBitmap& bitmap,
                const QRectF& source) {
    if (bitmap.isNull())
        return;
    const qreal scale = PaintScale(painter);
    const QImage& image = bitmap.ForScale(scale);
    const qreal ratio = image.devicePixelRatio();
    const QRectF pixels(source.topLeft() * ratio, source.size() * ratio);
    // The doubled image on a screen of another density (150 %) is resampled;
    // filtering keeps its thin lines from dropping out unevenly.
    const bool filter = ratio > 1.0 && scale != ratio;
    if (filter) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    }
    painter.drawImage(target, image, pixels);
    if (filter)
        painter.restore();
}

void DrawBitmap(QPainter& painter, const QPointF& at, const SkinBitmap& bitmap,
                const QRectF& source) {
    DrawBitmap(painter, QRectF(at, source.size()), bitmap, source);
}

void DrawBitmap(QPainter& painter, const QPointF& at, const SkinBitmap& bitmap) {
    DrawBitmap(painter, at, bitmap, QRectF(QPointF(0, 0), QSizeF(bitmap.size())));
}

}  // namespace skin
