#pragma once

#include <QDialog>

class NewsText;
class Prompt;
class QAction;
class QTextCharFormat;
class QTextEdit;

// The news editor of the "  НОВИНИ  " page: paragraphs, bold and a colour, starting from
// NEWS.rtf as it stands. Saving keeps the file so far as NEWS.rtf.bak, writes the new one
// and gives the clients its text at once; a failure is told and the editor stays open.
class NewsEditor : public QDialog {
    Q_OBJECT
public:
    NewsEditor(NewsText &news, Prompt &prompt, QWidget *parent = nullptr);

    QTextEdit *editor() const { return editor_; }

    void save();
    void setBold(bool bold);
    void setColour(const QColor &colour);  // of the selection, or of what is typed next
    void reject() override;                // asks before changes are dropped

private:
    void chooseColour();
    void showFormat(const QTextCharFormat &format);

    NewsText &news_;
    Prompt &prompt_;
    QTextEdit *editor_;
    QAction *bold_;
};
