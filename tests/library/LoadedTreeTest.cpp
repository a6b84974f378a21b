#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using corvane::TSFile;
using corvane::TSFileItem;
using corvane::TSFileItemPtr;
using testing_support::Describe;
using testing_support::TempFolder;

constexpr const char* kConsist =
    "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n\tTrainCfg ( Pair\r\n"
    "\t\tName ( Pair )\r\n\t\tWagon (\r\n\t\t\tUiD ( 1 )\r\n\t\t\tWagonData ( Box V2 )\r\n"
    "\t\t)\r\n\t\tEngine (\r\n\t\t\tUiD ( 2 )\r\n\t\t\tEngineData ( Loco V2 )\r\n\t\t)\r\n"
    "\t)\r\n)";

class LoadedTree : public testing::Test {
protected:
    void SetUp() override { testing_support::WriteBytes(m_folder.File("a.con"), kConsist); }

    [[nodiscard]] std::unique_ptr<TSFile> Load() const {
        auto file = std::make_unique<TSFile>(m_folder.File("a.con"));
        file->Load();
        return file;
    }

    static TSFileItemPtr Cfg(const TSFile& file) {
        return file.Items()->Item(1)->Child("TrainCfg");
    }

    TempFolder m_folder;
};

// Items handed out of a loaded tree hold the memory of the load: they and the
// children they have not yet shown stay readable after the file is gone.
TEST_F(LoadedTree, ItemsOutliveTheirFileWithTheChildrenTheyHaveNotShownYet) {
    auto file = Load();
    TSFileItemPtr cfg = Cfg(*file);
    EXPECT_EQ(cfg->ChildIndex("Engine|Wagon", 2), 3) << "found before the collection is made";
    const TSFileItemPtr engine = cfg->Child("Engine");
    EXPECT_EQ(cfg->Children()->Item(3), engine) << "Child hands out the collection's own member";
    const corvane::TSItemCollectionPtr wagonParts = cfg->Child("Wagon")->Children();
    cfg.reset();
    file.reset();
    EXPECT_EQ(Describe(*engine), "Engine{UiD<2>;EngineData<Loco|V2>}");
    EXPECT_EQ(Describe(*wagonParts), (std::vector<std::string>{"UiD<1>", "WagonData<Box|V2>"}));
}

// Each edit is made to a freshly loaded tree, which is then saved and read back.
TEST_F(LoadedTree, EditsOfALoadedTreeAreSavedWhateverFormItsPartsAreIn) {
    struct Row {
        const char* bug;
        std::function<void(TSFile&)> edit;
        const char* expected;
    };
    const Row rows[] = {
        {"an item made by the application and put deep into the tree was lost",
         [](TSFile& f) {
             auto flip = std::make_shared<TSFileItem>("Flip");
             flip->SetNumParameters(1);
             Cfg(f)->Child("Engine")->Children()->AddBefore(flip, 1);
         },
         "train{TrainCfg<Pair>{Name<Pair>;Wagon{UiD<1>;WagonData<Box|V2>};"
         "Engine{Flip;UiD<2>;EngineData<Loco|V2>}}}"},
        {"an edit made through Child went to an item the tree did not hold",
         [](TSFile& f) {
             Cfg(f)->Child("Wagon")->Child("UiD")->SetParameter(0, "9");
             Cfg(f)->Child("Name")->SetName("Title");
         },
         "train{TrainCfg<Pair>{Title<Pair>;Wagon{UiD<9>;WagonData<Box|V2>};"
         "Engine{UiD<2>;EngineData<Loco|V2>}}}"},
        {"a collection set in place of children not yet made was ignored",
         [](TSFile& f) {
             Cfg(f)->Child("Engine")->SetChildren(Cfg(f)->Child("Wagon")->Children());
         },
         "train{TrainCfg<Pair>{Name<Pair>;Wagon{UiD<1>;WagonData<Box|V2>};"
         "Engine{UiD<1>;WagonData<Box|V2>}}}"},
        {"an item moved in from another load died with it",
         [this](TSFile& f) {
             auto other = Load();
             const TSFileItemPtr engine = Cfg(*other)->Child("Engine");
             engine->Child("UiD")->SetParameter(0, "3");
             Cfg(f)->Children()->Remove(2);
             Cfg(f)->Children()->Add(engine);
         },
         "train{TrainCfg<Pair>{Name<Pair>;Engine{UiD<2>;EngineData<Loco|V2>};"
         "Engine{UiD<3>;EngineData<Loco|V2>}}}"},
    };
    for (const Row& row : rows) {
        auto file = Load();
        row.edit(*file);
        file->SetFileName(m_folder.File("b.con"));
        file->Save();
        TSFile saved(m_folder.File("b.con"));
        saved.Load();
        EXPECT_EQ(Describe(*saved.Items()), std::vector<std::string>{row.expected}) << row.bug;
    }
}

}  // namespace
