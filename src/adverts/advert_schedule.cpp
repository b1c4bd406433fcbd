#include "adverts/advert_schedule.h"

#include "data/row_number.h"
#include "shell/operator_action.h"
#include "shell/operator_text.h"
#include "shell/service_context.h"

namespace {

// The widths the schedule keeps of what the operator writes (the table's own).
constexpr int kNameLength = 300;
constexpr int kPictureLength = 300;
constexpr int kSiteLength = 50;
constexpr int kTextLength = 500;

QString text(const fb::Query &query, const char *field) { return query.field(QString::fromLatin1(field)).asText(); }

fb::Param textOrNull(const QString &text) { return text.isEmpty() ? fb::Param(nullptr) : fb::Param(text); }

// The values of the six written columns, in the order of the statements below.
fb::Params writtenValues(const AdvertFields &f)
{
    return {f.active ? "+" : "-", f.name.left(kNameLength), f.date, f.picture.left(kPictureLength),
            f.site.left(kSiteLength), CutText(StoredLines(f.text), kTextLength)};
}

}  // namespace

SqlFilter BuildAdvertFilter(const AdvertCriteria &c, const ColumnWidths &widths)
{
    SqlFilter filter;
    if (c.byActivity)
        filter.add(c.active ? QStringLiteral("(TABLE_REK_ACTIV = '+')") : QStringLiteral("(TABLE_REK_ACTIV = '-')"));
    if (c.byName)
        filter.addContains(widths, QStringLiteral("TABLE_REK_NAME"), c.name);
    if (c.byDate)
        filter.add(QStringLiteral("(TABLE_REK_DATE between ? and ?)"), {c.from, c.to});
    if (c.byPicture)
        filter.addContains(widths, QStringLiteral("TABLE_REK_RIS"), c.picture);
    if (c.bySite)
        filter.addContains(widths, QStringLiteral("TABLE_REK_SAIT"), c.site);
    if (c.byText)
        filter.addContains(widths, QStringLiteral("TABLE_REK_TEXT"), c.text);
    return filter;
}

AdvertSchedule::AdvertSchedule(ServiceContext &context, QObject *parent) : QObject(parent), context_(context)
{
    qRegisterMetaType<AdvertFields>();
    qRegisterMetaType<AdvertCounters>();
    counters_ = {kNotSet, kNotSet, kNotSet, kNotSet, kNotSet};
}

QString AdvertSchedule::ActionCaption(Mode mode)
{
    switch (mode) {
    case Mode::Create: return QStringLiteral("Дія СТВОРИТИ");
    case Mode::Edit: return QStringLiteral("Дія РЕДАГУВАТИ");
    case Mode::Delete: return QStringLiteral("Дія ЗНИЩИТИ");
    }
    return {};
}

void AdvertSchedule::FormCreate() { filter_ = {}; }

void AdvertSchedule::FormClose()
{
    ServiceLockGuard lock(ServiceLock());
    context_.danni.CloseTable(TDANI::Grid::Reklama);
}

void AdvertSchedule::selectionCounters()
{
    TDANI &d = context_.danni;
    const QString count = QStringLiteral("SELECT COUNT(TABLE_REK_NP) FROM TABLE_REKLAMA\n");
    counters_.selectionTotal = TDANI::ScalarText(d.GPRS_RIZNE, count + filter_.where, filter_.params);
    counters_.selectionActive = TDANI::ScalarText(
        d.GPRS_RIZNE,
        count + (filter_.isEmpty() ? QStringLiteral("where (TABLE_REK_ACTIV = '+')")
                                   : filter_.where + QStringLiteral(" and (TABLE_REK_ACTIV = '+')")),
        filter_.params);
}

void AdvertSchedule::open()
{
    const bool opened = RunOperatorWork(context_.prompt, QStringLiteral("Помилка відкриття розкладу реклами."), [&] {
        context_.danni.OpenTable(TDANI::Grid::Reklama,
                                 QStringLiteral("SELECT * FROM TABLE_REKLAMA\n%1\nORDER BY TABLE_REK_NP").arg(filter_.where),
                                 filter_.params);
        selectionCounters();
    });
    if (!opened)
        counters_.selectionTotal = counters_.selectionActive = kNotSet;
    GPRS_TABL_REKLAMAAfterScroll();
}

void AdvertSchedule::SpeedButton13Click()
{
    filter_ = {};
    open();
}

void AdvertSchedule::SpeedButton12Click(const AdvertCriteria &criteria)
{
    SqlFilter filter;
    if (!RunOperatorWork(context_.prompt, QStringLiteral("Помилка пошуку в розкладі реклами."), [&] {
            filter = BuildAdvertFilter(criteria, context_.danni.ServiceColumns(QStringLiteral("TABLE_REKLAMA")));
        }))
        return;
    // With no criterion checked the previous filter stays.
    if (!filter.isEmpty())
        filter_ = filter;
    open();
}

