#pragma once

#include <QString>
#include <QWidget>

class Prompt;
class QPlainTextEdit;

// The "  НОВИНИ  " page: the text of NEWS.rtf, which the clients read too. A missing
// file is created with a line asking the operator for the news.
class NewsPage : public QWidget {
    Q_OBJECT
public:
    NewsPage(QString folder, Prompt &prompt, QWidget *parent = nullptr);

    QString newsPath() const;
    QString text() const;

    void SpeedButton18Click();  // load NEWS.rtf again
    void SpeedButton19Click();  // open NEWS.rtf in its editor

private:
    QString folder_;
    Prompt &prompt_;
    QPlainTextEdit *view_;
};
