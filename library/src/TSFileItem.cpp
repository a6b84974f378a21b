#include "corvane/TSFileItem.h"

#include "Arena.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace corvane {

namespace {

// Block layout: uint32 count, uint32 end offset of each value, the values' text.
std::uint32_t ReadU32(const char* at) noexcept {
    std::uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void WriteU32(char* at, std::uint32_t value) noexcept {
    std::memcpy(at, &value, sizeof value);
}

// Returns the size of the block that holds values.
std::size_t PackedSize(const std::vector<std::string_view>& values) {
    std::size_t textSize = 0;
    for (const auto& v : values) {
        textSize += v.size();
    }
    if (values.size() > std::numeric_limits<std::uint32_t>::max() / 8 ||
        textSize > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("The parameters of one item are too large");
    }
    return 4 * (1 + values.size()) + textSize;
}

// Writes values into a block of PackedSize(values) bytes.
void Pack(const std::vector<std::string_view>& values, char* block) {
    WriteU32(block, static_cast<std::uint32_t>(values.size()));
    char* text = block + 4 * (1 + values.size());
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].empty()) {
            std::memcpy(text + end, values[i].data(), values[i].size());
        }
        end += static_cast<std::uint32_t>(values[i].size());
        WriteU32(block + 4 * (1 + i), end);
    }
}

std::string_view Unpack(const char* block, std::uint32_t index) noexcept {
    const std::uint32_t count = ReadU32(block);
    const char* text = block + 4 * (1 + static_cast<std::size_t>(count));
    const std::uint32_t begin =
        index == 0 ? 0 : ReadU32(block + 4 * static_cast<std::size_t>(index));
    const std::uint32_t end = ReadU32(block + 4 * (1 + static_cast<std::size_t>(index)));
    return {text + begin, end - begin};
}

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

TSFileItem::TSFileItem(Loaded loaded) noexcept : m_name(loaded.name) {}

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
        m_children = std::make_shared<TSItemCollection>();
    }
    return m_children;
}

void TSFileItem::SetChildren(TSItemCollectionPtr children) {
    if (!children) {
        throw std::invalid_argument("Children: the collection is null");
    }
    m_children = std::move(children);
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

void TSFileItem::AssignLoadedParameters(Arena& arena, const std::vector<std::string_view>& values) {
    if (values.empty()) {
        m_noParameters = true;
        return;
    }
    char* block = static_cast<char*>(arena.Allocate(PackedSize(values), alignof(std::uint32_t)));
    Pack(values, block);
    if (m_ownsParams) {
        delete[] m_params;
    }
    m_params = block;
    m_ownsParams = false;
    m_noParameters = false;
}

std::uint32_t TSFileItem::ArraySize() const noexcept {
    const char* block = Block();
    return block != nullptr ? ReadU32(block) : 0;
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
    if (m_children) {
        for (const auto& child : *m_children) {
            if (child->Name() == name) {
                return child;
            }
        }
    }
    return nullptr;
}

int TSFileItem::ChildIndex(std::string_view name, int afterIndex) const {
    static const TSItemCollection kNone;
    return FindChildIndex(m_children ? *m_children : kNone, name, afterIndex);
}

int FindChildIndex(const TSItemCollection& items, std::string_view name, int afterIndex) {
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
    for (int i = afterIndex + 1; i <= items.Count(); ++i) {
        const std::string& memberName = items.Item(i)->Name();
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

}  // namespace corvane
