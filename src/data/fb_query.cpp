// fb::Query: prepare, bind parameters, fetch the rows into memory; the cursor over them.

#include "data/fb_internal.h"

#include "common/win1251.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cstdlib>

using namespace Firebird;

namespace fb {

using namespace detail;

namespace {

constexpr unsigned kCharsetWin1251 = 52;
constexpr int kDialect = 3;
// Longest VARCHAR of a single-byte character set.
constexpr int kMaxVarchar = 32765;
constexpr unsigned kBlobSegment = 32 * 1024;

bool isNullValue(const Value &value)
{
    if (std::holds_alternative<std::monostate>(value))
        return true;
    if (const auto *d = std::get_if<QDate>(&value))
        return !d->isValid();
    if (const auto *t = std::get_if<QTime>(&value))
        return !t->isValid();
    if (const auto *dt = std::get_if<QDateTime>(&value))
        return !dt->isValid();
    return false;
}

template <class T>
void put(std::vector<unsigned char> &buffer, unsigned offset, const T &value)
{
    std::memcpy(buffer.data() + offset, &value, sizeof(T));
}

template <class T>
T get(const unsigned char *buffer, unsigned offset)
{
    T value;
    std::memcpy(&value, buffer + offset, sizeof(T));
    return value;
}

ISC_DATE encodeDate(const QDate &d) { return util()->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day())); }

ISC_TIME encodeTime(const QTime &t)
{
    return util()->encodeTime(unsigned(t.hour()), unsigned(t.minute()), unsigned(t.second()), unsigned(t.msec()) * 10);
}

QDate decodeDate(ISC_DATE date)
{
    unsigned y = 0, m = 0, d = 0;
    util()->decodeDate(date, &y, &m, &d);
    return QDate(int(y), int(m), int(d));
}

QTime decodeTime(ISC_TIME time)
{
    unsigned h = 0, m = 0, s = 0, fractions = 0;  // fractions: 1/10000 s
    util()->decodeTime(time, &h, &m, &s, &fractions);
    return QTime(int(h), int(m), int(s), int(fractions / 10));
}

// A float as the shortest decimal that reads back as the same float, then as double:
// a REAL column holding 0.1 gives 0.1, not 0.100000001490116.
double widenFloat(float f)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof(text) - 1, f);
    if (result.ec != std::errc())
        return double(f);
    *result.ptr = '\0';
    return std::strtod(text, nullptr);
}

double scaled(qint64 value, int scale)
{
    static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                    1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    if (scale < 0 && -scale <= 18)
        return double(value) / powers[-scale];
    if (scale > 0 && scale <= 18)
        return double(value) * powers[scale];
    return double(value);
}

Value integerValue(qint64 value, int scale)
{
    if (scale == 0)
        return value;
    return scaled(value, scale);
}

QByteArray readBlob(ThrowStatusWrapper *st, IAttachment *att, ITransaction *tra, ISC_QUAD id)
{
    Ref<IBlob> blob(att->openBlob(st, tra, &id, 0, nullptr));
    QByteArray data;
    std::vector<char> segment(kBlobSegment);
    for (;;) {
        unsigned length = 0;
        const int result = blob->getSegment(st, unsigned(segment.size()), segment.data(), &length);
        if (result != IStatus::RESULT_OK && result != IStatus::RESULT_SEGMENT)
            break;
        data.append(segment.data(), qsizetype(length));
    }
    blob->close(st);
    blob.release();  // close released it
    return data;
}

ISC_QUAD writeBlob(ThrowStatusWrapper *st, IAttachment *att, ITransaction *tra, const QByteArray &data)
{
    ISC_QUAD id{};
    Ref<IBlob> blob(att->createBlob(st, tra, &id, 0, nullptr));
    for (qsizetype at = 0; at < data.size(); at += kBlobSegment) {
        const auto length = unsigned(std::min<qsizetype>(kBlobSegment, data.size() - at));
        blob->putSegment(st, length, data.constData() + at);
    }
    blob->close(st);
    blob.release();  // close released it
    return id;
}

// The text a statement is prepared from, and its text parameters in Windows-1251.
//
// Firebird describes a parameter with the type of what it meets: `KOD = ?` against a
// VARCHAR(10) column makes the parameter a VARCHAR(10), and a longer value fails with
// "string right truncation" before any comparison happens. Each text parameter's
// marker is therefore rewritten into CAST(? AS VARCHAR(n)) with n its own length: the
// comparison then simply finds nothing, while an assignment to a narrower column still
// fails as it should. EXECUTE BLOCK parameter declarations take bare markers only and
// are left alone; texts too long for a VARCHAR are only usable against BLOBs.
struct StatementText {
    QString sql;
    std::vector<QByteArray> texts;
};

