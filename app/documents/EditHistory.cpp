#include "documents/EditHistory.h"

#include <string_view>
#include <utility>

namespace vantor {

namespace {

corvane::TSFileItemPtr CopyItem(const corvane::TSFileItem& item) {
    auto copy = std::make_shared<corvane::TSFileItem>(item.Name());
    std::vector<std::string_view> values;
    values.reserve(static_cast<std::size_t>(item.NumParameters()));
    for (int k = 0; k < item.NumParameters(); ++k) {
        values.push_back(item.ParameterView(k));
    }
    if (!values.empty()) {
        copy->AssignParameters(values);
    }
    if (item.HasChildren()) {
        const corvane::TSItemCollection& children = *item.Children();
        for (int i = 1; i <= children.Count(); ++i) {
            copy->Children()->Add(CopyItem(*children.Item(i)));
        }
    }
    return copy;
}

}  // namespace

std::vector<corvane::TSFileItemPtr> CopyItems(const corvane::TSFile& file) {
    std::vector<corvane::TSFileItemPtr> items;
    const corvane::TSItemCollection& top = *file.Items();
    items.reserve(static_cast<std::size_t>(top.Count()));
    for (int i = 1; i <= top.Count(); ++i) {
        items.push_back(CopyItem(*top.Item(i)));
    }
    return items;
}

void RestoreItems(corvane::TSFile& file, const std::vector<corvane::TSFileItemPtr>& items) {
    corvane::TSItemCollection& top = *file.Items();
    top.Clear();
    for (const corvane::TSFileItemPtr& item : items) {
        top.Add(CopyItem(*item));
    }
}

void EditHistory::Clear(bool onDisk) {
    m_undo.clear();
    m_redo.clear();
    m_savedDepth = onDisk ? 0 : -1;
}

void EditHistory::Record(EditState before) {
    m_undo.push_back(std::move(before));
    m_redo.clear();
    // The saved state was ahead, in what could be redone: it cannot come back.
    if (m_savedDepth >= static_cast<long>(m_undo.size())) {
        m_savedDepth = -1;
    }
}

void EditHistory::MarkSaved() {
    m_savedDepth = static_cast<long>(m_undo.size());
}

std::optional<EditState> EditHistory::Undo(EditState current) {
    if (m_undo.empty()) {
        return std::nullopt;
    }
    EditState previous = std::move(m_undo.back());
    m_undo.pop_back();
    m_redo.push_back(std::move(current));
    return previous;
}

std::optional<EditState> EditHistory::Redo(EditState current) {
    if (m_redo.empty()) {
        return std::nullopt;
    }
    EditState next = std::move(m_redo.back());
    m_redo.pop_back();
    m_undo.push_back(std::move(current));
    return next;
}

}  // namespace vantor
