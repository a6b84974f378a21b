#include "common/ItemText.h"

#include "common/Text.h"

namespace vantor {

std::string ItemFileName(const corvane::TSFileItemPtr& item) {
    if (!item || item->NumParameters() == 0) {
        return {};
    }
    std::string text = item->Parameter(0);
    const int last = item->NumParameters() - 1;
    if (last > 0 && StartsWithQuote(text) && !EndsWithQuote(text)) {
        for (int k = 1; k <= last; ++k) {
            text += " " + item->Parameter(k);
            if (EndsWithQuote(text)) {
                break;
            }
        }
    }
    return CleanPath(text);
}

std::string QuotedParameter(const corvane::TSFileItem& item, int index) {
    std::string value = item.Parameter(index);
    if (!StartsWithQuote(value)) {
        return value;
    }
    value.erase(0, 1);
    if (EndsWithQuote(value)) {
        value.pop_back();
        return value;
    }
    for (int k = index + 1; k < item.NumParameters(); ++k) {
        const std::string next = item.Parameter(k);
        if (EndsWithQuote(next)) {
            return value + " " + next.substr(0, next.size() - 1);
        }
        value += " " + next;
    }
    return value;
}

std::string StockExtension(std::string_view vehicleType) {
    return AsciiLower(std::string(vehicleType.substr(0, 3)));
}

}  // namespace vantor