StatementText statementText(const QString &sql, const Params &params)
{
    const size_t count = params.size();
    StatementText result;
    result.texts.resize(count);
    std::vector<int> widths(count, 0);
    bool anyText = false;
    for (size_t i = 0; i < count; ++i) {
        if (const auto *s = std::get_if<QString>(&params[i].value())) {
            result.texts[i] = win1251::fromUnicode(*s);
            if (result.texts[i].size() <= kMaxVarchar) {
                widths[i] = std::max(1, int(result.texts[i].size()));
                anyText = true;
            }
        }
    }
    result.sql = (anyText && !isExecuteBlock(sql)) ? castTextMarkers(sql, widths) : sql;
    return result;
}

Ref<IStatement> prepare(ThrowStatusWrapper *st, IAttachment *att, ITransaction *tra, const QString &sql)
{
    const QByteArray bytes = win1251::fromUnicode(sql);
    return Ref<IStatement>(att->prepare(st, tra, unsigned(bytes.size()), bytes.constData(), kDialect,
                                        IStatement::PREPARE_PREFETCH_METADATA));
}

// The input message of a statement with the values in it.
struct Bound {
    Ref<IMessageMetadata> inMeta;
    std::vector<unsigned char> inBuffer;
};

Bound bind(ThrowStatusWrapper *st, IAttachment *att, ITransaction *tra, IStatement *statement,
           const StatementText &text, const Params &params)
{
    const size_t count = params.size();
    const std::vector<QByteArray> &texts = text.texts;
    Ref<IMessageMetadata> described(statement->getInputMetadata(st));
    const unsigned describedCount = described->getCount(st);
    if (describedCount != count)
        throw Error(QStringLiteral("The statement has %1 parameter(s) but %2 value(s) were given")
                        .arg(describedCount)
                        .arg(count));

    Ref<IMetadataBuilder> builder(described->getBuilder(st));
    std::vector<bool> asBlob(count, false);
    for (unsigned i = 0; i < count; ++i) {
        const Value &value = params[i].value();
        if (isNullValue(value))
            continue;  // keeps the described type; only the NULL flag is set
        auto setType = [&](unsigned type, unsigned length) {
            builder->setType(st, i, type);
            builder->setSubType(st, i, 0);
            builder->setScale(st, i, 0);
            builder->setLength(st, i, length);
        };
        if (std::holds_alternative<qint64>(value)) {
            setType(SQL_INT64, sizeof(ISC_INT64));
        } else if (std::holds_alternative<double>(value)) {
            setType(SQL_DOUBLE, sizeof(double));
        } else if (std::holds_alternative<QString>(value)) {
            if ((described->getType(st, i) & ~1u) == SQL_BLOB) {
                asBlob[i] = true;
                builder->setType(st, i, SQL_BLOB);
                builder->setLength(st, i, sizeof(ISC_QUAD));
            } else if (texts[i].size() > kMaxVarchar) {
                throw Error(QStringLiteral("Parameter %1: a text of %2 bytes is too long for a VARCHAR")
                                .arg(i + 1)
                                .arg(texts[i].size()));
            } else {
                setType(SQL_VARYING, unsigned(std::max(1, int(texts[i].size()))));
                builder->setCharSet(st, i, kCharsetWin1251);
            }
        } else if (std::holds_alternative<QDate>(value)) {
            setType(SQL_TYPE_DATE, sizeof(ISC_DATE));
        } else if (std::holds_alternative<QTime>(value)) {
            setType(SQL_TYPE_TIME, sizeof(ISC_TIME));
        } else if (std::holds_alternative<QDateTime>(value)) {
            setType(SQL_TIMESTAMP, sizeof(ISC_TIMESTAMP));
        }
    }
    Bound bound;
    bound.inMeta.reset(builder->getMetadata(st));
    bound.inBuffer.assign(std::max(1u, bound.inMeta->getMessageLength(st)), 0);

    for (unsigned i = 0; i < count; ++i) {
        const Value &value = params[i].value();
        const unsigned offset = bound.inMeta->getOffset(st, i);
        const unsigned nullOffset = bound.inMeta->getNullOffset(st, i);
        const bool null = isNullValue(value);
        put<ISC_SHORT>(bound.inBuffer, nullOffset, null ? -1 : 0);
        if (null)
            continue;
        if (const auto *v = std::get_if<qint64>(&value)) {
            put<ISC_INT64>(bound.inBuffer, offset, *v);
        } else if (const auto *d = std::get_if<double>(&value)) {
            put<double>(bound.inBuffer, offset, *d);
        } else if (std::holds_alternative<QString>(value)) {
            if (asBlob[i]) {
                put<ISC_QUAD>(bound.inBuffer, offset, writeBlob(st, att, tra, texts[i]));
            } else {
                put<ISC_USHORT>(bound.inBuffer, offset, ISC_USHORT(texts[i].size()));
                std::memcpy(bound.inBuffer.data() + offset + sizeof(ISC_USHORT), texts[i].constData(),
                            size_t(texts[i].size()));
            }
        } else if (const auto *date = std::get_if<QDate>(&value)) {
            put<ISC_DATE>(bound.inBuffer, offset, encodeDate(*date));
        } else if (const auto *time = std::get_if<QTime>(&value)) {
            put<ISC_TIME>(bound.inBuffer, offset, encodeTime(*time));
        } else if (const auto *moment = std::get_if<QDateTime>(&value)) {
            ISC_TIMESTAMP ts;
            ts.timestamp_date = encodeDate(moment->date());
            ts.timestamp_time = encodeTime(moment->time());
            put<ISC_TIMESTAMP>(bound.inBuffer, offset, ts);
        }
    }
    return bound;
}

