#include "shell/ui/tool_button.h"

QToolButton *MakeToolButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon,
                            const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize({24, 24});
    button->setToolTip(hint);
    return button;
}
