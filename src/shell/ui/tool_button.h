#pragma once

#include <QStyle>
#include <QToolButton>

// The small icon buttons of the operator pages, named as their handlers expect.
QToolButton *MakeToolButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon,
                            const QString &hint);
