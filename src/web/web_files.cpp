#include "web/web_files.h"

#include "common/win1251.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

const char *const kTimeOutPage = R"(<!DOCTYPE html>
<html lang="uk"><head><meta charset="windows-1251"><meta name="viewport" content="width=device-width, initial-scale=1">
<title>Сесія завершена</title>
<style>body{margin:0;background:#eef1f5;font:16px/1.5 "Segoe UI",Arial,sans-serif;color:#1d2733}
div{max-width:560px;margin:80px auto;padding:24px 28px;background:#fff;border:1px solid #d5dbe3;border-radius:6px}
a{color:#1f5fa8}
@media (max-width:1023.98px){div{margin:24px 12px;padding:16px}a{display:inline-block;padding:11px 0}}</style></head>
<body><div><h1 style="font-size:20px;margin-top:0">Сесія завершена</h1>
<p>Час роботи сесії вичерпано або сесія вже завершена.</p>
<p><a href="/zakaz">Перейти на головну сторінку</a></p></div></body></html>
)";

// A picture of `size` pixels, drawn on a 40 x 40 canvas.
QImage icon(const std::function<void(QPainter &)> &paint, int size = 40)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 40.0, size / 40.0);
    paint(painter);
    return image;
}

const QColor kBlue(0x2d, 0x6b, 0xb3);
const QColor kInk(0x45, 0x55, 0x66);
const QColor kPaper(0xf7, 0xf3, 0xe8);

// A sheet with lines: the order tables; `mark` draws what sets each table apart.
void report(QPainter &p, const std::function<void(QPainter &)> &mark)
{
    p.setPen(QPen(kInk, 2));
    p.setBrush(kPaper);
    p.drawRect(7, 4, 24, 31);
    p.setPen(QPen(QColor(0x78, 0x86, 0x94), 2));
    for (int y = 11; y <= 27; y += 5)
        p.drawLine(11, y, 27, y);
    mark(p);
}

void reportEdit(QPainter &p)
{
    report(p, [](QPainter &q) {
        q.setPen(QPen(QColor(0xe0, 0x8e, 0x0b), 4, Qt::SolidLine, Qt::RoundCap));
        q.drawLine(22, 34, 35, 21);
    });
}

void reportDisk(QPainter &p)
{
    report(p, [](QPainter &q) {
        q.setPen(Qt::NoPen);
        q.setBrush(kBlue);
        q.drawRect(22, 22, 15, 15);
        q.setBrush(Qt::white);
        q.drawRect(25, 24, 9, 5);
    });
}

void plus(QPainter &p, QPointF centre, double radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x9d, 0x4f));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(Qt::white, radius / 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-radius / 2, 0), centre + QPointF(radius / 2, 0));
    p.drawLine(centre + QPointF(0, -radius / 2), centre + QPointF(0, radius / 2));
}

void reportAdd(QPainter &p)
{
    report(p, [](QPainter &q) { plus(q, QPointF(30, 30), 8); });
}

void add(QPainter &p) { plus(p, QPointF(20, 20), 16); }

void messenger(QPainter &p)
{
    p.setPen(QPen(kBlue, 2));
    p.setBrush(QColor(0xe4, 0xef, 0xfa));
    p.drawRoundedRect(4, 7, 32, 21, 6, 6);
    p.drawPolygon(QPolygonF({QPointF(10, 27), QPointF(10, 35), QPointF(18, 27)}));
    p.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap));
    for (int x = 12; x <= 28; x += 8)
        p.drawPoint(x, 17);
}

void help(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(4, 4, 32, 32);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14, 10, 12, 11), 180 * 16, -270 * 16);
    p.drawLine(QPointF(20, 21), QPointF(20, 24));
    p.drawPoint(QPointF(20, 30));
}

