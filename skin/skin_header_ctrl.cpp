#include "skin_header_ctrl.h"

#include <QPainter>
#include <vector>

#include "mem_dc.h"
#include "res/bitmap_ids.h"
#include "skin_paint.h"

CSkinHeaderCtrl::CSkinHeaderCtrl(QWidget* parent) : CHeaderCtrl(parent) {}

CSkinHeaderCtrl::~CSkinHeaderCtrl() = default;

QSize CSkinHeaderCtrl::sizeHint() const {
    QSize hint = CHeaderCtrl::sizeHint();
    hint.setHeight(kHeight);
    return hint;
}

void CSkinHeaderCtrl::paintEvent(QPaintEvent*) {
    // The header view draws on its viewport, which covers the whole header.
    QWidget* surface = viewport();
    QPainter painter(surface);
    CMemDC dc(&painter, surface->rect());
    std::vector<skin::HeaderItemPaint> items;
    const int count = GetItemCount();
    items.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i)
        items.push_back({GetItemRect(i), GetItemText(i)});
    skin::PaintHeader(dc, surface->size(), skin::SkinBitmap::LoadShared(res::IDB_HEADER_STRIP),
                      skin::SkinBitmap::LoadShared(res::IDB_HEADER_SEPARATOR), items);
}
