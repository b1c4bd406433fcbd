#include "shell/ui/taxi_logo.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

TaxiLogo::TaxiLogo(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setToolTip(QStringLiteral("Перейти на сайт програми"));
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

QSize TaxiLogo::sizeHint() const { return {84, 40}; }

void TaxiLogo::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF sign = QRectF(rect()).adjusted(2, 2, -2, -2);

    QPainterPath body;
    body.addRoundedRect(sign, 6, 6);
    p.fillPath(body, QColor(255, 204, 0));
    p.setClipPath(body);

    // One row of checkers along the bottom edge, as on a roof sign.
    const int cells = 10;
    const qreal cell = sign.width() / cells;
    const qreal top = sign.bottom() - cell;
    for (int i = 0; i < cells; ++i)
        p.fillRect(QRectF(sign.left() + i * cell, top, cell, cell), i % 2 ? Qt::white : Qt::black);
    p.setClipping(false);

    p.setPen(QPen(Qt::black, 1.5));
    p.drawPath(body);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(int(sign.height() - cell - 6));
    p.setFont(font);
    p.drawText(QRectF(sign.left(), sign.top(), sign.width(), sign.height() - cell), Qt::AlignCenter,
               QStringLiteral("TAXI"));
}

void TaxiLogo::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