void moneyDollar(QPainter &p)
{
    p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 2));
    p.setBrush(QColor(0xd7, 0xf0, 0xd2));
    p.drawRoundedRect(3, 10, 34, 20, 3, 3);
    p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(15, 12, 10, 8), 30 * 16, 240 * 16);
    p.drawArc(QRectF(15, 20, 10, 8), 210 * 16, 240 * 16);
    p.drawLine(20, 11, 20, 29);
}

void arrowRefresh(QPainter &p)
{
    p.setPen(QPen(QColor(0x2e, 0x9d, 0x4f), 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 8, 24, 24), 60 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x9d, 0x4f));
    p.drawPolygon(QPolygonF({QPointF(24, 3), QPointF(33, 10), QPointF(23, 14)}));
}

void drawEraser(QPainter &p)
{
    p.translate(20, 20);
    p.rotate(-40);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(0xf4, 0x9a, 0xb0));
    p.drawRect(-14, -8, 16, 16);
    p.setBrush(QColor(0x9f, 0xb3, 0xc8));
    p.drawRect(2, -8, 12, 16);
}

void newspaper(QPainter &p)
{
    p.setPen(QPen(QColor(0x45, 0x55, 0x66), 2));
    p.setBrush(QColor(0xf7, 0xf3, 0xe8));
    p.drawRect(6, 6, 28, 28);
    p.setBrush(QColor(0x45, 0x55, 0x66));
    p.drawRect(10, 10, 20, 5);
    p.setPen(QPen(QColor(0x78, 0x86, 0x94), 2));
    for (int y = 19; y <= 30; y += 4)
        p.drawLine(10, y, 30, y);
}

void information(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2d, 0x6b, 0xb3));
    p.drawEllipse(4, 4, 32, 32);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(20, 12.5), 3, 3);
    p.drawRoundedRect(17, 17, 6, 14, 2, 2);
}

void home(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc0, 0x39, 0x2b));
    p.drawPolygon(QPolygonF({QPointF(4, 20), QPointF(20, 5), QPointF(36, 20)}));
    p.setBrush(QColor(0xf2, 0xe2, 0xc4));
    p.drawRect(9, 19, 22, 16);
    p.setBrush(QColor(0x7a, 0x52, 0x2e));
    p.drawRect(17, 24, 7, 11);
}

void find(QPainter &p)
{
    p.setPen(QPen(QColor(0x2d, 0x6b, 0xb3), 4));
    p.setBrush(QColor(0xe4, 0xef, 0xfa));
    p.drawEllipse(7, 7, 18, 18);
    p.setPen(QPen(QColor(0x45, 0x55, 0x66), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(24, 24, 33, 33);
}

}  // namespace

void EnsureWebFiles(const QString &filesFolder)
{
    QDir dir(filesFolder);
    if (!dir.exists() && !QDir().mkpath(filesFolder))
        return;
    const QString timeOut = dir.filePath(QStringLiteral("TimeOut.html"));
    if (!QFile::exists(timeOut)) {
        QFile file(timeOut);
        if (file.open(QIODevice::WriteOnly))
            file.write(win1251::fromUnicode(QString::fromUtf8(kTimeOutPage)));
    }
    struct Picture {
        const char *name;
        void (*paint)(QPainter &);
        int size = 40;
    };
    const Picture pictures[] = {
        {"newspaper.bmp", newspaper},     {"information.bmp", information},
        {"home_page.bmp", home},          {"find.bmp", find},
        {"report_edit.bmp", reportEdit},  {"report_disk.bmp", reportDisk},
        {"report_add.bmp", reportAdd},    {"messenger.bmp", messenger},
        {"help.bmp", help},               {"money_dollar.bmp", moneyDollar},
        {"arrow_refresh.bmp", arrowRefresh}, {"draw_eraser.bmp", drawEraser},
        {"information16x16.bmp", information, 16}, {"add.bmp", add},
    };
    for (const Picture &picture : pictures) {
        const QString path = dir.filePath(QString::fromLatin1(picture.name));
        if (!QFile::exists(path))
            icon(picture.paint, picture.size).save(path, "BMP");
    }
}
