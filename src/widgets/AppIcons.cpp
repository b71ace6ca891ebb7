#include "widgets/AppIcons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>

#include "qtdraw/CanvasPainter.h"
#include "shell/Branding.h"

// A resource file in a static library must be registered by name, outside any namespace.
static void InitResourcesOfStaticLibrary() {
    Q_INIT_RESOURCE(resources);
}

namespace ostrel {

namespace {

const QColor kIconBlue(43, 43, 255);
const QColor kDeepBlue(20, 30, 150);
const QColor kGridBlue(150, 170, 220);

// A directional antenna's pattern as a closed curve around `centre`: a main lobe along
// `mainDirectionDeg` (0 = up, clockwise) of radius `radius`, and a small back lobe.
QPainterPath LobePath(QPointF centre, double radius, double mainDirectionDeg) {
    QPainterPath path;
    constexpr int kSteps = 144;
    for (int i = 0; i <= kSteps; ++i) {
        const double angle = 2 * M_PI * i / kSteps;
        const double c = std::cos(angle);
        // A broad main lobe forward and a back lobe of a quarter of it, never quite zero.
        const double gain = c >= 0 ? std::pow(c, 3) : 0.25 * std::pow(-c, 4);
        const double r = radius * (0.04 + 0.96 * gain);
        const double direction = qDegreesToRadians(mainDirectionDeg) + angle;
        const QPointF p(centre.x() + r * std::sin(direction), centre.y() - r * std::cos(direction));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

}  // namespace

QPixmap ProgramIconPixmap(int size) {
    size = std::max(size, 1);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-unit square.
    painter.scale(size / 32.0, size / 32.0);
    const QPointF centre(16, 16);

    painter.setPen(QPen(kDeepBlue, 1.2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, 15, 15);

    painter.setPen(QPen(kGridBlue, 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 10, 10);
    painter.drawEllipse(centre, 5, 5);
    painter.drawLine(QPointF(16, 2), QPointF(16, 30));
    painter.drawLine(QPointF(2, 16), QPointF(30, 16));

    QColor fill = kIconBlue;
    fill.setAlpha(110);
    painter.setPen(QPen(kIconBlue, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(LobePath(centre, 14, 0));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}

QPixmap MakerLogo(QSize size) {
    const int width = std::max(size.width(), 1);
    const int height = std::max(size.height(), 1);
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // The mark: a lobe pointing right from a dot, in the left square of the logo.
    const double markSize = std::min<double>(height, width);
    const QPointF origin(markSize * 0.28, height / 2.0);
    QColor fill = kIconBlue;
    fill.setAlpha(150);
    painter.setPen(QPen(kIconBlue, std::max(1.0, markSize / 20)));
    painter.setBrush(fill);
    painter.drawPath(LobePath(origin, markSize * 0.8, 90));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDeepBlue);
    painter.drawEllipse(origin, markSize * 0.09, markSize * 0.09);

    // The name, as large as the rest of the logo takes it.
    const double textLeft = markSize * 1.15;
    const double textWidth = width - textLeft;
    if (textWidth <= 0) return pixmap;
    const QString name = QString::fromUtf8(branding::kMakerName);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(std::max(1, static_cast<int>(height * 0.8)));
    const double measured = QFontMetricsF(font).horizontalAdvance(name);
    if (measured > textWidth)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * textWidth / measured)));
    painter.setFont(font);
    painter.setPen(kDeepBlue);
    painter.drawText(QRectF(textLeft, 0, textWidth, height), Qt::AlignLeft | Qt::AlignVCenter,
                     name);
    return pixmap;
}

std::unique_ptr<TGraphic> LoadLogoGraphic() {
    // The maker's logo of the about box, at 6:1: narrower than its 200 x 30 footer box, so
    // that its white ground stays clear of the frame lines on either side, and at ten
    // pixels per unit of its 180 x 30 place on paper so that its edges stay clean.
    QImage image(1800, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, MakerLogo(image.size()));
    painter.end();
    return std::make_unique<TQtGraphic>(std::move(image));
}

void InitAppResources() {
    InitResourcesOfStaticLibrary();
}

}  // namespace ostrel
