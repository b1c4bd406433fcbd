#pragma once

#include "shell/client_search.h"

#include <QObject>
#include <QString>

#include <optional>

class ServiceContext;

// The operator's handling of complaints on the page "  СКАРГИ  /  ПРОПОЗИЦІЇ  ": the
// answer as the sender's personal message, marking complaints handled (they are never
// deleted), the all/unhandled switch and the sender's account. Runs on the main
// thread; takes the service lock for its database work, never while asking.
class ComplaintsHandling : public QObject {
    Q_OBJECT
public:
    // The answer is kept to the width of the personal message.
    static constexpr int kAnswerLength = 500;

    explicit ComplaintsHandling(ServiceContext &context, QObject *parent = nullptr);

    void CheckBox10Click(bool all);  // ticked: every complaint; unticked: the unhandled ones
    void SpeedButton5Click(const QString &answer);  // answer the selected complaint
    bool SpeedButton6Click();  // true when the answer box is to be emptied
    void SpeedButton7Click();  // mark the selected complaint handled
    void SpeedButton9Click();  // mark every complaint handled
    void SpeedButton10Click(); // show the sender's account

signals:
    void clientsRequested(const ClientSearch &search);

private:
    struct Row {
        qint64 number = 0;
        QString code;
    };
    std::optional<Row> currentRow();
    // Marks one complaint handled, or every one when `number` is none.
    void markHandled(const QString &question, std::optional<qint64> number);

    ServiceContext &context_;
};
