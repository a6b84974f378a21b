#include "documents/ConsistEditor.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>

#include "common/Text.h"
#include "platform/Paths.h"

namespace vantor {

namespace {

using corvane::TSFileItem;
using corvane::TSFileItemPtr;
using corvane::TSItemCollection;

constexpr const char* kVehicleNames = "Engine|Wagon";
constexpr int kLargestUid = 32767;

// Returns the first child of the first top-level item (TrainCfg), or null.
TSFileItemPtr FirstConfiguration(const corvane::TSFile& file) {
    const auto& items = *file.Items();
    if (items.Count() == 0) {
        return nullptr;
    }
    const auto& children = *items.Item(1)->Children();
    return children.Count() == 0 ? nullptr : children.Item(1);
}

// Returns parameter index of an item, empty when it has none there.
std::string ParameterOr(const TSFileItemPtr& item, int index) {
    return item && index < item->NumParameters() ? item->Parameter(index) : std::string();
}

// Returns text as a whole decimal number, or nothing when it is not one.
std::optional<long long> WholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Returns text as a decimal number, whatever the locale, or nothing when it is not one.
std::optional<double> DecimalNumber(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Returns the vehicle's UiD as a number, or nothing.
std::optional<long long> VehicleUid(const TSFileItem& vehicle) {
    const TSFileItemPtr uid = vehicle.Child("UiD");
    if (!uid || uid->NumParameters() < 1) {
        return std::nullopt;
    }
    return WholeNumber(uid->ParameterView(0));
}

// Returns the UiDs that the vehicles of a configuration hold.
std::vector<long long> HeldUids(const TSItemCollection& children) {
    std::vector<long long> held;
    for (int position = FindChildIndex(children, kVehicleNames, 0); position != 0;
         position = FindChildIndex(children, kVehicleNames, position)) {
        if (const auto uid = VehicleUid(*children.Item(position))) {
            held.push_back(*uid);
        }
    }
    return held;
}

// Throws the loading error for a file that is not a usable consist.
[[noreturn]] void NotAConsist(const std::string& fileName, const std::string& why) {
    throw std::runtime_error(fileName + " is not a usable consist: " + why + ".");
}

// Checks that a loaded file has the structure that the editor works on.
void CheckConsist(const corvane::TSFile& file, const std::string& fileName) {
    const TSFileItemPtr train = file.Child("Train");
    if (!train || file.Items()->Item(1) != train) {
        NotAConsist(fileName, "it has no \"Train\" item");
    }
    const TSFileItemPtr cfg = train->Child("TrainCfg");
    if (!cfg || FirstConfiguration(file) != cfg) {
        NotAConsist(fileName, "its \"Train\" item does not begin with a \"TrainCfg\" item");
    }
    const TSFileItemPtr maxVelocity = cfg->Child("MaxVelocity");
    if (!maxVelocity || maxVelocity->NumParameters() < 2) {
        NotAConsist(fileName, "it has no \"MaxVelocity\" item with two values");
    }
    const TSFileItemPtr durability = cfg->Child("Durability");
    if (!durability || durability->NumParameters() < 1) {
        NotAConsist(fileName, "it has no \"Durability\" item with a value");
    }
    const TSItemCollection& children = *cfg->Children();
    int row = 0;
    for (int position = cfg->ChildIndex(kVehicleNames, 0); position != 0;
         position = cfg->ChildIndex(kVehicleNames, position)) {
        ++row;
        const TSFileItem& vehicle = *children.Item(position);
        const std::string dataName = vehicle.Name() + "Data";
        const TSFileItemPtr data = vehicle.Child(dataName);
        if (!data || data->NumParameters() < 2) {
            NotAConsist(fileName, "vehicle " + std::to_string(row) + " (" + vehicle.Name() +
                                      ") has no \"" + dataName +
                                      "\" item with a file name and a folder");
        }
    }
}

// Returns the base name of a path: after its last "\" or "/", before its last ".".
std::string BaseName(const std::string& fileName) {
    std::string base(fileName);
    std::replace(base.begin(), base.end(), '/', '\\');
    base = FileNamePart(base);
    if (const std::size_t dot = base.rfind('.'); dot != std::string::npos) {
        base.resize(dot);
    }
    return base;
}

}  // namespace

ConsistEditor::ConsistEditor() : m_file(std::make_unique<corvane::TSFile>()) {}

void ConsistEditor::Load(const std::string& fileName) {
    const auto path = platform::ResolvePath(fileName);
    if (!path || platform::FolderExists(fileName)) {
        throw std::runtime_error("Cannot open the consist " + fileName +
                                 ": the file does not exist.");
    }
    auto file = std::make_unique<corvane::TSFile>(*path);
    file->Load();
    CheckConsist(*file, fileName);
    m_file = std::move(file);
    m_loadedFrom = fileName;
    m_truncationAccepted = false;
    m_changed = false;
    m_canApply = false;
    m_history.Clear(true);
    Reload();
}

void ConsistEditor::New() {
    m_file = std::make_unique<corvane::TSFile>();
    NewFileTemplate(m_file.get(), "con");
    m_rows.clear();
    m_selected = 0;
    m_caption.clear();
    m_name.clear();
    m_maxVelocity[0].clear();
    m_maxVelocity[1].clear();
    m_durability.clear();
    m_loadedFrom.clear();
    m_changed = true;
    m_canApply = true;
    m_history.Clear(false);
}

void ConsistEditor::Reload() {
    m_rows.clear();
    m_selected = 0;
    const TSFileItemPtr train = m_file->Child("Train");
    const TSFileItemPtr named = train ? train->Child("TrainCfg") : nullptr;
    m_maxVelocity[0] = ParameterOr(named ? named->Child("MaxVelocity") : nullptr, 0);
    m_maxVelocity[1] = ParameterOr(named ? named->Child("MaxVelocity") : nullptr, 1);
    m_durability = ParameterOr(named ? named->Child("Durability") : nullptr, 0);
    std::string words;
    for (int k = 0; named && k < named->NumParameters(); ++k) {
        words += named->Parameter(k) + " ";
    }
    m_name = StripQuotes(TrimBlanks(words));
    m_caption = "Consist - " + m_name;

    const TSFileItemPtr cfg = FirstConfiguration(*m_file);
    if (!cfg) {
        return;
    }
    const TSItemCollection& children = *cfg->Children();
    for (int position = cfg->ChildIndex(kVehicleNames, 0); position != 0;
         position = cfg->ChildIndex(kVehicleNames, position)) {
        const TSFileItem& vehicle = *children.Item(position);
        const TSFileItemPtr data = vehicle.Child(vehicle.Name() + "Data");
        VehicleRow row;
        row.type = vehicle.Name();
        if (data && data->NumParameters() == 3) {
            row.folder = StripQuotes(data->Parameter(1) + " " + data->Parameter(2));
        } else {
            row.folder = ParameterOr(data, 1);
        }
        row.shape = ParameterOr(data, 0);
        row.tag = position;
        if (vehicle.ChildIndex("Flip", 0) >= 1) {
            row.type += "*";
        }
        m_rows.push_back(std::move(row));
    }
}

std::string ConsistEditor::Move(MoveCommand command, const std::optional<StockRow>& stock) {
    m_acted = false;
    if (!FirstConfiguration(*m_file)) {
        return "There is no consist to edit.";
    }
    EditState before = Current();
    if (command == MoveCommand::Add) {
        std::string refused = Add(stock);
        if (m_acted) {
            m_history.Record(std::move(before));
        }
        return refused;
    }
    const int selected = m_selected;
    m_changed = true;
    m_canApply = true;
    const int count = static_cast<int>(m_rows.size());
    switch (command) {
        case MoveCommand::Remove:
            if (selected != 0) {
                Remove(selected);
                m_acted = true;
            }
            break;
        case MoveCommand::RemoveAll:
            while (!m_rows.empty()) {
                m_selected = static_cast<int>(m_rows.size());
                Remove(m_selected);
                m_acted = true;
            }
            break;
        case MoveCommand::Forwards:
            if (selected >= 2) {
                MoveForwards(selected);
                m_acted = true;
            }
            break;
        case MoveCommand::Backwards:
            if (selected >= 1 && selected < count) {
                MoveBackwards(selected);
                m_acted = true;
            }
            break;
        case MoveCommand::Flip:
            if (selected != 0) {
                Flip(selected);
                m_acted = true;
            }
            break;
        case MoveCommand::Add:
            break;
    }
    if (m_acted) {
        m_consistListActive = true;
        m_history.Record(std::move(before));
    }
    return {};
}

std::string ConsistEditor::AddAt(const StockRow& stock, int row) {
    m_acted = false;
    if (!FirstConfiguration(*m_file)) {
        return "There is no consist to edit.";
    }
    EditState before = Current();
    std::string refused = Add(stock);
    if (!m_acted) {
        return refused;
    }
    const int count = static_cast<int>(m_rows.size());
    if (row >= 1 && row < count) {
        TSItemCollection& children = *FirstConfiguration(*m_file)->Children();
        const int from = m_rows.back().tag;
        const int target = m_rows.at(static_cast<std::size_t>(row - 1)).tag;
        TSFileItemPtr vehicle = children.Item(from);
        children.Remove(from);
        children.AddBefore(std::move(vehicle), target);
        Reload();
        m_selected = row;
    }
    m_history.Record(std::move(before));
    return {};
}

EditState ConsistEditor::Current() const {
    return {CopyItems(*m_file), m_selected};
}

void ConsistEditor::Restore(const EditState& state) {
    RestoreItems(*m_file, state.items);
    Reload();
    SelectRow(state.selected);
    m_changed = !m_history.AtSaved();
    m_canApply = m_changed;
    m_consistListActive = true;
}

bool ConsistEditor::Undo() {
    auto state = m_history.Undo(Current());
    if (state) {
        Restore(*state);
    }
    return state.has_value();
}

bool ConsistEditor::Redo() {
    auto state = m_history.Redo(Current());
    if (state) {
        Restore(*state);
    }
    return state.has_value();
}

std::string ConsistEditor::Add(const std::optional<StockRow>& stock) {
    if (!stock) {
        return "No stock item is selected to add to the consist.";
    }
    if (stock->type != "Engine" && stock->type != "Wagon") {
        return "Only an engine or a wagon can be added to the consist, not \"" + stock->type +
               "\".";
    }
    for (const auto& [what, name] :
         {std::pair<const char*, const std::string&>{"The stock folder", stock->folder},
          {"The stock file", stock->shape}}) {
        if (std::string problem = NameProblem(what, name); !problem.empty()) {
            return problem + "; nothing was added.";
        }
    }
    TSItemCollection& children = *FirstConfiguration(*m_file)->Children();
    const int counterPosition = FindChildIndex(children, "NextWagonUID", 0);
    const TSFileItemPtr counter = counterPosition == 0 ? nullptr : children.Item(counterPosition);
    const std::vector<long long> held = HeldUids(children);
    const long long afterHighest =
        held.empty() ? 0 : *std::max_element(held.begin(), held.end()) + 1;
    long long number = 0;
    if (counter) {
        const std::string text = ParameterOr(counter, 0);
        const auto value = WholeNumber(text);
        if (!value) {
            // A counter such as "7.0" is passed over as a taken number would be.
            number = afterHighest;
        } else if (*value < std::numeric_limits<std::int16_t>::min() || *value > kLargestUid) {
            return "\"NextWagonUID\" holds \"" + text +
                   "\", which is not a whole number from -32768 to 32767; nothing was added.";
        } else {
            number = *value;
        }
    }
    if (std::find(held.begin(), held.end(), number) != held.end()) {
        number = afterHighest;
    }
    if (number >= kLargestUid && counter) {
        return "\"NextWagonUID\" would pass 32767; nothing was added.";
    }
    if (number > kLargestUid) {
        return "The consist has no UiD left below 32768 for a new vehicle; nothing was added.";
    }
    m_changed = true;
    m_canApply = true;
    if (counter) {
        counter->SetParameter(0, std::to_string(number + 1));
    }
    auto vehicle = std::make_shared<TSFileItem>(stock->type);
    NewItemWithParameters(*vehicle->Children(), "UiD", {std::to_string(number)});
    NewItemWithParameters(*vehicle->Children(), stock->type + "Data",
                          {stock->shape, stock->folder});
    children.Add(std::move(vehicle));
    Reload();
    m_selected = static_cast<int>(m_rows.size());
    m_consistListActive = true;
    m_acted = true;
    return {};
}

void ConsistEditor::Remove(int selected) {
    TSItemCollection& children = *FirstConfiguration(*m_file)->Children();
    const int position = m_rows.at(static_cast<std::size_t>(selected - 1)).tag;
    const auto removedUid = VehicleUid(*children.Item(position));
    children.Remove(position);
    const int counterPosition = FindChildIndex(children, "NextWagonUID", 0);
    if (counterPosition != 0 && removedUid) {
        const TSFileItemPtr& counter = children.Item(counterPosition);
        const auto value = DecimalNumber(ParameterOr(counter, 0));
        if (value && *value - 1 == static_cast<double>(*removedUid)) {
            counter->SetParameter(0, std::to_string(*removedUid));
        }
    }
    Reload();
    int next = selected > 1 ? selected - 1 : selected;
    m_selected = next <= static_cast<int>(m_rows.size()) ? next : 0;
}

void ConsistEditor::MoveForwards(int selected) {
    TSItemCollection& children = *FirstConfiguration(*m_file)->Children();
    const int from = m_rows.at(static_cast<std::size_t>(selected - 1)).tag;
    const int before = m_rows.at(static_cast<std::size_t>(selected - 2)).tag;
    TSFileItemPtr vehicle = children.Item(from);
    children.Remove(from);
    children.AddBefore(std::move(vehicle), before);
    Reload();
    m_selected = selected - 1;
}

void ConsistEditor::MoveBackwards(int selected) {
    TSItemCollection& children = *FirstConfiguration(*m_file)->Children();
    const int from = m_rows.at(static_cast<std::size_t>(selected - 1)).tag;
    const int after = m_rows.at(static_cast<std::size_t>(selected)).tag;
    TSFileItemPtr vehicle = children.Item(from);
    children.Remove(from);
    children.AddAfter(std::move(vehicle), after - 1);
    Reload();
    m_selected = selected + 1;
}

void ConsistEditor::Flip(int selected) {
    const TSItemCollection& children = *FirstConfiguration(*m_file)->Children();
    const TSFileItemPtr& vehicle =
        children.Item(m_rows.at(static_cast<std::size_t>(selected - 1)).tag);
    TSItemCollection& parts = *vehicle->Children();
    const int flip = vehicle->ChildIndex("Flip", 0);
    if (flip < 1) {
        auto item = std::make_shared<TSFileItem>("Flip");
        item->SetNumParameters(1);
        item->SetParameter(0, "");
        if (parts.Count() == 0) {
            parts.Add(std::move(item));
        } else {
            parts.AddBefore(std::move(item), 1);
        }
    } else {
        parts.Remove(flip);
    }
    Reload();
}

void ConsistEditor::SelectRow(int row) {
    m_selected = row >= 1 && row <= static_cast<int>(m_rows.size()) ? row : 0;
}

const std::string& ConsistEditor::MaxVelocity(int index) const {
    if (index < 0 || index > 1) {
        throw std::out_of_range("MaxVelocity has the fields 0 and 1");
    }
    return m_maxVelocity[index];
}

void ConsistEditor::SetChanged(bool changed) {
    m_changed = changed;
}

void ConsistEditor::Save(const std::string& fileName) {
    if (fileName.empty()) {
        return;
    }
    const TSFileItemPtr cfg = FirstConfiguration(*m_file);
    if (!cfg) {
        throw std::runtime_error("There is no consist to save to " + fileName + ".");
    }
    const std::string base = BaseName(fileName);
    if (const std::string problem = NameProblem("The consist name", base); !problem.empty()) {
        throw std::runtime_error(problem + "; " + fileName + " was not written.");
    }
    m_file->SetFileName(platform::HostPath(fileName));
    TSItemCollection& children = *cfg->Children();
    // The name goes into the "Name" item; another first item keeps its values. The
    // simulator reads item names in any case, so "name" is that item already.
    if (AsciiLower(children.Item(1)->Name()) != "name") {
        children.AddBefore(std::make_shared<TSFileItem>("Name"), 1);
    }
    const std::string value = base.find(' ') == std::string::npos ? base : "\"" + base + "\"";
    cfg->SetNumParameters(1);
    cfg->SetParameter(0, value);
    children.Item(1)->SetNumParameters(1);
    children.Item(1)->SetParameter(0, value);
    m_file->Save();
    m_changed = false;
    m_canApply = false;
    m_history.MarkSaved();
}

bool ConsistEditor::Truncated() const {
    return m_file && m_file->Truncated();
}

std::string NameProblem(std::string_view what, std::string_view name) {
    const std::size_t at = name.find_first_of("()");
    if (at == std::string_view::npos) {
        return {};
    }
    return std::string(what) + " \"" + std::string(name) + "\" holds \"" + name[at] +
           "\", which a consist file cannot hold: the simulator reads it as the bound of an item";
}

void NewFileTemplate(corvane::TSFile* file, const std::string& extension) {
    if (file == nullptr || AsciiLower(extension) != "con") {
        return;
    }
    const TSFileItemPtr train = NewItem(*file->Items(), "Train");
    const TSFileItemPtr cfg = NewItem(*train->Children(), "TrainCfg");
    TSItemCollection& children = *cfg->Children();
    NewItemWithParameters(children, "Name", {"Unknown"});
    NewItemWithParameters(children, "MaxVelocity", {"40.00000", "1.00000"});
    NewItemWithParameters(children, "NextWagonUID", {"1"});
    NewItemWithParameters(children, "Durability", {"1.0"});
}

TSFileItemPtr NewItem(TSItemCollection& children, const std::string& name) {
    auto item = std::make_shared<TSFileItem>(name);
    children.Add(item);
    return item;
}

TSFileItemPtr NewItemWithParameters(TSItemCollection& children, const std::string& name,
                                    const std::vector<std::string>& values) {
    TSFileItemPtr item = NewItem(children, name);
    item->SetNumParameters(static_cast<int>(values.size()));
    for (std::size_t k = 0; k < values.size(); ++k) {
        item->SetParameter(static_cast<int>(k), values[k]);
    }
    return item;
}

}  // namespace vantor
