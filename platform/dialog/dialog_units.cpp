#include "dialog_units.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <QtEndian>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>

using namespace ostrel::dialog;

namespace {

constexpr const char* kWineFontDir = "/usr/share/wine/fonts/";

// The font tables GDI's metrics come from.
struct FontTables {
    int unitsPerEm = 0;
    int winAscent = 0;
    int winDescent = 0;
    QByteArray vdmx;
};

std::optional<FontTables> readTables(const QFont& font) {
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return std::nullopt;
    const QByteArray head = raw.fontTable("head");
    const QByteArray os2 = raw.fontTable("OS/2");
    if (head.size() < 20 || os2.size() < 78)
        return std::nullopt;
    FontTables t;
    t.unitsPerEm = qFromBigEndian<quint16>(head.constData() + 18);
    t.winAscent = qFromBigEndian<quint16>(os2.constData() + 74);
    t.winDescent = qFromBigEndian<quint16>(os2.constData() + 76);
    t.vdmx = raw.fontTable("VDMX");
    if (t.unitsPerEm <= 0)
        return std::nullopt;
    return t;
}

// The VDMX height (yMax - yMin) for `ppem` from the first 1:1 (or "any")
// ratio group, as GDI uses it for the text height of hinted TrueType fonts.
std::optional<int> vdmxHeight(const QByteArray& vdmx, int ppem) {
    const auto* d = reinterpret_cast<const uchar*>(vdmx.constData());
    const auto n = static_cast<std::size_t>(vdmx.size());
    if (n < 6)
        return std::nullopt;
    const std::size_t numRatios = qFromBigEndian<quint16>(d + 4);
    if (6 + numRatios * 6 > n)
        return std::nullopt;
    for (std::size_t i = 0; i < numRatios; ++i) {
        const uchar* ratio = d + 6 + 4 * i;  // charSet, xRatio, yStartRatio, yEndRatio
        const bool any = ratio[1] == 0 && ratio[2] == 0 && ratio[3] == 0;
        const bool square = ratio[1] == ratio[2] || (ratio[2] <= ratio[1] && ratio[1] <= ratio[3]);
        if (!any && !square)
            continue;
        const std::size_t groupOffset = qFromBigEndian<quint16>(d + 6 + 4 * numRatios + 2 * i);
        if (groupOffset + 4 > n)
            return std::nullopt;
        const std::size_t recs = qFromBigEndian<quint16>(d + groupOffset);
        for (std::size_t r = 0; r < recs; ++r) {
            const std::size_t at = groupOffset + 4 + 6 * r;
            if (at + 6 > n)
                return std::nullopt;
            if (qFromBigEndian<quint16>(d + at) == ppem) {
                const int yMax = qFromBigEndian<qint16>(d + at + 2);
                const int yMin = qFromBigEndian<qint16>(d + at + 4);
                return yMax - yMin;
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// Text heights of the Windows originals whose stand-ins carry no VDMX
// table. Windows' Arial answers 14 at 11 pixels (8 points): its hinted
// height, one more than the plain ascent + descent rounding gives on
// Liberation Sans. The product's background bitmaps were drawn for it (a
// 205 x 84 unit dialog is 308 x 147 pixels).
struct OriginalHeight {
    const char* face;
    int ppem;
    int height;
};
constexpr OriginalHeight kOriginalHeights[] = {
    {"Arial", 11, 14},
};

int ceilDiv(std::int64_t a, std::int64_t b) {
    return static_cast<int>((a + b - 1) / b);
}

int pixelSizeOf(const QFont& font) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return QFontInfo(font).pixelSize();
}

}  // namespace

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const bool negative = (p < 0) != (c < 0);
    const std::int64_t ap = std::llabs(p);
    const std::int64_t ac = std::llabs(static_cast<std::int64_t>(c));
    const std::int64_t q = (ap + ac / 2) / ac;
    const std::int64_t r = negative ? -q : q;
    if (r > INT32_MAX || r < INT32_MIN)
        return -1;
    return static_cast<int>(r);
}

void ostrel::dialog::EnsureDialogFonts() {
    static std::once_flag once;
    std::call_once(once, [] {
        bool tahoma = false;
        for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
            const QString path = QString::fromLatin1(kWineFontDir) + QString::fromLatin1(file);
            if (QFileInfo::exists(path) && QFontDatabase::addApplicationFont(path) >= 0)
                tahoma = true;
        }
        if (!tahoma && !QFontDatabase::hasFamily("Tahoma")) {
            QFont::insertSubstitutions("Tahoma", {"DejaVu Sans", "Liberation Sans"});
        }
        if (QFontDatabase::hasFamily("Liberation Sans")) {
            QFont::insertSubstitution("Arial", "Liberation Sans");
        } else {
            QFont::insertSubstitution("Arial", "DejaVu Sans");
        }
    });
}

QString ostrel::dialog::ResolvedFontFamily(const QString& face) {
    EnsureDialogFonts();
    QFont font(face);
    font.setPixelSize(11);
    return QFontInfo(font).family();
}

QFont ostrel::dialog::DialogTemplateFont(const QString& face, int pointSize) {
    EnsureDialogFonts();
    QFont font(face);
    font.setPixelSize(MulDiv(pointSize, 96, 72));
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

int ostrel::dialog::GdiCellHeight(const QFont& font) {
    const int ppem = pixelSizeOf(font);
    const auto tables = readTables(font);
    if (!tables) {
        const QFontMetrics metrics(font);
        return metrics.ascent() + metrics.descent();
    }
    if (auto h = vdmxHeight(tables->vdmx, ppem))
        return *h;
    const QString requested = font.family();
    for (const auto& original : kOriginalHeights) {
        if (ppem == original.ppem &&
            requested.compare(QLatin1String(original.face), Qt::CaseInsensitive) == 0) {
            return original.height;
        }
    }
    return ceilDiv(std::int64_t{tables->winAscent} * ppem, tables->unitsPerEm) +
           ceilDiv(std::int64_t{tables->winDescent} * ppem, tables->unitsPerEm);
}

QFont LogicalFont(const QString& face, int height, int weight, bool italic) {
    EnsureDialogFonts();
    QFont font(face);
    font.setItalic(italic);
    font.setWeight(weight >= 550 ? QFont::Bold : QFont::Normal);
    if (height == 0)
        height = -12;
    if (height < 0) {
        font.setPixelSize(-height);
        return font;
    }
    // A cell height: the largest em size whose cell fits.
    int best = 1;
    for (int px = 1; px <= height; ++px) {
        font.setPixelSize(px);
        if (GdiCellHeight(font) <= height)
            best = px;
    }
    font.setPixelSize(best);
    return font;
}

DialogBaseUnits ostrel::dialog::MeasureDialogBaseUnits(const QFont& font) {
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const int w = metrics.horizontalAdvance(letters);
    DialogBaseUnits units;
    units.cx = (w / 26 + 1) / 2;
    units.cy = GdiCellHeight(font);
    return units;
}

DialogBaseUnits ostrel::dialog::DialogBaseUnitsFor(const QString& face, int pointSize) {
    return MeasureDialogBaseUnits(DialogTemplateFont(face, pointSize));
}

int ostrel::dialog::DluToPixelsX(int x, const DialogBaseUnits& units) {
    return MulDiv(x, units.cx, 4);
}
int ostrel::dialog::DluToPixelsY(int y, const DialogBaseUnits& units) {
    return MulDiv(y, units.cy, 8);
}

QRect ostrel::dialog::MapDialogRect(const QRect& dialogUnits, const DialogBaseUnits& units) {
    // As the dialog manager places controls: position and size are each
    // converted on their own.
    return QRect(DluToPixelsX(dialogUnits.x(), units), DluToPixelsY(dialogUnits.y(), units),
                 DluToPixelsX(dialogUnits.width(), units),
                 DluToPixelsY(dialogUnits.height(), units));
}
