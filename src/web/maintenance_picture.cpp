#include "web/maintenance_picture.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <map>
#include <mutex>

namespace {

// Letters of 5 × 7 dots, the ones the sign needs.
const std::map<QChar, std::array<const char *, 7>> &glyphs()
{
    static const std::map<QChar, std::array<const char *, 7>> table{
        {u'С', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "}},
        {u'А', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
        {u'Й', {" # # ", "#   #", "#  ##", "# # #", "##  #", "#   #", "#   #"}},
        {u'Т', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
        {u'Н', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
        {u'Р', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
        {u'Е', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
        {u'К', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
        {u'О', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
        {u'У', {"#   #", "#   #", "#   #", " ####", "    #", "#   #", " ### "}},
        {u'Ц', {"#  # ", "#  # ", "#  # ", "#  # ", "#  # ", "#####", "    #"}},
        {u'І', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
        {u'Ї', {" # # ", "     ", " ### ", "  #  ", "  #  ", "  #  ", " ### "}},
        {u'.', {"     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "}},
    };
    return table;
}

// Draws `text` centred on `centreX` with its top at `top`, each dot `dot` pixels.
void dotText(QPainter &painter, const QString &text, int centreX, int top, int dot)
{
    const int width = text.size() * 6 * dot - dot;
    int x = centreX - width / 2;
    for (const QChar c : text) {
        const auto it = glyphs().find(c);
        if (it != glyphs().end())
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (it->second[size_t(row)][col] == '#')
                        painter.drawRoundedRect(x + col * dot, top + row * dot, dot - 1, dot - 1, 1, 1);
        x += 6 * dot;
    }
}

QImage draw()
{
    QImage image(600, 600, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, QColor(0xcf, 0xe6, 0xfa));
    sky.setColorAt(1, QColor(0xf4, 0xf8, 0xfc));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb9, 0xc4, 0x8e));
    p.drawRect(0, 500, 600, 100);

    // The sign on two poles, with a striped frame.
    p.setBrush(QColor(0x7a, 0x52, 0x2e));
    p.drawRect(150, 190, 12, 150);
    p.drawRect(438, 190, 12, 150);
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawRoundedRect(60, 60, 480, 170, 10, 10);
    p.save();
    p.setClipRect(60, 60, 480, 170);
    p.setBrush(QColor(0xf5, 0xc2, 0x1b));
    for (int x = -200; x < 600; x += 40) {
        QPainterPath stripe;
        stripe.addPolygon(QPolygonF({QPointF(x, 60), QPointF(x + 20, 60), QPointF(x + 190, 230), QPointF(x + 170, 230)}));
        p.drawPath(stripe);
    }
    p.restore();
    p.setBrush(QColor(0xff, 0xf8, 0xe1));
    p.drawRoundedRect(76, 76, 448, 138, 6, 6);
    p.setBrush(QColor(0x23, 0x45, 0x6e));
    dotText(p, QStringLiteral("САЙТ НА"), 300, 96, 6);
    dotText(p, QStringLiteral("РЕКОНСТРУКЦІЇ..."), 300, 156, 5);

    // The figure holding the poles up.
    QPen body(QColor(0x2b, 0x2b, 0x2b), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(body);
    p.drawLine(300, 330, 300, 430);                                   // trunk
    p.drawPolyline(QPolygonF({QPointF(300, 350), QPointF(220, 320), QPointF(162, 300)}));  // arms up to the poles
    p.drawPolyline(QPolygonF({QPointF(300, 350), QPointF(380, 320), QPointF(438, 300)}));
    p.drawLine(300, 430, 260, 510);                                   // legs
    p.drawLine(300, 430, 340, 510);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0xc8, 0xa0));
    p.drawEllipse(QPointF(300, 300), 30, 30);                         // head
    p.setBrush(QColor(0xf5, 0xa6, 0x23));
    p.drawChord(QRectF(266, 262, 68, 60), 0, 180 * 16);               // helmet
    p.drawRect(262, 290, 76, 6);

    // A traffic cone beside the figure.
    p.setBrush(QColor(0xe8, 0x5d, 0x1c));
    p.drawPolygon(QPolygonF({QPointF(470, 510), QPointF(530, 510), QPointF(505, 420), QPointF(495, 420)}));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(484, 470), QPointF(516, 470), QPointF(511, 452), QPointF(489, 452)}));
    return image;
}

}  // namespace

QByteArray MaintenancePictureJpeg()
{
    static std::once_flag once;
    static QByteArray jpeg;
    std::call_once(once, [] {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        draw().save(&buffer, "JPG", 90);
    });
    return jpeg;
}
