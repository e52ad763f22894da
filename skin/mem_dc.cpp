#include "mem_dc.h"

CMemDC::CMemDC(QPainter* target, const QRect& r)
    : bitmap(r.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32), targetDC(target), rect(r) {
    bitmap.fill(Qt::black);
    begin(&bitmap);
}

CMemDC::~CMemDC() {
    end();
    if (targetDC != nullptr && targetDC->isActive() && rect.isValid())
        targetDC->drawImage(rect.topLeft(), bitmap, QRect(QPoint(0, 0), rect.size()));
}
