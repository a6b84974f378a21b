#include "documents/ConsistList.h"

#include "common/Text.h"
#include "platform/Paths.h"

namespace vantor {

std::vector<std::string> ListConsists(std::string_view installFolder, std::string_view filter) {
    std::vector<std::string> names;
    const std::string pattern = std::string(installFolder) + "\\Trains\\Consists\\*.con";
    for (std::string& file : platform::ListNames(pattern, platform::EntryTypes::Files)) {
        file.resize(file.size() >= 4 ? file.size() - 4 : 0);
        if (FilterMatch(file, filter)) {
            names.push_back(std::move(file));
        }
    }
    return names;
}

std::string ConsistListCaption(int windowNumber, std::string_view filter) {
    std::string caption = "Consist List " + std::to_string(windowNumber);
    if (!filter.empty() && filter != "*") {
        caption += " (Filtered on " + std::string(filter) + ")";
    }
    return caption;
}

}  // namespace vantor
