#include "qtdraw/CanvasPainter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QStringDecoder>
#include <algorithm>
#include <map>
#include <memory>

// The canvas's text side: fonts sized to a cell height, and text measured in them.

namespace ostrel {

namespace {

// Pixel size at which a face's cell-to-size ratio is measured; large enough that the
// rounding of the font engine's metrics does not matter.
constexpr int kReferencePixelSize = 512;

}  // namespace

QString ToQString(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
    QString decoded = utf8(bytes);
    if (utf8.hasError()) return QString::fromLatin1(bytes);
    return decoded;
}

QFontMetricsF TCanvasPainter::Metrics(const QFont& font) const {
    QPaintDevice* device = FPainter != nullptr ? FPainter->device() : nullptr;
    return device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
}

void TCanvasPainter::SizeFont(QFont font, int cellHeight, TSizedFont& sized) const {
    // Qt sizes fonts by their em, and loads them only at whole pixel sizes; the cell
    // (ascent + descent) is a fixed multiple of the em per face. Take the whole pixel size
    // nearest to the requested cell, then scale text by the small factor that makes its
    // cell exactly the requested height, so that layouts get the height they asked for.
    const int cell = std::clamp(cellHeight, 1, kMaxDeviceSize);
    font.setPixelSize(kReferencePixelSize);
    const double referenceCell = Metrics(font).height();
    const double emPerCell = referenceCell > 0 ? kReferencePixelSize / referenceCell : 1.0;
    font.setPixelSize(std::max(1, RoundToDevice(cell * emPerCell)));
    const double realisedCell = Metrics(font).height();
    sized.Font = font;
    sized.TextScale = realisedCell > 0 ? cell / realisedCell : 1.0;
}

const QFontMetricsF& TCanvasPainter::FontMetrics() const {
    if (!FFontMetrics) FFontMetrics.emplace(Metrics(FFont));
    return *FFontMetrics;
}

namespace {

// What a sized font depends on: the request and the resolution of the device it is
// measured on (none without a painter).
struct TFontKey {
    std::string Name;
    TFontStyles Style = 0;
    int CellHeight = 0;
    int DpiX = 0;
    int DpiY = 0;
    auto operator<=>(const TFontKey&) const = default;
};

// Sized fonts with the widths measured in them, for every canvas of this thread: each
// paint makes new canvases, and the same few fonts and labels come back every time.
std::map<TFontKey, std::shared_ptr<TCanvasPainter::TSizedFont>>& SizedFonts() {
    thread_local std::map<TFontKey, std::shared_ptr<TCanvasPainter::TSizedFont>> fonts;
    return fonts;
}

}  // namespace

void TCanvasPainter::SetFont(const std::string& name, TColor color, TFontStyles style,
                             int cellHeight) {
    FFontColor = ToQColor(color);
    const QPaintDevice* device = FPainter != nullptr ? FPainter->device() : nullptr;
    TFontKey key{name, style, cellHeight, device != nullptr ? device->logicalDpiX() : -1,
                 device != nullptr ? device->logicalDpiY() : -1};
    auto& fonts = SizedFonts();
    // Canvases keep their font alive themselves, so forgetting them all is safe.
    constexpr size_t kMaxSizedFonts = 256;
    if (fonts.size() >= kMaxSizedFonts && !fonts.contains(key)) fonts.clear();
    std::shared_ptr<TSizedFont>& sized = fonts[key];
    if (!sized) {
        // Finding and sizing a font costs more than drawing a label with it.
        QFont font(ToQString(name));
        // Unhinted outlines give the same advances on every platform and resolution.
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setWeight((style & fsBold) != 0 ? QFont::Bold : QFont::Normal);
        font.setItalic((style & fsItalic) != 0);
        font.setUnderline((style & fsUnderline) != 0);
        font.setStrikeOut((style & fsStrikeOut) != 0);
        sized = std::make_shared<TSizedFont>();
        SizeFont(font, cellHeight, *sized);
    }
    if (sized == FSizedFont) return;
    FSizedFont = sized;
    FFont = sized->Font;
    FTextScale = sized->TextScale;
    FFontMetrics.reset();
}

int TCanvasPainter::TextWidth(const std::string& text) const {
    const auto measure = [&] {
        return RoundToDevice(FontMetrics().horizontalAdvance(ToQString(text)) * FTextScale);
    };
    // The font nobody set is not remembered.
    if (!FSizedFont) return measure();
    // Layouts measure the same labels over and over (to align them, to fit them, to wrap
    // a legend) and every paint again; shaping a text is the costly part.
    constexpr size_t kMaxRememberedWidths = 4096;
    auto& widths = FSizedFont->Widths;
    if (const auto known = widths.find(text); known != widths.end()) return known->second;
    const int width = measure();
    if (widths.size() >= kMaxRememberedWidths) widths.clear();
    widths.emplace(text, width);
    return width;
}

int TCanvasPainter::TextHeight(const std::string&) const {
    return RoundToDevice(FontMetrics().height() * FTextScale);
}

}  // namespace ostrel
