#include "shell/ui/folding_panel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kFoldedHeight = 20;

}  // namespace

FoldingPanel::FoldingPanel(const QString &caption, QWidget *body, int openHeight, QWidget *parent)
    : QFrame(parent), body_(body), openHeight_(openHeight)
{
    setFrameShape(QFrame::StyledPanel);
    auto *title = new QLabel(caption);
    title->setFixedHeight(kFoldedHeight - 2);
    title->setStyleSheet(QStringLiteral("background: #000080; color: #ffffff; font-weight: bold;"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addWidget(title);
    layout->addWidget(body_, 1);
    setOpen(false);
}

bool FoldingPanel::isOpen() const { return body_->isVisibleTo(this); }

void FoldingPanel::setOpen(bool open)
{
    body_->setVisible(open);
    if (!open) {
        setFixedHeight(kFoldedHeight);
    } else if (openHeight_ > 0) {
        setFixedHeight(openHeight_);
    } else {
        setMinimumHeight(kFoldedHeight);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
    setSizePolicy(QSizePolicy::Preferred, open && openHeight_ == 0 ? QSizePolicy::Expanding : QSizePolicy::Fixed);
}

void Accordion::toggle(FoldingPanel *panel)
{
    const bool open = !panel->isOpen();
    for (FoldingPanel *other : panels_)
        other->setOpen(false);
    panel->setOpen(open);
}
