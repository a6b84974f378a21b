#include "corvane/TSFileItem.h"

#include "Arena.h"
#include "LoadedTree.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace corvane {

namespace {

using parameters::Pack;
using parameters::PackedSize;
using parameters::Unpack;

}  // namespace

// Destroying a deep tree one level per call would exhaust the stack; the members
// of collections that nobody else holds are taken apart in a loop instead.
class Dismantler {
public:
    static void Run(TSItemCollectionPtr& children) {
        if (!children || children.use_count() != 1 || children->m_items.empty()) {
            return;
        }
        std::vector<TSFileItemPtr> pending = std::move(children->m_items);
        children->m_items.clear();
        while (!pending.empty()) {
            TSFileItemPtr item = std::move(pending.back());
            pending.pop_back();
            if (item.use_count() == 1) {
                TSItemCollectionPtr& grand = item->m_children;
                if (grand && grand.use_count() == 1) {
                    for (auto& g : grand->m_items) {
                        pending.push_back(std::move(g));
                    }
                    grand->m_items.clear();
                }
            }
        }
    }
};

namespace {

const std::string kNoName;

}  // namespace

TSFileItem::TSFileItem() noexcept : m_name(&kNoName) {}

TSFileItem::TSFileItem(std::string name) : m_name(&kNoName) {
    if (!name.empty()) {
        m_name = new std::string(std::move(name));
        m_ownsName = true;
    }
}

TSFileItem::TSFileItem(Loaded loaded) noexcept : m_name(loaded.name) {
    if (loaded.item != nullptr) {
        m_params = loaded.item->parameters;
        m_noParameters = m_params == nullptr;
        m_loaded = loaded.item->children;
    }
}

TSFileItem::~TSFileItem() {
    Dismantler::Run(m_children);
    if (m_ownsName) {
        delete m_name;
    }
    if (m_ownsParams) {
        delete[] m_params;
    }
}

void TSFileItem::SetName(std::string name) {
    if (m_ownsName) {
        *const_cast<std::string*>(m_name) = std::move(name);
        return;
    }
    m_name = new std::string(std::move(name));
    m_ownsName = true;
}

const TSItemCollectionPtr& TSFileItem::Children() const {
    if (!m_children) {
        MakeChildren();
    }
    return m_children;
}

// The new items are made in the load's arena, as the reader made the top-level
// ones, so that each holds the memory its name, parameters and children lie in.
void TSFileItem::MakeChildren() const {
    auto children = std::make_shared<TSItemCollection>();
    if (m_loaded != nullptr) {
        const ArenaAllocator<TSFileItem> allocator(m_loaded->arena);
        const LoadedItem* items = m_loaded->Items();
        children->m_items.reserve(m_loaded->count);
        for (std::uint32_t i = 0; i < m_loaded->count; ++i) {
            children->m_items.push_back(
                std::allocate_shared<TSFileItem>(allocator, Loaded{items[i].name, &items[i]}));
        }
    }
    m_children = std::move(children);
    m_loaded = nullptr;
}

bool TSFileItem::HasChildren() const noexcept {
    if (m_children) {
        return !m_children->empty();
    }
    return m_loaded != nullptr && m_loaded->count > 0;
}

void TSFileItem::SetChildren(TSItemCollectionPtr children) {
    if (!children) {
        throw std::invalid_argument("Children: the collection is null");
    }
    m_children = std::move(children);
    m_loaded = nullptr;
}

// The values may lie in the present block: the new block is written in full
// before it takes the old one's place.
void TSFileItem::StoreParameters(const std::vector<std::string_view>& values) {
    char* block = new char[PackedSize(values)];
    Pack(values, block);
    if (m_ownsParams) {
        delete[] m_params;
    }
    m_params = block;
    m_ownsParams = true;
}

void TSFileItem::AssignLoadedParameters(const char* block) noexcept {
    if (m_ownsParams) {
        delete[] m_params;
    }
    m_params = block;
    m_ownsParams = false;
    m_noParameters = false;
}

std::uint32_t TSFileItem::ArraySize() const noexcept {
    return parameters::Count(Block());
}

int TSFileItem::NumParameters() const noexcept {
    return m_noParameters ? 0 : static_cast<int>(ArraySize());
}

