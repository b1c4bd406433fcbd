#include "data/client_list_reader.h"

#include <sys/resource.h>
#include <unistd.h>

namespace {

// The scheduling priority of the reader's thread, below the threads that answer.
constexpr int kNiceness = 10;
// Reads that may fail in a row before the list is no longer used.
constexpr int kFailuresBeforeDrop = 3;

}  // namespace

ClientRecord ClientRecordOf(const std::vector<fb::Value> &row)
{
    const auto text = [&row](size_t column) { return fb::valueText(row.at(column)); };
    const auto present = [&row](size_t column) { return !std::holds_alternative<std::monostate>(row.at(column)); };
    ClientRecord record;
    record.dodatkovo = text(0);
    record.hasDodatkovo = present(0);
    record.fio = text(1);
    record.telefon = text(2);
    record.hasTelefon = present(2);
    record.balans = text(3);
    record.znizhka = text(4);
    record.kilViklik = text(5);
    record.kilFreeViklik = text(6);
    record.birthday = text(7);
    return record;
}

std::vector<ClientRecord> ClientListReader::ReadAll(fb::Transaction &transaction)
{
    fb::Query query(transaction);
    query.openReadOnly(QStringLiteral("SELECT %1 FROM KLIENT").arg(QLatin1String(kClientColumns)));
    std::vector<ClientRecord> records;
    records.reserve(query.rows().size());
    for (const auto &row : query.rows())
        records.push_back(ClientRecordOf(row));
    query.close();
    return records;
}

ClientListReader::~ClientListReader() { stop(); }

void ClientListReader::start(const fb::ConnectParams &params, std::chrono::milliseconds period, Report report)
{
    stop();
    stopping_ = false;
    thread_ = std::thread([this, params, period, report = std::move(report)] { run(params, period, report); });
}

void ClientListReader::stop()
{
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    current_.store(nullptr);
    readAt_.store(kNeverRead);
}

std::optional<std::chrono::steady_clock::duration> ClientListReader::age() const
{
    const auto readAt = readAt_.load();
    if (readAt == kNeverRead)
        return std::nullopt;
    return std::chrono::steady_clock::now() - std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(readAt));
}

bool ClientListReader::sleepUntil(std::chrono::steady_clock::time_point until)
{
    std::unique_lock lock(mutex_);
    return wake_.wait_until(lock, until, [this] { return stopping_; });
}

void ClientListReader::run(fb::ConnectParams params, std::chrono::milliseconds period, Report report)
{
    // Answering the clients comes first: on a busy machine the next copy may wait a little.
    ::setpriority(PRIO_PROCESS, id_t(::gettid()), kNiceness);
    // Everything of the connection lives and dies on this thread.
    fb::Attachment attachment;
    fb::Transaction transaction(attachment);
    int failures = 0;  // reads failed in a row
    for (;;) {
        // At most one read a period; one that took longer is followed at once.
        const auto started = std::chrono::steady_clock::now();
        try {
            if (!attachment.isOpen())
                attachment.open(params);
            std::vector<ClientRecord> records = ReadAll(transaction);
            const std::shared_ptr<const ClientList> known = current_.load();
            if (!known || known->rows() != records)
                current_.store(std::make_shared<const ClientList>(std::move(records)));
            readAt_.store(started.time_since_epoch().count());
            if (failures >= kFailuresBeforeDrop && report)
                report(QStringLiteral("]: Список клієнтів диспетчерської служби знову оновлюється; клієнтів шукають "
                                      "у ньому."));
            failures = 0;
        } catch (const fb::Error &error) {
            // A list that cannot be refreshed would go on finding deleted clients: after a
            // few periods the look-ups ask the database again.
            if (++failures == kFailuresBeforeDrop) {
                current_.store(nullptr);
                if (report)
                    report(QStringLiteral("]: Список клієнтів диспетчерської служби не оновлюється (%1); клієнтів "
                                          "шукають у базі, поки він не оновиться.")
                               .arg(error.text().replace(u'\n', u' ')));
            }
        }
        if (sleepUntil(started + period))
            return;
    }
}
