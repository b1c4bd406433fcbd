#pragma once

#include <QFrame>

#include <vector>

class QLabel;

// A panel of an operator window that folds to its caption bar (20 pixels high) and
// opens to a set height, or to whatever room there is when that height is 0.
class FoldingPanel : public QFrame {
    Q_OBJECT
public:
    FoldingPanel(const QString &caption, QWidget *body, int openHeight = 0, QWidget *parent = nullptr);

    bool isOpen() const;
    void setOpen(bool open);

private:
    QWidget *body_;
    int openHeight_;
};

// Panels that behave as an accordion: opening one folds the others, and the button of
// the open one folds it.
class Accordion {
public:
    void add(FoldingPanel *panel) { panels_.push_back(panel); }
    void toggle(FoldingPanel *panel);

private:
    std::vector<FoldingPanel *> panels_;
};
