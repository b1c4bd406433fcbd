#include "shell/complaints_handling.h"

#include "shell/operator_action.h"
#include "shell/service_context.h"

namespace {

const QString kMarkHandled =
    QStringLiteral("UPDATE TABLE_SKARGA\nSET TABLE_SKARGA_VIDPOV = '+'\nWHERE (TABLE_SKARGA_NP = ?)");

}  // namespace

ComplaintsHandling::ComplaintsHandling(ServiceContext &context, QObject *parent) : QObject(parent), context_(context)
{
    qRegisterMetaType<ClientSearch>();
}

std::optional<ComplaintsHandling::Row> ComplaintsHandling::currentRow()
{
    ServiceLockGuard lock(ServiceLock());
    const fb::Query &grid = context_.danni.GPRS_TABL_SKARGA;
    if (!grid.isOpen() || grid.isEmpty())
        return std::nullopt;
    return Row{grid.field(QStringLiteral("TABLE_SKARGA_NP")).asInt(),
               grid.field(QStringLiteral("TABLE_SKARGA_KOD")).asText()};
}

void ComplaintsHandling::CheckBox10Click(bool all)
{
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка відкриття списку скарг."), [&] {
        context_.danni.allComplaints = all;
        context_.danni.RefreshGrid(TDANI::Grid::Skarga);
    });
}

void ComplaintsHandling::SpeedButton5Click(const QString &answer)
{
    // The complaint is the one selected when the operator pressed the button, whatever
    // arrives while the questions are open.
    const std::optional<Row> row = currentRow();
    if (!row || answer.isEmpty()
        || !context_.prompt.question(QStringLiteral("Відправити відповідь на вибрану скаргу ?")))
        return;
    // The lines joined by the line breaks the clients' programs have always been sent.
    QString text = answer;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
    text.truncate(kAnswerLength);
    const bool handled =
        context_.prompt.question(QStringLiteral("ПОЗНАЧИТИ СКАРГУ ЯК ОПРАЦЬОВАНУ (дана відповідь)  ???"));

    int reached = 0;
    const QString failure = QStringLiteral("Помилка відправлення відповіді. Дані не змінено.");
    const bool ran = RunOperatorWork(context_.prompt, failure, [&] {
        TDANI &d = context_.danni;
        fb::Query &q = d.GPRS_RIZNE;
        q.transaction().commitIfActive();
        q.close();
        try {
            // The code compared as text, exactly, like every other code look-up.
            reached = q.execute(
                QStringLiteral("UPDATE TABLE_KLIENT\nSET TABLE_KLIENT_POVID = ?\nWHERE (TABLE_KLIENT_KOD = ?)"),
                {text, row->code});
            if (handled)
                q.execute(kMarkHandled, {row->number});
            q.transaction().commit();
        } catch (...) {
            d.TRANZ_GPRS_RIZNE.rollback();
            throw;
        }
        d.RefreshGrid(TDANI::Grid::Skarga);
    });
    if (ran && reached == 0)
        context_.prompt.message(QStringLiteral("У таблиці клієнтів web сервіса немає клієнта з кодом [%1]: відповідь "
                                               "не отримає ніхто.")
                                    .arg(row->code));
}

bool ComplaintsHandling::SpeedButton6Click()
{
    return context_.prompt.question(QStringLiteral("Очистити текст відповіді ?"));
}

void ComplaintsHandling::markHandled(const QString &question, std::optional<qint64> number)
{
    if (!currentRow() || !context_.prompt.question(question))
        return;
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка позначення скарг опрацьованими."), [&] {
        TDANI &d = context_.danni;
        if (number)
            TDANI::Execute(d.GPRS_RIZNE, kMarkHandled, {*number});
        else
            TDANI::Execute(d.GPRS_RIZNE, QStringLiteral("UPDATE TABLE_SKARGA\nSET TABLE_SKARGA_VIDPOV = '+'"));
        d.RefreshGrid(TDANI::Grid::Skarga);
    });
}

void ComplaintsHandling::SpeedButton7Click()
{
    const std::optional<Row> row = currentRow();
    if (row)
        markHandled(QStringLiteral("Знищити вибрану скаргу (поставити помітку опрацьованості) ?"), row->number);
}

void ComplaintsHandling::SpeedButton9Click()
{
    markHandled(QStringLiteral("Очистити список скарг (поставити помітку опрацьованості) ?"), std::nullopt);
}

void ComplaintsHandling::SpeedButton10Click()
{
    if (const std::optional<Row> row = currentRow())
        emit clientsRequested({ClientSearch::Field::Code, row->code});
}
