// Objects of a document kept with their identity: found by id in constant
// time, added and removed without scanning the collection.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kado::word::detail {

// Order of the items is not document order; that comes from the stream.
template <typename T>
class ById {
public:
    T* Find(int64_t id) {
        auto it = index_.find(id);
        return it == index_.end() ? nullptr : &items_[it->second];
    }
    const T* Find(int64_t id) const { return const_cast<ById*>(this)->Find(id); }

    // An item whose id is taken replaces nothing: the first one stays.
    T& Add(T item) {
        const int64_t id = IdOf(item);
        auto [it, fresh] = index_.emplace(id, items_.size());
        if (!fresh) return items_[it->second];
        items_.push_back(std::move(item));
        return items_.back();
    }

    // The last item takes the place of the removed one.
    void Erase(int64_t id) {
        auto it = index_.find(id);
        if (it == index_.end()) return;
        const size_t at = it->second;
        index_.erase(it);
        if (at + 1 != items_.size()) {
            items_[at] = std::move(items_.back());
            index_[IdOf(items_[at])] = at;
        }
        items_.pop_back();
    }

    template <typename Pred>
    void EraseIf(Pred pred) {
        std::vector<T> kept;
        kept.reserve(items_.size());
        for (auto& item : items_)
            if (!pred(std::as_const(item))) kept.push_back(std::move(item));
        items_ = std::move(kept);
        index_.clear();
        for (size_t i = 0; i < items_.size(); ++i) index_.emplace(IdOf(items_[i]), i);
    }

    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    static int64_t IdOf(const T& item) {
        if constexpr (requires { item->id; }) return item->id;
        else return item.id;
    }
    std::vector<T> items_;
    std::unordered_map<int64_t, size_t> index_;
};

}  // namespace kado::word::detail
