#pragma once

#include <QWidget>

// The program's logo: a taxi roof sign with its checker strip. A double click
// leads to the program's web site.
class TaxiLogo : public QWidget {
    Q_OBJECT
public:
    explicit TaxiLogo(QWidget *parent = nullptr);

    QSize sizeHint() const override;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
