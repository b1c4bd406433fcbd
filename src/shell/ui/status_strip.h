#pragma once

#include <QFrame>

class QLabel;
class TaxiLogo;

// Panel19, the strip across the top of the operator window: the logo and whether
// the servers run ("СЕРВЕР НЕ ЗАПУЩЕНИЙ" on blue, "СЕРВЕР ЗАПУЩЕНИЙ" on red), and below
// that, while it lasts, that the dispatchers' database cannot be reached.
class StatusStrip : public QFrame {
    Q_OBJECT
public:
    explicit StatusStrip(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QString caption() const;
    void setDispatchLost(bool lost);
    bool dispatchLost() const;
    TaxiLogo *logo() const { return logo_; }

private:
    TaxiLogo *logo_;
    QLabel *caption_;
    QLabel *dispatchLost_;
};
