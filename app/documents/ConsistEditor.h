#pragma once

// A consist being edited: its item tree, the vehicle list shown from it, the six
// editing commands, and saving. The consist window and vantor-cli both drive it;
// it has no widgets. The window shows Rows(), SelectedRow(), the fields and the
// caption after every command, and tells the editor which list has the focus.

#include <optional>
#include <string>
#include <vector>

#include "corvane/TSFile.h"
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
enum class MoveCommand { Add = 0, Remove = 1, RemoveAll = 2, Forwards = 3, Backwards = 4, Flip = 5 };

class ConsistEditor {
public:
    ConsistEditor();

    // Loads an existing consist file (a Windows-style path is resolved); Changed
    // becomes false. Throws std::runtime_error with a clear message when the file
    // is not a usable consist; the editor then keeps what it had.
    void Load(const std::string& fileName);
    // Starts a new consist from the template; Changed becomes true.
    void New();

    // Runs an editing command. stock is the selected stock row for Add (none when
    // no stock row is selected); the selected vehicle row is SelectedRow().
    void Move(MoveCommand command, const std::optional<StockRow>& stock = std::nullopt);

    [[nodiscard]] const std::vector<VehicleRow>& Rows() const { return m_rows; }
    // The selected vehicle row, 1-based; 0 when none is selected.
    [[nodiscard]] int SelectedRow() const { return m_selected; }
    void SelectRow(int row);
    // The caption "Consist - " + name, as loading sets it (empty for a new consist
    // until its first edit).
    [[nodiscard]] const std::string& Caption() const { return m_caption; }
    [[nodiscard]] const std::string& MaxVelocity(int index) const;
    [[nodiscard]] const std::string& Durability() const { return m_durability; }
    [[nodiscard]] bool Changed() const { return m_changed; }
    void SetChanged(bool changed);
    // True when Apply and OK are enabled.
    [[nodiscard]] bool CanApply() const { return m_canApply; }
    // True when the vehicle list had the focus last (false: the stock list).
    [[nodiscard]] bool ConsistListActive() const { return m_consistListActive; }
    void SetConsistListActive(bool active) { m_consistListActive = active; }

    // Writes the consist to fileName, naming it after the file; Changed becomes
    // false. The old file is replaced only when all was written.
    void Save(const std::string& fileName);

    [[nodiscard]] corvane::TSFile& File() { return *m_file; }
    [[nodiscard]] const corvane::TSFile& File() const { return *m_file; }

private:
    void Reload();

    std::unique_ptr<corvane::TSFile> m_file;
    std::vector<VehicleRow> m_rows;
    int m_selected = 0;
    std::string m_caption;
    std::string m_maxVelocity[2];
    std::string m_durability;
    bool m_changed = false;
    bool m_canApply = false;
    bool m_consistListActive = false;
};

// Fills an empty file with the new-consist template when the extension is "con".
void NewFileTemplate(corvane::TSFile* file, const std::string& extension);
// Appends a new item of a name to a collection and returns it.
corvane::TSFileItemPtr NewItem(corvane::TSItemCollection& children, const std::string& name);
// The same, with parameters.
corvane::TSFileItemPtr NewItemWithParameters(corvane::TSItemCollection& children,
                                             const std::string& name,
                                             const std::vector<std::string>& values);

}  // namespace vantor
