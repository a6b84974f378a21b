#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "corvane/Export.h"
#include "corvane/TSItemCollection.h"

namespace corvane {

// One parenthesised element of a simulator file: a name, a list of raw parameter
// strings (quote characters included) and an ordered collection of children.
//
// Strings are UTF-8. A new item has an empty name, no children and no
// parameters. Setting NumParameters to 0 only hides the parameters: the values
// stay readable through Parameter() and come back when the count is raised again.
class CORVANE_API TSFileItem {
public:
    TSFileItem() = default;
    explicit TSFileItem(std::string name) : m_name(std::move(name)) {}
    TSFileItem(const TSFileItem&) = delete;
    TSFileItem& operator=(const TSFileItem&) = delete;
    ~TSFileItem();

    // Returns the item's name exactly as it was set.
    [[nodiscard]] const std::string& Name() const noexcept { return m_name; }
    // Sets the item's name.
    void SetName(std::string name) { m_name = std::move(name); }
    // Returns the collection of children, created empty on first use.
    [[nodiscard]] const TSItemCollectionPtr& Children() const;
    // Replaces the collection of children by another one, shared by reference.
    void SetChildren(TSItemCollectionPtr children);
    // Returns the number of parameters: 0 while parameters are hidden.
    [[nodiscard]] int NumParameters() const noexcept;
    // Sets the number of parameters, keeping the values of the indices that remain.
    void SetNumParameters(int count);
    // Returns the parameter at a 0-based index of the parameter array.
    [[nodiscard]] std::string Parameter(int index) const;
    // Stores a parameter at a 0-based index within the array's current size.
    void SetParameter(int index, std::string_view value);
    // Returns the first child whose name equals name exactly, or null.
    [[nodiscard]] TSFileItemPtr Child(std::string_view name) const;
    // Returns the 1-based position of the first child after afterIndex whose name
    // matches, or 0. A name with "|" lists alternatives ("Engine|Wagon").
    [[nodiscard]] int ChildIndex(std::string_view name, int afterIndex = 0) const;

    // Returns the parameter at a 0-based index without copying it; the view is
    // valid until the parameters change.
    [[nodiscard]] std::string_view ParameterView(int index) const;
    // Returns true when the item has at least one child, without creating the collection.
    [[nodiscard]] bool HasChildren() const noexcept { return m_children && !m_children->empty(); }
    // Replaces every parameter at once; the count becomes values.size().
    void AssignParameters(const std::vector<std::string_view>& values);

private:
    friend class Reader;
    friend class Dismantler;

    // The parameter array packed into one block: the count, the end offset of
    // each value, then the values' text. A small block, the common case, lives
    // inside the item.
    static constexpr std::size_t kInlineParameters = 24;
    [[nodiscard]] const char* Block() const noexcept;
    void StoreParameters(const std::vector<std::string_view>& values);
    [[nodiscard]] std::uint32_t ArraySize() const noexcept;
    void CheckIndex(int index) const;

    std::string m_name;
    mutable TSItemCollectionPtr m_children;
    std::unique_ptr<char[]> m_params;  // the block when it does not fit inside
    alignas(std::uint32_t) char m_inlineParams[kInlineParameters] = {};
    bool m_inline = false;  // the block is m_inlineParams
    bool m_noParameters = true;
};

// Searches a collection for the first member, in order, named exactly name
// (alternatives separated by "|") after the 1-based position afterIndex.
CORVANE_API int FindChildIndex(const TSItemCollection& items, std::string_view name,
                               int afterIndex);

}  // namespace corvane
