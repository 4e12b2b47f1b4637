// The characters of a story in a gap buffer: edits near the previous one cost
// the distance moved, not the length of the story, so writing a table cell by
// cell into a long document stays linear.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <span>
#include <vector>

namespace kado::word::detail {

template <typename T>
class GapBuffer {
public:
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;
        const_iterator() = default;
        const_iterator(const GapBuffer* b, size_t i) : b_(b), i_(i) {}
        reference operator*() const { return (*b_)[i_]; }
        pointer operator->() const { return &(*b_)[i_]; }
        reference operator[](difference_type n) const { return (*b_)[i_ + n]; }
        const_iterator& operator++() { ++i_; return *this; }
        const_iterator operator++(int) { auto t = *this; ++i_; return t; }
        const_iterator& operator--() { --i_; return *this; }
        const_iterator operator--(int) { auto t = *this; --i_; return t; }
        const_iterator& operator+=(difference_type n) { i_ += n; return *this; }
        const_iterator& operator-=(difference_type n) { i_ -= n; return *this; }
        friend const_iterator operator+(const_iterator a, difference_type n) { return a += n; }
        friend const_iterator operator+(difference_type n, const_iterator a) { return a += n; }
        friend const_iterator operator-(const_iterator a, difference_type n) { return a -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.i_) - static_cast<difference_type>(b.i_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.i_ == b.i_; }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) { return a.i_ <=> b.i_; }

    private:
        const GapBuffer* b_ = nullptr;
        size_t i_ = 0;
    };

    size_t size() const { return buf_.size() - gapLen_; }
    bool empty() const { return size() == 0; }
    T& operator[](size_t i) { return buf_[i < gap_ ? i : i + gapLen_]; }
    const T& operator[](size_t i) const { return buf_[i < gap_ ? i : i + gapLen_]; }
    T& back() { return (*this)[size() - 1]; }
    const T& back() const { return (*this)[size() - 1]; }
    const T& front() const { return (*this)[0]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    void reserve(size_t n) {
        if (n > size()) Grow(n - size());
    }
    void push_back(const T& v) {
        // Loading appends character by character: keep that a plain store.
        if (gap_ + gapLen_ == buf_.size() && gapLen_ > 0) {
            buf_[gap_++] = v;
            --gapLen_;
            return;
        }
        Insert(size(), &v, 1);
    }

    void Insert(size_t at, const T* items, size_t n) {
        if (n == 0) return;
        if (gapLen_ < n) Grow(n);
        MoveGap(at);
        std::copy(items, items + n, buf_.begin() + static_cast<std::ptrdiff_t>(gap_));
        gap_ += n;
        gapLen_ -= n;
    }
    void Erase(size_t from, size_t to) {
        if (to <= from) return;
        MoveGap(from);
        gapLen_ += to - from;
    }

    // The characters without the gap, for long sequential reads (saving).
    std::span<const T> Contiguous() {
        MoveGap(size());
        return {buf_.data(), size()};
    }

private:
    void MoveGap(size_t to) {
        auto b = buf_.begin();
        const auto gap = static_cast<std::ptrdiff_t>(gap_), len = static_cast<std::ptrdiff_t>(gapLen_),
                   t = static_cast<std::ptrdiff_t>(to);
        if (to < gap_) std::move_backward(b + t, b + gap, b + gap + len);
        else if (to > gap_) std::move(b + gap + len, b + t + len, b + gap);
        gap_ = to;
    }
    void Grow(size_t need) {
        const size_t n = size();
        // At least doubling, and small at first: a long invoice holds
        // thousands of short comment texts, each in a buffer of its own.
        const size_t len = std::max({need, n, size_t{8}});
        std::vector<T> next;
        next.reserve(n + len);
        auto b = buf_.begin();
        next.insert(next.end(), b, b + static_cast<std::ptrdiff_t>(gap_));
        next.resize(gap_ + len);
        next.insert(next.end(), b + static_cast<std::ptrdiff_t>(gap_ + gapLen_), buf_.end());
        buf_ = std::move(next);
        gapLen_ = len;
    }

    std::vector<T> buf_;
    size_t gap_ = 0;     // first position of the gap
    size_t gapLen_ = 0;
};

}  // namespace kado::word::detail
