#pragma once

// The undo and redo history of a consist being edited. Each entry is a copy of
// the item tree and the selected row as they stood before (undo) or after (redo)
// an editing command; the history also knows which entry matches the file on
// disk, so that undoing back to it clears Changed.

#include <optional>
#include <vector>

#include "corvane/TSFile.h"

namespace vantor {

// A consist's items and its selected vehicle row at one moment.
struct EditState {
    std::vector<corvane::TSFileItemPtr> items;
    int selected = 0;
};

// Returns a deep copy of a file's top-level items: changes to the copy never
// reach the file and the other way round.
std::vector<corvane::TSFileItemPtr> CopyItems(const corvane::TSFile& file);
// Replaces a file's top-level items by a deep copy of items.
void RestoreItems(corvane::TSFile& file, const std::vector<corvane::TSFileItemPtr>& items);

class EditHistory {
public:
    // Forgets every entry; onDisk tells whether the current state is the file's.
    void Clear(bool onDisk);
    // Records the state before a command; clears what could be redone.
    void Record(EditState before);
    // Marks the current state as the one on disk.
    void MarkSaved();

    [[nodiscard]] bool CanUndo() const { return !m_undo.empty(); }
    [[nodiscard]] bool CanRedo() const { return !m_redo.empty(); }
    // Returns the state to go back to, taking current as the state to redo; nothing
    // when there is nothing to undo.
    std::optional<EditState> Undo(EditState current);
    // Returns the state to go forward to, taking current as the state to undo.
    std::optional<EditState> Redo(EditState current);
    // True when the current state is the one on disk.
    [[nodiscard]] bool AtSaved() const { return m_savedDepth == static_cast<long>(m_undo.size()); }

private:
    std::vector<EditState> m_undo;
    std::vector<EditState> m_redo;
    // The number of undo entries at the saved state; -1 when that state is gone.
    long m_savedDepth = 0;
};

}  // namespace vantor
