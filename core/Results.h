#pragma once

#include "FileItem.h"
#include "Listing.h"

#include <QList>

#include <iterator>
#include <memory>
#include <vector>

namespace tarnwick {

// What a search shows, row by row: positions in the listing the rows came from. A million rows
// share the listing's items (copying each would pay an atomic count on its folder record) and,
// for the plain name order, even the order itself. Immutable; cheap to copy.
class Results {
public:
    Results() = default;
    Results(ListingPtr listing, ItemOrder rows);
    // Items of their own (the index's answer), in this order.
    static Results ofItems(QList<FileItem> items);

    qsizetype size() const { return m_rows ? qsizetype(m_rows->size()) : 0; }
    bool isEmpty() const { return size() == 0; }
    const FileItem& operator[](qsizetype row) const {
        return m_listing->items[qsizetype((*m_rows)[size_t(row)])];
    }
    const FileItem& at(qsizetype row) const {
        Q_ASSERT(row >= 0 && row < size());
        return (*this)[row];
    }
    // Whether both show the same rows of the same listing (without comparing them).
    bool isSameAs(const Results& other) const {
        return m_listing == other.m_listing && m_rows == other.m_rows;
    }
    QList<FileItem> toList() const;

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = FileItem;
        using difference_type = std::ptrdiff_t;
        using pointer = const FileItem*;
        using reference = const FileItem&;
        const_iterator() = default;
        const_iterator(const Results* results, qsizetype row) : m_results(results), m_row(row) {}
        reference operator*() const { return (*m_results)[m_row]; }
        pointer operator->() const { return &(*m_results)[m_row]; }
        const_iterator& operator++() {
            ++m_row;
            return *this;
        }
        const_iterator operator++(int) { return {m_results, m_row++}; }
        bool operator==(const const_iterator& other) const { return m_row == other.m_row; }

    private:
        const Results* m_results = nullptr;
        qsizetype m_row = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    ListingPtr m_listing;
    ItemOrder m_rows;
};

}  // namespace tarnwick
