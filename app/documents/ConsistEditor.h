#pragma once

// A consist being edited: its item tree, the vehicle list shown from it, the six
// editing commands, and saving. The consist window and vantor-cli both drive it;
// it has no widgets. The window shows Rows(), SelectedRow(), the fields and the
// caption after every command, and tells the editor which list has the focus.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "corvane/TSFile.h"
#include "documents/EditHistory.h"
#include "documents/StockList.h"

namespace vantor {

// One row of the vehicle list.
struct VehicleRow {
    std::string type;    // "Engine" or "Wagon", followed by "*" when flipped
    std::string folder;  // the stock folder
    std::string shape;   // the stock file's name without extension
    int tag = 0;         // the vehicle's 1-based position among TrainCfg's children

    friend bool operator==(const VehicleRow&, const VehicleRow&) = default;
};

// The editing commands, by the index of their button.
enum class MoveCommand {
    Add = 0,
    Remove = 1,
    RemoveAll = 2,
    Forwards = 3,
    Backwards = 4,
    Flip = 5
};

// The action buttons of a consist window, in the order of their control array.
enum class ActionCommand { Cancel = 0, Apply = 1, Ok = 2, ViewConsist = 3, ViewShape = 4 };

class ConsistEditor {
public:
    ConsistEditor();

    // Loads an existing consist file (a Windows-style path is resolved); Changed
    // becomes false. Throws std::runtime_error with a clear message when the file
    // is missing or is not a usable consist (no "Train", "TrainCfg", "MaxVelocity"
    // with two values, "Durability" with one, or a vehicle without its Data item
    // with a file name and a folder); the editor then keeps what it had.
    void Load(const std::string& fileName);
    // Starts a new consist from the template; Changed becomes true.
    void New();

    // Runs an editing command. stock is the selected stock row for Add (none when
    // no stock row is selected); the selected vehicle row is SelectedRow(). Returns
    // empty, or why the command was refused (no stock row for Add, no consist, a
    // "NextWagonUID" with no room left below 32,768; a counter that is not a whole
    // number is passed over like a taken UiD):
    // a refused command changes nothing, Changed included.
    std::string Move(MoveCommand command, const std::optional<StockRow>& stock = std::nullopt);
    // Adds a stock item and moves it to stand before the vehicle on a 1-based row
    // (at the end when row is beyond the rows): one command, undone at once.
    std::string AddAt(const StockRow& stock, int row);
    // Goes back to before the last command, or forward again after an undo, with
    // the selection of that moment; false when there is nothing to undo or redo.
    // Changed is true unless the tree is back where it was loaded or last saved.
    bool Undo();
    bool Redo();
    [[nodiscard]] bool CanUndo() const { return m_history.CanUndo(); }
    [[nodiscard]] bool CanRedo() const { return m_history.CanRedo(); }

    // True when the last command changed the tree; false when its condition failed
    // (no selection, a move at an end, a refused Add), so the window skips its last steps.
    [[nodiscard]] bool Acted() const { return m_acted; }

    [[nodiscard]] const std::vector<VehicleRow>& Rows() const { return m_rows; }
    // The selected vehicle row, 1-based; 0 when none is selected.
    [[nodiscard]] int SelectedRow() const { return m_selected; }
    // Selects a row; a number outside the rows selects none.
    void SelectRow(int row);
    // The caption "Consist - " + name, as loading sets it (empty for a new consist
    // until its first edit).
    [[nodiscard]] const std::string& Caption() const { return m_caption; }
    // The consist's name shown in the caption: TrainCfg's words, unquoted.
    [[nodiscard]] const std::string& Name() const { return m_name; }
    // The two maximum-velocity fields (index 0 and 1); throws std::out_of_range otherwise.
    [[nodiscard]] const std::string& MaxVelocity(int index) const;
    [[nodiscard]] const std::string& Durability() const { return m_durability; }
    [[nodiscard]] bool Changed() const { return m_changed; }
    // Sets Changed alone; Apply and OK keep their state.
    void SetChanged(bool changed);
    // True when Apply and OK are enabled.
    [[nodiscard]] bool CanApply() const { return m_canApply; }
    // True when the vehicle list had the focus last (false: the stock list).
    [[nodiscard]] bool ConsistListActive() const { return m_consistListActive; }
    void SetConsistListActive(bool active) { m_consistListActive = active; }

    // Writes the consist to fileName, naming it after the file; Changed becomes
    // false. The old file is replaced only when all was written; a failure throws
    // std::system_error and leaves Changed as it was. A name the consist cannot hold
    // (see NameProblem) throws std::runtime_error before anything is written. An
    // empty fileName does nothing.
    void Save(const std::string& fileName);

    // True when the loaded file ended inside an item: the editor holds only what
    // was read before that, and a save over the file writes only that.
    [[nodiscard]] bool Truncated() const;
    // True when a save over the truncated file was agreed to.
    [[nodiscard]] bool TruncationAccepted() const { return m_truncationAccepted; }
    void AcceptTruncation() { m_truncationAccepted = true; }
    // The file the consist was loaded from, as given; empty for a new consist.
    [[nodiscard]] const std::string& LoadedFrom() const { return m_loadedFrom; }

    [[nodiscard]] corvane::TSFile& File() { return *m_file; }
    [[nodiscard]] const corvane::TSFile& File() const { return *m_file; }

private:
    // Rebuilds the fields, the caption and the rows from the tree; selects no row.
    void Reload();
    [[nodiscard]] std::string Add(const std::optional<StockRow>& stock);
    void Remove(int selected);
    void MoveForwards(int selected);
    void MoveBackwards(int selected);
    void Flip(int selected);
    [[nodiscard]] EditState Current() const;
    void Restore(const EditState& state);

    std::unique_ptr<corvane::TSFile> m_file;
    std::vector<VehicleRow> m_rows;
    int m_selected = 0;
    std::string m_caption;
    std::string m_name;
    std::string m_maxVelocity[2];
    std::string m_durability;
    bool m_changed = false;
    bool m_canApply = false;
    bool m_consistListActive = false;
    bool m_truncationAccepted = false;
    bool m_acted = false;
    std::string m_loadedFrom;
    EditHistory m_history;
};

// Returns why a name cannot stand in a consist file, naming the character: the
// reader takes "(" and ")" as the bounds of items, so a consist, folder or file
// name holding one would not load back. Empty when the name can stand. what
// says what the name is ("The consist name", "The stock folder").
std::string NameProblem(std::string_view what, std::string_view name);

// Fills an empty file with the new-consist template when the extension is "con".
void NewFileTemplate(corvane::TSFile* file, const std::string& extension);
// Appends a new item of a name to a collection and returns it.
corvane::TSFileItemPtr NewItem(corvane::TSItemCollection& children, const std::string& name);
// The same, with parameters.
corvane::TSFileItemPtr NewItemWithParameters(corvane::TSItemCollection& children,
                                             const std::string& name,
                                             const std::vector<std::string>& values);

}  // namespace vantor
