#pragma once

#include <QWidget>

class NewsEditor;
class NewsText;
class Prompt;
class QPlainTextEdit;

// The "  НОВИНИ  " page: the news the service holds, which the clients read too.
// Its buttons load NEWS.rtf again, open it in the desktop's editor, and edit it in the
// window's own news editor.
class NewsPage : public QWidget {
    Q_OBJECT
public:
    NewsPage(NewsText &news, Prompt &prompt, QWidget *parent = nullptr);

    QString text() const;

    void SpeedButton18Click();  // load NEWS.rtf again: clients get the new text from now on
    void SpeedButton19Click();  // open NEWS.rtf in its editor
    // The news editor, over the window; a save shows the new text here.
    NewsEditor *editNews();
    void showNews();            // the view shows the text held now

private:
    NewsText &news_;
    Prompt &prompt_;
    QPlainTextEdit *view_;
};