QStringList AdvertSchedule::ComboBoxDropDown(List list)
{
    const QString column = list == List::Names      ? QStringLiteral("TABLE_REK_NAME")
                           : list == List::Pictures ? QStringLiteral("TABLE_REK_RIS")
                                                    : QStringLiteral("TABLE_REK_SAIT");
    QStringList values;
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка заповнення списку."), [&] {
        fb::Query &q = context_.danni.GPRS_RIZNE;
        TDANI::SelectReadOnly(q, QStringLiteral("SELECT  %1  FROM  TABLE_REKLAMA\nGROUP BY  %1").arg(column));
        for (q.first(); !q.eof(); q.next())
            values << q.field(0).asText();
        q.close();
    });
    return values;
}

std::optional<AdvertSchedule::Row> AdvertSchedule::currentRow()
{
    ServiceLockGuard lock(ServiceLock());
    const fb::Query &grid = context_.danni.GPRS_TABL_REKLAMA;
    if (!grid.isOpen() || grid.isEmpty())
        return std::nullopt;
    return Row{grid.field(QStringLiteral("TABLE_REK_NP")).asInt(),
               {text(grid, "TABLE_REK_ACTIV") == u'+', text(grid, "TABLE_REK_NAME"),
                grid.field(QStringLiteral("TABLE_REK_DATE")).asDate(), text(grid, "TABLE_REK_RIS"),
                text(grid, "TABLE_REK_SAIT"), ShownLines(text(grid, "TABLE_REK_TEXT"))}};
}

AdvertSchedule::RotationNote AdvertSchedule::rotationNote() const
{
    bool on = false;
    bool running = false;
    {
        ServiceLockGuard lock(ServiceLock());
        on = context_.settings.OPEN_OBROBKA_REKLAMA;
        running = context_.running();
    }
    if (on)
        return {true, QStringLiteral("Обробка реклами включена: головна сторінка показує активні записи розкладу, "
                                     "дійсні до дати, по черзі.")};
    QString text = QStringLiteral("Обробка реклами виключена: записи розкладу не показуються на головній сторінці. "
                                  "Включити її: сторінка «НАЛАШТУВАННЯ», «Включити обробку реклами», потім "
                                  "«Зберегти налаштування».");
    // The settings page is hidden while the servers run.
    if (running)
        text += QStringLiteral(" Сторінка є лише при зупиненому сервері: «СЕРВЕР» → «ЗУПИНИТИ СЕРВЕР».");
    return {false, text};
}

void AdvertSchedule::setMode(Mode mode)
{
    mode_ = mode;
    if (mode_ == Mode::Create)
        return;
    if (const std::optional<Row> row = currentRow())
        emit rowCopied(row->fields);
}

void AdvertSchedule::GPRS_TABL_REKLAMAAfterScroll()
{
    const std::optional<Row> row = currentRow();
    if (row && mode_ != Mode::Create)
        emit rowCopied(row->fields);
    counters_.clientTotal = counters_.clientActive = counters_.activeUpToDate = kNotSet;
    // An empty selection has nothing to count: every counter reads "не задано".
    if (!row)
        counters_.selectionTotal = counters_.selectionActive = kNotSet;
    if (row) {
        const fb::Param name = textOrNull(row->fields.name);
        const fb::Param date = row->fields.date.isValid() ? fb::Param(row->fields.date) : fb::Param(nullptr);
        RunOperatorWork(context_.prompt, QStringLiteral("Помилка підрахунку повідомлень."), [&] {
            fb::Query &q = context_.danni.GPRS_RIZNE;
            TDANI::Select(
                q,
                QStringLiteral(
                    "SELECT COUNT(TABLE_REK_NP), \n"
                    "  IIF((SELECT COUNT(TABLE_REK_NP) FROM TABLE_REKLAMA WHERE (TABLE_REK_ACTIV = '+') AND "
                    "(TABLE_REK_NAME = ?)) is null, 0, \n"
                    "      (SELECT COUNT(TABLE_REK_NP) FROM TABLE_REKLAMA WHERE (TABLE_REK_ACTIV = '+') AND "
                    "(TABLE_REK_NAME = ?))), \n"
                    "  IIF((SELECT COUNT(TABLE_REK_NP) FROM TABLE_REKLAMA WHERE (TABLE_REK_ACTIV = '+') AND "
                    "(TABLE_REK_DATE <= ?)) is null, 0, \n"
                    "      (SELECT COUNT(TABLE_REK_NP) FROM TABLE_REKLAMA WHERE (TABLE_REK_ACTIV = '+') AND "
                    "(TABLE_REK_DATE <= ?))) \n"
                    "  FROM TABLE_REKLAMA\n"
                    "WHERE (TABLE_REK_NAME = ?)"),
                {name, name, date, date, name});
            if (!q.isEmpty()) {
                q.last();
                counters_.clientTotal = q.field(0).asText();
                counters_.clientActive = q.field(1).asText();
                counters_.activeUpToDate = q.field(2).asText();
            }
            q.close();
        });
    }
    emit countersChanged(counters_);
}

