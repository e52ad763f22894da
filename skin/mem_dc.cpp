#include "mem_dc.h"

#include <QPaintDevice>

namespace {

// Device pixels per design pixel of what `target` paints on.
qreal TargetScale(const QPainter* target) {
    return target != nullptr && target->device() != nullptr ? target->device()->devicePixelRatio()
                                                            : 1.0;
}

}  // namespace

CMemDC::CMemDC(QPainter* target, const QRect& r)
    : bitmap(r.size().expandedTo(QSize(1, 1)) * TargetScale(target), QImage::Format_RGB32),
      targetDC(target),
      rect(r) {
    // The surface has as many pixels as the target shows for the rectangle,
    // so what is drawn on it keeps the target's sharpness.
    bitmap.setDevicePixelRatio(TargetScale(target));
    bitmap.fill(Qt::black);
    begin(&bitmap);
}

CMemDC::~CMemDC() {
    end();
    if (targetDC != nullptr && targetDC->isActive() && rect.isValid()) {
        const qreal scale = bitmap.devicePixelRatio();
        targetDC->drawImage(QPointF(rect.topLeft()), bitmap,
                            QRectF(0, 0, rect.width() * scale, rect.height() * scale));
    }
}
