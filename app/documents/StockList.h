#pragma once

// The installed stock list of a consist window: one row per engine or wagon file
// in the folders under "\Trains\Trainset", found by a folder scan, and its sorting.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The status texts shown while the stock list is built and afterwards.
inline constexpr const char* kStockLoadingStatus = "Loading installed stock list...";
inline constexpr const char* kStockDoneStatus = "Done";

// The headings of the stock list's three columns.
inline constexpr const char* kStockColumnHeadings[] = {"Type", "Folder", "Shape"};

// One row of the stock list.
struct StockRow {
    std::string type;    // "Engine" or "Wagon"
    std::string folder;  // the stock folder under "\Trains\Trainset"
    std::string shape;   // the file's name without its extension

    friend bool operator==(const StockRow&, const StockRow&) = default;
};

// Returns the stock rows of an installation: for each folder under
// "\Trains\Trainset" whose name passes the filter, one row per file matching
// "*.??g", in listing order. afterFolder runs after each folder, so that a window
// can let pending events run.
std::vector<StockRow> ScanStock(std::string_view installFolder, std::string_view filter,
                                const std::function<void()>& afterFolder = {});

// The same scan, giving each folder's rows to onFolder as soon as the folder is
// read (also a folder without rows), so that a window can show them while the
// scan goes on.
void ScanStockFolders(std::string_view installFolder, std::string_view filter,
                      const std::function<void(std::vector<StockRow>&& folderRows)>& onFolder);

// Returns the path of a row's engine or wagon file: installation folder,
// "\Trains\Trainset\", folder, "\", shape, "." and the first three characters of
// the row's type in lower case.
std::string StockFilePath(std::string_view installFolder, const StockRow& row);

// The sort state of the stock list, changed by clicks on its column headings.
class StockSort {
public:
    // Applies a click on a column (0 "Type", 1 "Folder", 2 "Shape"): the first click
    // sorts ascending, a click on another column sorts it ascending, a click on the
    // sort column reverses the order.
    void Click(int column);

    // Sorts rows by the text of the sort column, ignoring case, keeping the order of
    // equal texts; rows stay as they are until the first click.
    void Apply(std::vector<StockRow>& rows) const;

    [[nodiscard]] bool Sorted() const { return m_sorted; }
    [[nodiscard]] int Key() const { return m_key; }
    [[nodiscard]] bool Ascending() const { return m_ascending; }

private:
    bool m_sorted = false;
    int m_key = 0;
    bool m_ascending = true;
};

}  // namespace vantor