QString AdvertSchedule::refusal(const AdvertFields &f)
{
    const QStringList unstorable = UnstorableFields({{QStringLiteral("Назва клієнта"), f.name},
                                                     {QStringLiteral("URL рисунка"), f.picture},
                                                     {QStringLiteral("URL сайта"), f.site},
                                                     {QStringLiteral("Текст повідомлення"), f.text}});
    if (!unstorable.isEmpty())
        return UnstorableMessage(unstorable);
    if (!f.date.isValid())
        return QStringLiteral("Не вказана дата, до якої показується реклама. Дані не змінено !");
    return {};
}

bool AdvertSchedule::write(const QString &failure, const QString &sql, const fb::Params &params)
{
    const bool ran = RunOperatorWork(context_.prompt, failure, [&] {
        TDANI &d = context_.danni;
        TDANI::Execute(d.GPRS_RIZNE, sql, params);
        d.RefreshGrid(TDANI::Grid::Reklama);
        selectionCounters();
    });
    GPRS_TABL_REKLAMAAfterScroll();
    return ran;
}

void AdvertSchedule::SpeedButton11Click(const AdvertFields &fields)
{
    switch (mode_) {
    case Mode::Create: create(fields); return;
    case Mode::Edit: edit(fields); return;
    case Mode::Delete: remove(); return;
    }
}

void AdvertSchedule::create(const AdvertFields &fields)
{
    if (fields.text.isEmpty() || fields.name.isEmpty()) {
        context_.prompt.message(QStringLiteral("Не вказані всі параметри (текст повідомлення і/або назва клієнта) !"));
        return;
    }
    if (const QString reason = refusal(fields); !reason.isEmpty()) {
        context_.prompt.message(reason);
        return;
    }
    if (!context_.prompt.question(QStringLiteral("Створити новий запис реклами ?")))
        return;
    const QString insert = QStringLiteral("INSERT INTO TABLE_REKLAMA\n"
                                          "(TABLE_REK_NP, TABLE_REK_ACTIV, TABLE_REK_NAME, TABLE_REK_DATE, "
                                          "TABLE_REK_RIS, TABLE_REK_SAIT, TABLE_REK_TEXT)\n"
                                          "VALUES(%1, ?, ?, ?, ?, ?, ?)")
                               .arg(NextRowNumber(QStringLiteral("TABLE_REKLAMA"), QStringLiteral("TABLE_REK_NP")));
    if (write(QStringLiteral("Помилка створення запису реклами. Запис не створено."), insert, writtenValues(fields)))
        emit created();
}

void AdvertSchedule::edit(const AdvertFields &fields)
{
    // The row selected when the operator pressed the button.
    const std::optional<Row> row = currentRow();
    if (!row)
        return;
    if (const QString reason = refusal(fields); !reason.isEmpty()) {
        context_.prompt.message(reason);
        return;
    }
    if (!context_.prompt.question(QStringLiteral("Редагувати вибраний запис реклами ?")))
        return;
    fb::Params values = writtenValues(fields);
    values.emplace_back(row->number);
    write(QStringLiteral("Помилка редагування запису реклами. Дані не змінено."),
          QStringLiteral("UPDATE TABLE_REKLAMA\n"
                         "SET TABLE_REK_ACTIV = ?, \n"
                         "    TABLE_REK_NAME = ?, \n"
                         "    TABLE_REK_DATE = ?, \n"
                         "    TABLE_REK_RIS = ?, \n"
                         "    TABLE_REK_SAIT = ?, \n"
                         "    TABLE_REK_TEXT = ?\n"
                         "WHERE (TABLE_REK_NP = ?)"),
          values);
}

void AdvertSchedule::remove()
{
    const std::optional<Row> row = currentRow();
    if (!row || !context_.prompt.question(QStringLiteral("Знищити вибраний запис реклами ?")))
        return;
    const qint64 number = row->number;
    write(QStringLiteral("Помилка знищення запису реклами. Дані не змінено."),
          QStringLiteral("DELETE FROM  TABLE_REKLAMA\nWHERE (TABLE_REK_NP = ?)"), {number});
}

void AdvertSchedule::SpeedButton5Click()
{
    if (!context_.prompt.question(
            QStringLiteral("Обнулити активності записів загальної таблиці реклами, які дійсні до дати в даний час ?")))
        return;
    write(QStringLiteral("Помилка обнулення активності реклами. Дані не змінено."),
          QStringLiteral("UPDATE  TABLE_REKLAMA\nSET  TABLE_REK_ACTIV = '-'\nWHERE (TABLE_REK_DATE < ?)"),
          {QDate::currentDate()});
}
