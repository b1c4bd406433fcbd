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
<html lang="uk"><head><meta charset="windows-1251"><title>Сесія завершена</title>
<style>body{margin:0;background:#eef1f5;font:16px/1.5 "Segoe UI",Arial,sans-serif;color:#1d2733}
div{max-width:560px;margin:80px auto;padding:24px 28px;background:#fff;border:1px solid #d5dbe3;border-radius:6px}
a{color:#1f5fa8}</style></head>
<body><div><h1 style="font-size:20px;margin-top:0">Сесія завершена</h1>
<p>Час роботи сесії вичерпано або сесія вже завершена.</p>
<p><a href="/zakaz">Перейти на головну сторінку</a></p></div></body></html>
)";

QImage icon(const std::function<void(QPainter &)> &paint)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return image;
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
    const std::pair<const char *, void (*)(QPainter &)> pictures[] = {
        {"newspaper.bmp", newspaper}, {"information.bmp", information}, {"home_page.bmp", home}, {"find.bmp", find}};
    for (const auto &[name, paint] : pictures) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        if (!QFile::exists(path))
            icon(paint).save(path, "BMP");
    }
}
