#pragma once

// A throw-away installation with stock and shapes for the 3D view's tests, and a
// window stand-in that records what the 3D logic shows.

#include <functional>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "corvane/TSFile.h"
#include "view3d/View3DController.h"

namespace view3d_test {

// Returns the lines of a simulator text file (8-bit, header line, CR LF).
// The type code names the kind of file ("JINX0D0t" a consist, "JINX0a0t" an activity).
inline std::string SimText(const std::vector<std::string>& lines,
                           const std::string& type = "JINX0D0t") {
    std::string text = "SIMISA@@@@@@@@@@" + type + "______\r\n\r\n";
    for (const std::string& line : lines) {
        text.append(line).append("\r\n");
    }
    return text;
}

// One vehicle of a consist: its type, stock folder and name, and whether it is flipped.
struct Car {
    std::string type;  // "Engine" or "Wagon"
    std::string folder;
    std::string name;
    bool flipped = false;
};

class Installation {
public:
    [[nodiscard]] std::string Folder() const { return m_folder.Path().string(); }
    // Writes a wagon (or engine) file with a shape and a length, and the shape file.
    void Stock(const std::string& folder, const std::string& name, const std::string& length,
               const std::string& shape, const std::string& extension = "wag") const {
        Write("Trains/Trainset/" + folder + "/" + name + "." + extension,
              SimText({"Wagon ( " + name, "\tWagonShape ( " + shape + " )",
                       "\tSize ( 3m 4m " + length + " )", ")"}));
        Write("Trains/Trainset/" + folder + "/" + shape, "shape");
    }
    // Writes a consist file of the cars and returns its path.
    [[nodiscard]] std::string Consist(const std::string& name, const std::vector<Car>& cars) const {
        std::vector<std::string> lines{"Train (",
                                       "\tTrainCfg ( \"" + name + "\"",
                                       "\t\tName ( \"" + name + "\" )",
                                       "\t\tMaxVelocity ( 22.35200 0.10000 )",
                                       "\t\tNextWagonUID ( 9 )",
                                       "\t\tDurability ( 1.00000 )"};
        int uid = 0;
        for (const Car& car : cars) {
            lines.push_back("\t\t" + car.type + " (");
            if (car.flipped) {
                lines.push_back("\t\t\tFlip ( )");
            }
            lines.push_back("\t\t\tUiD ( " + std::to_string(uid++) + " )");
            lines.push_back("\t\t\t" + car.type + "Data ( " + car.name + " " + car.folder + " )");
            lines.push_back("\t\t)");
        }
        lines.insert(lines.end(), {"\t)", ")"});
        return Write("Trains/Consists/" + name + ".con", SimText(lines));
    }
    std::string Write(const std::string& relative, const std::string& bytes) const {
        return testing_support::MakeFile(m_folder.Path() / relative, bytes);
    }

private:
    testing_support::TempFolder m_folder;
};

// The window as the 3D logic sees it.
class FakeWindow : public vantor::view3d::View3DHost {
public:
    void ShowStatus(const std::string& text) override { status.push_back(text); }
    void SetCaption(const std::string& text) override { caption = text; }
    void ScrollBarsChanged() override { ++barChanges; }
    void LetEventsRun() override {
        ++events;
        if (onEvents) {
            onEvents();
        }
    }

    std::vector<std::string> status;
    std::string caption;
    int barChanges = 0;
    int events = 0;
    std::function<void()> onEvents;
};

// Writes an activity with one loose consist (a wagon Box20 of folder Box) and
// returns its path.
inline std::string Activity(const Installation& install, const std::string& consistName) {
    return install.Write("Routes/R/Activities/A.act",
                         SimText({"tr_activity (", "\tTr_Activity_File (", "\t\tActivityObjects (",
                                  "\t\t\tActivityObject (", "\t\t\t\tTrain_Config (",
                                  "\t\t\t\t\tTrainCfg ( " + consistName,
                                  "\t\t\t\t\t\tWagon ( UiD ( 1 ) WagonData ( Box20 Box ) )",
                                  "\t\t\t\t\t)", "\t\t\t\t)", "\t\t\t)", "\t\t)", "\t)", ")"},
                                 "JINX0a0t"));
}

// Returns the first loose consist of a loaded activity, null when it has none.
inline corvane::TSFileItemPtr LooseConsist(const corvane::TSFile& activity) {
    const auto top = activity.Child("tr_activity");
    const auto file = top ? top->Child("Tr_Activity_File") : nullptr;
    const auto objects = file ? file->Child("ActivityObjects") : nullptr;
    if (!objects || objects->Children()->Count() < 1) {
        return nullptr;
    }
    const auto config = objects->Children()->Item(1)->Child("Train_Config");
    return config && config->Children()->Count() > 0 ? config->Children()->Item(1) : nullptr;
}

}  // namespace view3d_test