struct Column {
    unsigned type = 0;
    int scale = 0;
    int subType = 0;
    unsigned length = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
};

std::vector<Column> describeColumns(ThrowStatusWrapper *st, IMessageMetadata *meta, QStringList *names)
{
    const unsigned count = meta->getCount(st);
    std::vector<Column> columns(count);
    for (unsigned i = 0; i < count; ++i) {
        Column &c = columns[i];
        c.type = meta->getType(st, i) & ~1u;
        c.scale = meta->getScale(st, i);
        c.subType = meta->getSubType(st, i);
        c.length = meta->getLength(st, i);
        c.offset = meta->getOffset(st, i);
        c.nullOffset = meta->getNullOffset(st, i);
        const char *alias = meta->getAlias(st, i);
        QString name = win1251::toUnicode(QByteArray(alias ? alias : ""));
        if (name.isEmpty())
            name = win1251::toUnicode(QByteArray(meta->getField(st, i)));
        names->append(name);
        switch (c.type) {
        case SQL_TEXT: case SQL_VARYING: case SQL_SHORT: case SQL_LONG: case SQL_INT64:
        case SQL_FLOAT: case SQL_DOUBLE: case SQL_D_FLOAT: case SQL_TYPE_DATE: case SQL_TYPE_TIME:
        case SQL_TIMESTAMP: case SQL_BLOB: case SQL_BOOLEAN: case SQL_NULL:
            break;
        default:
            throw Error(QStringLiteral("Column %1 has a type this program cannot read (%2)").arg(name).arg(c.type));
        }
    }
    return columns;
}

