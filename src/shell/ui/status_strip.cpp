#include "shell/ui/status_strip.h"

#include "shell/service_context.h"
#include "shell/ui/taxi_logo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

StatusStrip::StatusStrip(QWidget *parent)
    : QFrame(parent), logo_(new TaxiLogo(this)), caption_(new QLabel(this)), dispatchLost_(new QLabel(this))
{
    setObjectName(QStringLiteral("Panel19"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(logo_);
    auto *texts = new QVBoxLayout;
    texts->addWidget(caption_);
    texts->addWidget(dispatchLost_);
    layout->addLayout(texts, 1);
    caption_->setAlignment(Qt::AlignCenter);
    dispatchLost_->setObjectName(QStringLiteral("DispatchLost"));
    dispatchLost_->setAlignment(Qt::AlignCenter);
    dispatchLost_->setText(QStringLiteral("ВТРАЧЕНО ЗВ'ЯЗОК З ГОЛОВНОЮ БАЗОЮ ДАНИХ: ЗАМОВЛЕННЯ НЕ ПРИЙМАЮТЬСЯ, "
                                          "ЙДЕ ПОШУК НОВОГО ПІДКЛЮЧЕННЯ ..."));
    dispatchLost_->setVisible(false);
    setCaption(kStoppedCaption);
}

void StatusStrip::setCaption(const QString &caption)
{
    caption_->setText(caption);
    const QString background
        = caption == kStoppedCaption ? QStringLiteral("#0000ff") : QStringLiteral("#ff0000");
    setStyleSheet(QStringLiteral("QFrame#Panel19 { background: %1; }"
                                 "QFrame#Panel19 QLabel { color: #ffff00; font-weight: bold;"
                                 " font-size: 16pt; }"
                                 "QFrame#Panel19 QLabel#DispatchLost { color: #ffffff; font-size: 10pt; }")
                      .arg(background));
}

QString StatusStrip::caption() const { return caption_->text(); }

void StatusStrip::setDispatchLost(bool lost) { dispatchLost_->setVisible(lost); }

bool StatusStrip::dispatchLost() const { return !dispatchLost_->isHidden(); }