void TSFileItem::SetNumParameters(int count) {
    if (count < 0) {
        throw std::out_of_range("NumParameters: " + std::to_string(count) +
                                " is not a valid count (subscript out of range)");
    }
    if (count == 0) {
        m_noParameters = true;
        return;
    }
    const std::uint32_t size = ArraySize();
    std::vector<std::string_view> values(static_cast<std::size_t>(count));
    for (std::uint32_t i = 0; i < size && i < values.size(); ++i) {
        values[i] = Unpack(Block(), i);
    }
    StoreParameters(values);
    m_noParameters = false;
}

void TSFileItem::CheckIndex(int index) const {
    if (index < 0 || static_cast<std::uint32_t>(index) >= ArraySize()) {
        throw std::out_of_range("Parameter: index " + std::to_string(index) + " of item \"" +
                                *m_name + "\" is outside its " + std::to_string(ArraySize()) +
                                " parameters (subscript out of range)");
    }
}

std::string_view TSFileItem::ParameterView(int index) const {
    CheckIndex(index);
    return Unpack(Block(), static_cast<std::uint32_t>(index));
}

std::string TSFileItem::Parameter(int index) const {
    return std::string(ParameterView(index));
}

void TSFileItem::SetParameter(int index, std::string_view value) {
    CheckIndex(index);
    const std::uint32_t size = ArraySize();
    std::vector<std::string_view> values(size);
    for (std::uint32_t i = 0; i < size; ++i) {
        values[i] = Unpack(Block(), i);
    }
    values[static_cast<std::size_t>(index)] = value;
    StoreParameters(values);
}

void TSFileItem::AssignParameters(const std::vector<std::string_view>& values) {
    if (values.empty()) {
        m_noParameters = true;
        return;
    }
    StoreParameters(values);
    m_noParameters = false;
}

TSFileItemPtr TSFileItem::Child(std::string_view name) const {
    if (!m_children && m_loaded != nullptr) {
        // The collection is made only when there is an item to hand out.
        const LoadedItem* items = m_loaded->Items();
        for (std::uint32_t i = 0; i < m_loaded->count; ++i) {
            if (*items[i].name == name) {
                return Children()->Item(static_cast<int>(i) + 1);
            }
        }
        return nullptr;
    }
    if (m_children) {
        for (const auto& child : *m_children) {
            if (child->Name() == name) {
                return child;
            }
        }
    }
    return nullptr;
}

namespace {

// Returns the 1-based position of the first of count members after afterIndex
// whose name, as nameAt(position) gives it, matches name.
template <class NameAt>
int FindName(int count, const NameAt& nameAt, std::string_view name, int afterIndex) {
    if (afterIndex < 0) {
        throw std::out_of_range("ChildIndex: position " + std::to_string(afterIndex + 1) +
                                " is outside the collection (subscript out of range)");
    }
    const bool alternatives = name.find('|') != std::string_view::npos;
    std::string pattern;
    if (alternatives) {
        pattern.reserve(name.size() + 2);
        pattern.append("|").append(name).append("|");
    }
    std::string candidate;
    for (int i = afterIndex + 1; i <= count; ++i) {
        const std::string& memberName = nameAt(i);
        if (alternatives) {
            candidate.assign("|").append(memberName).append("|");
            if (pattern.find(candidate) != std::string::npos) {
                return i;
            }
        } else if (memberName == name) {
            return i;
        }
    }
    return 0;
}

}  // namespace

int TSFileItem::ChildIndex(std::string_view name, int afterIndex) const {
    if (!m_children && m_loaded != nullptr) {
        const LoadedItem* items = m_loaded->Items();
        return FindName(
            static_cast<int>(m_loaded->count),
            [items](int i) -> const std::string& { return *items[i - 1].name; }, name, afterIndex);
    }
    static const TSItemCollection kNone;
    return FindChildIndex(m_children ? *m_children : kNone, name, afterIndex);
}

int FindChildIndex(const TSItemCollection& items, std::string_view name, int afterIndex) {
    return FindName(
        items.Count(), [&items](int i) -> const std::string& { return items.Item(i)->Name(); },
        name, afterIndex);
}

}  // namespace corvane