std::vector<Value> decodeRow(ThrowStatusWrapper *st, IAttachment *att, ITransaction *tra,
                             const std::vector<Column> &columns, const unsigned char *buffer)
{
    std::vector<Value> row;
    row.reserve(columns.size());
    for (const Column &c : columns) {
        if (get<ISC_SHORT>(buffer, c.nullOffset) != 0 || c.type == SQL_NULL) {
            row.emplace_back(std::monostate{});
            continue;
        }
        const unsigned char *data = buffer + c.offset;
        switch (c.type) {
        case SQL_TEXT:
            row.emplace_back(win1251::toUnicode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(c.length))));
            break;
        case SQL_VARYING: {
            const auto length = get<ISC_USHORT>(data, 0);
            row.emplace_back(win1251::toUnicode(
                QByteArray(reinterpret_cast<const char *>(data + sizeof(ISC_USHORT)), qsizetype(length))));
            break;
        }
        case SQL_SHORT: row.push_back(integerValue(get<ISC_SHORT>(data, 0), c.scale)); break;
        case SQL_LONG: row.push_back(integerValue(get<ISC_LONG>(data, 0), c.scale)); break;
        case SQL_INT64: row.push_back(integerValue(get<ISC_INT64>(data, 0), c.scale)); break;
        case SQL_FLOAT: row.emplace_back(widenFloat(get<float>(data, 0))); break;
        case SQL_DOUBLE:
        case SQL_D_FLOAT: row.emplace_back(get<double>(data, 0)); break;
        case SQL_TYPE_DATE: row.emplace_back(decodeDate(get<ISC_DATE>(data, 0))); break;
        case SQL_TYPE_TIME: row.emplace_back(decodeTime(get<ISC_TIME>(data, 0))); break;
        case SQL_TIMESTAMP: {
            const auto ts = get<ISC_TIMESTAMP>(data, 0);
            row.emplace_back(QDateTime(decodeDate(ts.timestamp_date), decodeTime(ts.timestamp_time)));
            break;
        }
        case SQL_BLOB:
            // Text blobs arrive in the connection character set; binary ones are shown
            // the same way (the old program kept texts such as RTF in them).
            row.emplace_back(win1251::toUnicode(readBlob(st, att, tra, get<ISC_QUAD>(data, 0))));
            break;
        case SQL_BOOLEAN: row.emplace_back(qint64(get<unsigned char>(data, 0) ? 1 : 0)); break;
        default: row.emplace_back(std::monostate{}); break;
        }
    }
    return row;
}

bool returnsCursor(unsigned type)
{
    return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
}

// The rows of a prepared statement: a cursor's, or the one row of EXECUTE PROCEDURE
// with output parameters and INSERT ... RETURNING.
std::vector<std::vector<Value>> readRows(ThrowStatusWrapper *st, IAttachment *att, ITransaction *tra,
                                         IStatement *statement, Bound &bound, const QString &sql,
                                         QStringList *names)
{
    std::vector<std::vector<Value>> rows;
    const unsigned type = statement->getType(st);
    Ref<IMessageMetadata> outMeta(statement->getOutputMetadata(st));
    const std::vector<Column> columns = describeColumns(st, outMeta.get(), names);
    std::vector<unsigned char> outBuffer(std::max(1u, outMeta->getMessageLength(st)), 0);

    if (returnsCursor(type)) {
        Ref<IResultSet> cursor(
            statement->openCursor(st, tra, bound.inMeta.get(), bound.inBuffer.data(), outMeta.get(), 0));
        while (cursor->fetchNext(st, outBuffer.data()) == IStatus::RESULT_OK) {
            rows.push_back(decodeRow(st, att, tra, columns, outBuffer.data()));
            CallWatch::progress();  // the limit is for a stall, not for a long read
        }
        cursor->close(st);
        cursor.release();  // close released it
    } else if (!columns.empty()) {
        statement->execute(st, tra, bound.inMeta.get(), bound.inBuffer.data(), outMeta.get(), outBuffer.data());
        rows.push_back(decodeRow(st, att, tra, columns, outBuffer.data()));
    } else {
        throw Error(QStringLiteral("The statement returns no rows; run it with execute(): %1").arg(sql.simplified().left(200)));
    }
    return rows;
}

}  // namespace

Query::Query(Transaction &transaction) : transaction_(transaction)
{
    transaction_.queries_.push_back(this);
}

