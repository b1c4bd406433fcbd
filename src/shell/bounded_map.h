#pragma once

#include <QHash>
#include <QString>

#include <algorithm>
#include <list>
#include <utility>

// A map by text keys that holds at most `capacity` entries: a new key past that pushes
// out the entry touched longest ago. For tables fed by clients, which must not grow
// without bound. Not thread-safe: its owner locks.
template <class Value>
class BoundedMap {
public:
    explicit BoundedMap(size_t capacity) : capacity_(std::max<size_t>(1, capacity)) {}

    // The entry of the key, now the most recently touched; null when there is none.
    Value *find(const QString &key)
    {
        const auto found = entries_.find(key);
        if (found == entries_.end())
            return nullptr;
        touched_.splice(touched_.end(), touched_, found->age);
        return &found->value;
    }

    // The entry of the key, made (empty) when there is none.
    Value &get(const QString &key)
    {
        if (Value *value = find(key))
            return *value;
        if (size_t(entries_.size()) >= capacity_) {
            entries_.remove(touched_.front());
            touched_.pop_front();
        }
        touched_.push_back(key);
        Entry &entry = entries_[key];
        entry.age = std::prev(touched_.end());
        return entry.value;
    }

private:
    struct Entry {
        Value value{};
        typename std::list<QString>::iterator age;
    };
    const size_t capacity_;
    QHash<QString, Entry> entries_;
    std::list<QString> touched_;  // front: touched longest ago
};
