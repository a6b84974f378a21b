#include "documents/StockList.h"

#include <algorithm>
#include <utility>

#include "common/ItemText.h"
#include "common/Text.h"
#include "platform/Names.h"
#include "platform/Paths.h"

namespace vantor {

namespace {

// Returns the type of a stock file: "Engine" when its name ends in "eng" in any
// case (Windows installations often have "GP38.ENG"), otherwise "Wagon".
const char* StockType(std::string_view fileName) {
    const std::size_t length = fileName.size();
    return length >= 3 && AsciiLower(std::string(fileName.substr(length - 3))) == "eng" ? "Engine"
                                                                                        : "Wagon";
}

const std::string& ColumnText(const StockRow& row, int column) {
    switch (column) {
        case 1:
            return row.folder;
        case 2:
            return row.shape;
        default:
            return row.type;
    }
}

}  // namespace

void ScanStockFolders(std::string_view installFolder, std::string_view filter,
                      const std::function<void(std::vector<StockRow>&& folderRows)>& onFolder) {
    const platform::ListingCache cache;
    const std::string trainset = std::string(installFolder) + "\\Trains\\Trainset\\";
    for (const std::string& folder :
         platform::ListNames(trainset + "*.", platform::EntryTypes::Both)) {
        if (!FilterMatch(folder, filter)) {
            continue;
        }
        std::vector<StockRow> rows;
        for (std::string& file :
             platform::ListNames(trainset + folder + "\\*.??g", platform::EntryTypes::Files)) {
            const char* type = StockType(file);
            file.resize(file.size() >= 4 ? file.size() - 4 : 0);
            rows.push_back({type, folder, std::move(file)});
        }
        onFolder(std::move(rows));
    }
}

std::vector<StockRow> ScanStock(std::string_view installFolder, std::string_view filter,
                                const std::function<void()>& afterFolder) {
    std::vector<StockRow> rows;
    ScanStockFolders(installFolder, filter, [&](std::vector<StockRow>&& folderRows) {
        rows.insert(rows.end(), std::make_move_iterator(folderRows.begin()),
                    std::make_move_iterator(folderRows.end()));
        if (afterFolder) {
            afterFolder();
        }
    });
    return rows;
}

std::string StockFilePath(std::string_view installFolder, const StockRow& row) {
    const std::string extension = StockExtension(row.type);
    return std::string(installFolder) + "\\Trains\\Trainset\\" + row.folder + "\\" + row.shape +
           "." + extension;
}

void StockSort::Click(int column) {
    if (m_sorted && m_key == column) {
        m_ascending = !m_ascending;
        return;
    }
    m_sorted = true;
    m_key = column;
    m_ascending = true;
}

void StockSort::Apply(std::vector<StockRow>& rows) const {
    if (!m_sorted) {
        return;
    }
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        keys.emplace_back(platform::UpperCase(ColumnText(rows[i], m_key)), i);
    }
    std::stable_sort(keys.begin(), keys.end(), [this](const auto& a, const auto& b) {
        return m_ascending ? a.first < b.first : b.first < a.first;
    });
    std::vector<StockRow> sorted;
    sorted.reserve(rows.size());
    for (const auto& key : keys) {
        sorted.push_back(std::move(rows[key.second]));
    }
    rows = std::move(sorted);
}

}  // namespace vantor
