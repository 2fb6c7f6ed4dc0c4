#pragma once
// Heap records that travel in a posted window message's lParam.
//
// Any program on the desktop can post a message number with any lParam, so a
// receiver must never free or read a pointer just because it arrived in the
// right message. The sender issues each record through a PostedRecords
// registry, which remembers it together with its receiver; the receiver
// redeems lParam and gets the record back only when this process issued it
// for that window and it is still outstanding. A receiver that is destroyed
// discards whatever is still queued for it.
//
// Thread-safe: a worker thread may issue while the user-interface thread
// redeems or discards.
#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <utility>

template <class Record>
class PostedRecords {
public:
    PostedRecords() = default;
    PostedRecords(const PostedRecords&) = delete;
    PostedRecords& operator=(const PostedRecords&) = delete;

    // Posts `message` with `wParam` and the record's address to `receiver`.
    // False when the post fails; the record is then freed here.
    bool Post(HWND receiver, UINT message, WPARAM wParam, std::unique_ptr<Record> record) {
        if (!record)
            return false;
        Record* address = record.get();
        {
            // Registered before posting: the receiver may run as soon as the
            // message is queued.
            std::lock_guard<std::mutex> lock(mutex_);
            outstanding_[address] = Entry{receiver, std::move(record)};
        }
        if (receiver &&
            ::PostMessageW(receiver, message, wParam, reinterpret_cast<LPARAM>(address)))
            return true;
        Take(address);  // dropped here, unless a racing Discard already freed it
        return false;
    }

    // The record posted to `receiver` at `lParam`, now owned by the caller;
    // null for anything this registry did not issue to that window or that
    // was already redeemed or discarded.
    std::unique_ptr<Record> Redeem(HWND receiver, LPARAM lParam) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = outstanding_.find(reinterpret_cast<Record*>(lParam));
        if (it == outstanding_.end() || it->second.receiver != receiver)
            return nullptr;
        std::unique_ptr<Record> record = std::move(it->second.record);
        outstanding_.erase(it);
        return record;
    }

    // Frees every record still outstanding for `receiver`; its messages may
    // still sit in a queue, and redeeming them later yields null.
    void Discard(HWND receiver) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = outstanding_.begin(); it != outstanding_.end();) {
            if (it->second.receiver == receiver)
                it = outstanding_.erase(it);
            else
                ++it;
        }
    }

    size_t Outstanding() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return outstanding_.size();
    }

private:
    struct Entry {
        HWND receiver = nullptr;
        std::unique_ptr<Record> record;
    };

    void Take(Record* address) {
        std::lock_guard<std::mutex> lock(mutex_);
        outstanding_.erase(address);
    }

    mutable std::mutex mutex_;
    std::map<Record*, Entry> outstanding_;
};
