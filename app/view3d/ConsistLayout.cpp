#include "view3d/ConsistLayout.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "common/ItemText.h"
#include "common/Text.h"
#include "corvane/TSFile.h"
#include "platform/Paths.h"

namespace vantor::view3d {

namespace {

using corvane::TSFileItem;
using corvane::TSFileItemPtr;

struct StockFacts {
    std::string shapeName;
    float length = 0;
};

StockFacts ReadStock(const std::string& stockFile) {
    if (!platform::FileExists(stockFile)) {
        throw std::runtime_error(stockFile + " does not exist");
    }
    corvane::TSFile stock(platform::HostPath(stockFile));
    stock.Load();
    if (stock.Form() != corvane::FileForm::Text) {
        throw std::runtime_error(stockFile + " cannot be read: it is not a text file");
    }
    const TSFileItemPtr wagon = stock.Child("Wagon");
    if (!wagon) {
        throw std::runtime_error(stockFile + " has no Wagon item");
    }
    const TSFileItemPtr shape = wagon->Child("WagonShape");
    if (!shape || shape->NumParameters() < 1) {
        throw std::runtime_error(stockFile + " has no WagonShape item");
    }
    const TSFileItemPtr size = wagon->Child("Size");
    if (!size || size->NumParameters() < 3) {
        throw std::runtime_error(stockFile + " has no Size item");
    }
    return {StripQuotes(shape->Parameter(0)), LeadingNumber(size->Parameter(2))};
}

}  // namespace

float LeadingNumber(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) {
        ++start;
    }
    std::size_t end = start;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
        ++end;
    }
    bool digits = false;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
        ++end;
        digits = true;
    }
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
            ++end;
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    // An exponent counts only when digits follow it ("2e3" is 2000, "2em" is 2).
    if (end + 1 < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (text[exponent] == '+' || text[exponent] == '-') {
            ++exponent;
        }
        if (exponent < text.size() &&
            std::isdigit(static_cast<unsigned char>(text[exponent])) != 0) {
            end = exponent;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
                ++end;
            }
        }
    }
    return std::strtof(text.substr(start, end - start).c_str(), nullptr);
}

std::string ConfigurationName(const corvane::TSFileItem& cfg) {
    std::string words;
    for (int i = 0; i < cfg.NumParameters(); ++i) {
        words += cfg.Parameter(i) + " ";
    }
    return StripQuotes(TrimBlanks(words));
}

ConsistLayout LayOutConsist(const corvane::TSFileItem& cfg, const std::string& installFolder) {
    ConsistLayout layout;
    float z = 0;
    const auto& children = *cfg.Children();
    for (int position = cfg.ChildIndex("Engine|Wagon", 0); position != 0;
         position = cfg.ChildIndex("Engine|Wagon", position)) {
        const TSFileItem& vehicle = *children.Item(position);
        try {
            const TSFileItemPtr data = vehicle.Child(vehicle.Name() + "Data");
            if (!data || data->NumParameters() < 2) {
                throw std::runtime_error("Vehicle " + std::to_string(layout.vehicles.size() + 1) +
                                         " of the consist names no stock (" + vehicle.Name() +
                                         "Data)");
            }
            VehiclePlace place;
            place.reversed = vehicle.ChildIndex("Flip", 0) != 0;
            const std::string folder =
                data->NumParameters() == 3
                    ? StripQuotes(data->Parameter(1) + " " + data->Parameter(2))
                    : data->Parameter(1);
            const std::string trainset = installFolder + "\\Trains\\Trainset\\" + folder + "\\";
            const StockFacts stock = ReadStock(trainset + StripQuotes(data->Parameter(0)) + "." +
                                               StockExtension(vehicle.Name()));
            place.stockName = data->Parameter(0);
            place.shapeFile = trainset + stock.shapeName;
            place.length = stock.length;
            z -= place.length / 2;
            place.centreZ = z;
            z -= place.length / 2;
            layout.vehicles.push_back(std::move(place));
        } catch (const std::exception& e) {
            layout.error = e.what();
            break;
        }
    }
    layout.endZ = z;
    return layout;
}

}  // namespace vantor::view3d
