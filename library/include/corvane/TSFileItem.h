#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "corvane/Export.h"
#include "corvane/TSItemCollection.h"

namespace corvane {

struct LoadedChildren;
struct LoadedItem;

// One parenthesised element of a simulator file: a name, a list of raw parameter
// strings (quote characters included) and an ordered collection of children.
//
// Strings are UTF-8. A new item has an empty name, no children and no
// parameters. Setting NumParameters to 0 only hides the parameters: the values
// stay readable through Parameter() and come back when the count is raised again.
class CORVANE_API TSFileItem {
public:
    TSFileItem() noexcept;
    explicit TSFileItem(std::string name);
    TSFileItem(const TSFileItem&) = delete;
    TSFileItem& operator=(const TSFileItem&) = delete;
    ~TSFileItem();

    // Returns the item's name exactly as it was set.
    [[nodiscard]] const std::string& Name() const noexcept { return *m_name; }
    // Sets the item's name.
    void SetName(std::string name);
    // Returns the collection of children, created on first use: empty for a new
    // item, the children read for a loaded one. Even through a const item, the
    // first call makes objects, so a tree is read from one thread at a time.
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
    [[nodiscard]] bool HasChildren() const noexcept;
    // Replaces every parameter at once; the count becomes values.size().
    void AssignParameters(const std::vector<std::string_view>& values);

private:
    friend class Reader;
    friend class Dismantler;
    friend class Writer;

    // An item of a loaded tree: its name, parameters and children lie in the
    // memory of the load that read it, which lives as long as the item.
    struct Loaded {
        const std::string* name;
        const LoadedItem* item = nullptr;  // null for a top-level item
    };

public:
    // Makes an item the reader has read; only the library can make a Loaded.
    explicit TSFileItem(Loaded loaded) noexcept;

private:
    // The parameter array packed into one block: the count, the end offset of
    // each value, then the values' text. The reader's blocks lie in the memory of
    // its load; blocks the item makes itself are its own.
    [[nodiscard]] const char* Block() const noexcept { return m_params; }
    void StoreParameters(const std::vector<std::string_view>& values);
    void AssignLoadedParameters(const char* block) noexcept;
    [[nodiscard]] std::uint32_t ArraySize() const noexcept;
    void CheckIndex(int index) const;
    // Turns the children still in the load's compact form into items.
    void MakeChildren() const;

    const std::string* m_name;  // the item's own string when m_ownsName
    mutable TSItemCollectionPtr m_children;
    const char* m_params = nullptr;
    // Children in the load's compact form, until m_children is made from them.
    mutable const LoadedChildren* m_loaded = nullptr;
    bool m_ownsName = false;
    bool m_ownsParams = false;
    bool m_noParameters = true;
};

// Searches a collection for the first member, in order, named exactly name
// (alternatives separated by "|") after the 1-based position afterIndex.
CORVANE_API int FindChildIndex(const TSItemCollection& items, std::string_view name,
                               int afterIndex);

}  // namespace corvane