Query::~Query()
{
    auto &list = transaction_.queries_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void Query::close()
{
    open_ = false;
    names_.clear();
    rows_.clear();
    position_ = -1;
    eof_ = true;
    bof_ = true;
}

void Query::open(const QString &sql, const Params &params)
{
    close();
    Transaction::Impl &t = transaction_.impl();
    ITransaction *tra = t.ensureStarted();
    IAttachment *att = t.requireAttachment();

    QStringList names;
    std::vector<std::vector<Value>> rows;
    bool sent = false;  // a statement that writes (INSERT ... RETURNING) is under way
    t.attachment->guarded(&t, &sent, [&](ThrowStatusWrapper *st) {
        const StatementText text = statementText(sql, params);
        Ref<IStatement> statement = prepare(st, att, tra, text.sql);
        Bound bound = bind(st, att, tra, statement.get(), text, params);
        if (!returnsCursor(statement->getType(st)))
            sent = t.wrote = true;
        rows = readRows(st, att, tra, statement.get(), bound, sql, &names);
    });
    setResult(std::move(names), std::move(rows));
}

void Query::openReadOnly(const QString &sql, const Params &params)
{
    close();
    Transaction::Impl &t = transaction_.impl();
    t.requireAttachment();
    Attachment::Impl *attachment = t.attachment;
    ITransaction *reader = attachment->ensureReader();
    IAttachment *att = attachment->require();

    QStringList names;
    std::vector<std::vector<Value>> rows;
    // Only SELECTs run here: nothing is written whenever the connection goes.
    attachment->guarded(nullptr, nullptr, [&](ThrowStatusWrapper *st) {
        const StatementText text = statementText(sql, params);
        Ref<IStatement> statement(attachment->statements.take(text.sql));
        if (!statement)
            statement = prepare(st, att, reader, text.sql);
        if (statement->getType(st) != isc_info_sql_stmt_select)
            throw Error(QStringLiteral("Only a plain SELECT runs read-only: %1").arg(sql.simplified().left(200)));
        Bound bound = bind(st, att, reader, statement.get(), text, params);
        rows = readRows(st, att, reader, statement.get(), bound, sql, &names);
        attachment->statements.put(text.sql, statement.release());
    });
    setResult(std::move(names), std::move(rows));
}

void Query::setResult(QStringList names, std::vector<std::vector<Value>> rows)
{
    names_ = std::move(names);
    rows_ = std::move(rows);
    open_ = true;
    first();
}

int Query::execute(const QString &sql, const Params &params)
{
    close();
    Transaction::Impl &t = transaction_.impl();
    ITransaction *tra = t.ensureStarted();
    IAttachment *att = t.requireAttachment();

    bool sent = false;
    return t.attachment->guarded(&t, &sent, [&](ThrowStatusWrapper *st) {
        const StatementText text = statementText(sql, params);
        Ref<IStatement> statement = prepare(st, att, tra, text.sql);
        const unsigned type = statement->getType(st);
        if (returnsCursor(type))
            throw Error(QStringLiteral("The statement returns rows; run it with open(): %1").arg(sql.simplified().left(200)));
        if (type == isc_info_sql_stmt_start_trans || type == isc_info_sql_stmt_commit ||
            type == isc_info_sql_stmt_rollback)
            throw Error(QStringLiteral("Transactions are controlled through fb::Transaction, not SQL: %1").arg(sql.simplified().left(200)));
        Ref<IMessageMetadata> outMeta(statement->getOutputMetadata(st));
        if (outMeta->getCount(st) != 0)
            throw Error(QStringLiteral("The statement returns values; run it with open(): %1").arg(sql.simplified().left(200)));
        Bound bound = bind(st, att, tra, statement.get(), text, params);
        sent = t.wrote = true;
        statement->execute(st, tra, bound.inMeta.get(), bound.inBuffer.data(), nullptr, nullptr);
        return int(statement->getAffectedRecords(st));
    });
}

// --- cursor, like a Delphi dataset -----------------------------------------------

void Query::first()
{
    if (rows_.empty()) {
        position_ = -1;
        bof_ = eof_ = true;
        return;
    }
    position_ = 0;
    bof_ = true;
    eof_ = false;
}

void Query::last()
{
    if (rows_.empty()) {
        position_ = -1;
        bof_ = eof_ = true;
        return;
    }
    position_ = int(rows_.size()) - 1;
    bof_ = false;
    eof_ = true;
}

void Query::next() { moveBy(1); }

void Query::prior() { moveBy(-1); }

void Query::moveBy(int distance)
{
    if (rows_.empty()) {
        position_ = -1;
        bof_ = eof_ = true;
        return;
    }
    if (distance == 0)
        return;
    bof_ = eof_ = false;
    const qint64 target = qint64(position_) + distance;
    if (target >= qint64(rows_.size())) {
        position_ = int(rows_.size()) - 1;
        eof_ = true;
    } else if (target < 0) {
        position_ = 0;
        bof_ = true;
    } else {
        position_ = int(target);
    }
}

bool Query::eof() const { return eof_; }

bool Query::bof() const { return bof_; }

Field Query::field(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (int i = 0; i < names_.size(); ++i) {
        if (names_[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return field(i);
    }
    throw Error(QStringLiteral("Field not found: %1").arg(name));
}

Field Query::field(int index) const
{
    if (index < 0 || index >= names_.size())
        throw Error(QStringLiteral("Field index %1 out of range (%2 fields)").arg(index).arg(names_.size()));
    if (position_ < 0 || position_ >= int(rows_.size()))
        return Field(names_[index], std::monostate{});
    return Field(names_[index], rows_[size_t(position_)][size_t(index)]);
}

}  // namespace fb
