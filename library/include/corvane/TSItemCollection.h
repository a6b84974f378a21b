#pragma once

#include <memory>
#include <vector>

#include "corvane/Export.h"

namespace corvane {

class TSFileItem;
using TSFileItemPtr = std::shared_ptr<TSFileItem>;

// An ordered collection of shared items, addressed by 1-based positions.
//
// Members are shared references: one item may stand in several collections and
// lives while any collection or caller holds it. Positions outside the collection
// raise std::out_of_range.
class CORVANE_API TSItemCollection {
public:
    using Storage = std::vector<TSFileItemPtr>;
    using const_iterator = Storage::const_iterator;

    TSItemCollection() = default;
    TSItemCollection(const TSItemCollection&) = delete;
    TSItemCollection& operator=(const TSItemCollection&) = delete;
    ~TSItemCollection();

    // Returns the number of members.
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(m_items.size()); }
    // Returns the member at a 1-based position.
    [[nodiscard]] const TSFileItemPtr& Item(int position) const;
    // Adds a member at the end.
    void Add(TSFileItemPtr item);
    // Adds a member immediately before the member at a 1-based position.
    void AddBefore(TSFileItemPtr item, int position);
    // Adds a member immediately after the member at a 1-based position.
    void AddAfter(TSFileItemPtr item, int position);
    // Removes the member at a 1-based position.
    void Remove(int position);
    // Removes every member.
    void Clear() noexcept { m_items.clear(); }

    [[nodiscard]] const_iterator begin() const noexcept { return m_items.begin(); }
    [[nodiscard]] const_iterator end() const noexcept { return m_items.end(); }
    [[nodiscard]] bool empty() const noexcept { return m_items.empty(); }

private:
    friend class TSFileItem;
    friend class Reader;
    friend class Dismantler;
    void CheckPosition(int position, const char* operation) const;

    Storage m_items;
};

using TSItemCollectionPtr = std::shared_ptr<TSItemCollection>;

}  // namespace corvane
