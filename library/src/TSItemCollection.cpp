#include "corvane/TSItemCollection.h"

#include <stdexcept>
#include <string>

#include "corvane/TSFileItem.h"

namespace corvane {

TSItemCollection::~TSItemCollection() = default;

void TSItemCollection::CheckPosition(int position, const char* operation) const {
    if (position < 1 || position > Count()) {
        throw std::out_of_range(std::string(operation) + ": position " + std::to_string(position) +
                                " is outside the collection of " + std::to_string(Count()) +
                                " items (subscript out of range)");
    }
}

const TSFileItemPtr& TSItemCollection::Item(int position) const {
    CheckPosition(position, "Item");
    return m_items[static_cast<std::size_t>(position - 1)];
}

void TSItemCollection::Add(TSFileItemPtr item) {
    if (!item) {
        throw std::invalid_argument("Add: the item is null");
    }
    m_items.push_back(std::move(item));
}

void TSItemCollection::AddBefore(TSFileItemPtr item, int position) {
    if (!item) {
        throw std::invalid_argument("Add: the item is null");
    }
    CheckPosition(position, "Add before");
    m_items.insert(m_items.begin() + (position - 1), std::move(item));
}

void TSItemCollection::AddAfter(TSFileItemPtr item, int position) {
    if (!item) {
        throw std::invalid_argument("Add: the item is null");
    }
    CheckPosition(position, "Add after");
    m_items.insert(m_items.begin() + position, std::move(item));
}

void TSItemCollection::Remove(int position) {
    CheckPosition(position, "Remove");
    m_items.erase(m_items.begin() + (position - 1));
}

}  // namespace corvane
