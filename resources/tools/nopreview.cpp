// Drawing tool: paints the "no preview" picture shown for a found photo that cannot be
// decoded. The picture is committed as resources/NoPreview.png; run this only to redraw it.
// Usage: salvyn-nopreview OUTPUT.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

// A framed landscape (sky, sun, two hills) crossed out: a photo that is there but cannot be shown.
QImage drawNoPreview()
{
    constexpr int side = 100;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF frame(14, 22, 72, 56);
    painter.setPen(QPen(QColor(120, 130, 150), 3));
    painter.setBrush(QColor(226, 232, 242));
    painter.drawRoundedRect(frame, 6, 6);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(170, 180, 198));
    painter.drawEllipse(QPointF(66, 38), 6, 6);
    QPainterPath hills;
    hills.moveTo(17, 75);
    hills.lineTo(38, 48);
    hills.lineTo(52, 64);
    hills.lineTo(62, 55);
    hills.lineTo(83, 75);
    hills.closeSubpath();
    painter.drawPath(hills);

    painter.setPen(QPen(QColor(200, 70, 70), 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(20, 86), QPointF(80, 14));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    if (!drawNoPreview().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
