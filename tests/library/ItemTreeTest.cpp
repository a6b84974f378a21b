#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using corvane::TSFileItem;
using testing_support::Item;

TEST(Parameters, CountKeepsValuesAndNewIndicesAreEmpty) {
    TSFileItem item;
    EXPECT_THROW((void)item.Parameter(0), std::out_of_range) << "a new item has none";
    EXPECT_THROW(item.SetParameter(0, "x"), std::out_of_range);
    item.SetNumParameters(2);
    item.SetParameter(1, "with blank");
    item.SetNumParameters(3);
    EXPECT_EQ(item.Parameter(0), "");
    EXPECT_EQ(item.Parameter(1), "with blank");
    EXPECT_EQ(item.Parameter(2), "");

    // A zero count hides the values; raising it again brings them back.
    item.SetNumParameters(0);
    EXPECT_EQ(item.NumParameters(), 0);
    EXPECT_EQ(item.Parameter(1), "with blank");
    item.SetNumParameters(2);
    EXPECT_EQ(item.Parameter(1), "with blank");
    EXPECT_THROW((void)item.Parameter(2), std::out_of_range);
}

TEST(Parameters, BadIndexesAndCountsAreSubscriptErrorsThatChangeNothing) {
    auto item = Item("X", {"a"});
    EXPECT_THROW((void)item->Parameter(-1), std::out_of_range);
    EXPECT_THROW(item->SetParameter(1, "b"), std::out_of_range);
    EXPECT_THROW(item->SetNumParameters(-1), std::out_of_range);
    EXPECT_EQ(item->NumParameters(), 1);
    EXPECT_EQ(item->Parameter(0), "a");
}

TEST(Parameters, ValueSetFromOwnParameterSurvives) {
    // Small parameters live inside the item, larger ones beside it: a value taken
    // from the item itself survives each move between the two.
    auto item = Item("X", {"first", "second"});
    item->SetParameter(1, item->ParameterView(0));
    EXPECT_EQ(item->Parameter(1), "first");
    const std::string longer(40, 'L');
    item->SetParameter(0, longer);
    item->SetParameter(1, item->ParameterView(0));
    EXPECT_EQ(item->Parameter(1), longer);
    item->SetParameter(0, "s");
    item->SetParameter(1, item->ParameterView(0));
    EXPECT_EQ(item->Parameter(0), "s");
    EXPECT_EQ(item->Parameter(1), "s");
    item->SetNumParameters(12);
    EXPECT_EQ(item->Parameter(1), "s");
    EXPECT_EQ(item->Parameter(11), "");
}

TEST(Children, ChildComparesExactlyAndChildIndexWalksAlternatives) {
    auto parent = Item("Consist");
    for (const char* name : {"Engine", "Wagon", "Wagonx", "Wagon ", "wagon"}) {
        parent->Children()->Add(Item(name));
    }
    EXPECT_EQ(parent->ChildIndex("Engine|Wagon", 0), 1);
    EXPECT_EQ(parent->ChildIndex("Engine|Wagon", 1), 2);
    EXPECT_EQ(parent->ChildIndex("Engine|Wagon", 2), 0);
    EXPECT_EQ(parent->ChildIndex("Wagon"), 2);
    EXPECT_EQ(parent->Child("wagon"), parent->Children()->Item(5));
    EXPECT_EQ(parent->Child("Train"), nullptr);
    EXPECT_THROW((void)parent->ChildIndex("Wagon", -1), std::out_of_range);
}

TEST(Children, FileChildIgnoresCaseWhereItemChildDoesNot) {
    corvane::TSFile file;
    file.Items()->Add(Item("train"));
    EXPECT_NE(file.Child("Train"), nullptr);
    EXPECT_EQ(file.ChildIndex("Train"), 0);
    EXPECT_EQ(file.ChildIndex("train"), 1);
    EXPECT_EQ(file.Children(), file.Items());
    auto parent = Item("P");
    parent->Children()->Add(Item("Train"));
    EXPECT_EQ(parent->Child("train"), nullptr);
}

TEST(Children, CollectionsAreOneBasedAndShareTheirMembers) {
    auto a = Item("A");
    auto b = Item("B");
    auto c = Item("C");
    auto parent = Item("P");
    auto& children = *parent->Children();
    children.Add(b);
    children.AddBefore(a, 1);
    children.AddAfter(c, 2);
    ASSERT_EQ(children.Count(), 3);
    EXPECT_EQ(children.Item(1), a);
    EXPECT_EQ(children.Item(2), b);
    EXPECT_EQ(children.Item(3), c);
    EXPECT_THROW((void)children.Item(0), std::out_of_range);
    EXPECT_THROW((void)children.Item(4), std::out_of_range);
    EXPECT_THROW(children.AddBefore(a, 4), std::out_of_range);
    children.Remove(2);
    EXPECT_EQ(children.Item(2), c);

    // Another item takes the same collection by reference.
    auto other = Item("Q");
    other->SetChildren(parent->Children());
    other->Children()->Add(Item("D"));
    EXPECT_EQ(parent->Children()->Count(), 3);
    EXPECT_THROW(other->SetChildren(nullptr), std::invalid_argument);
}

// Deep chains are released without recursion, and what anyone else still holds
// (an item, or a collection shared by reference) stays whole.
TEST(Children, ReleasingADeepChainKeepsWhatOthersHold) {
    auto root = Item("root");
    auto kept = Item("kept", {"1"});
    root->Children()->Add(kept);
    TSFileItem* last = kept.get();
    for (int i = 0; i < 500'000; ++i) {
        auto next = Item("n");
        last->Children()->Add(next);
        last = next.get();
    }
    auto sharer = Item("sharer");
    sharer->SetChildren(root->Children());
    root.reset();
    ASSERT_EQ(sharer->Children()->Count(), 1);
    EXPECT_EQ(sharer->Children()->Item(1), kept);
    sharer.reset();
    EXPECT_EQ(kept->Parameter(0), "1");
    ASSERT_EQ(kept->Children()->Count(), 1);
    EXPECT_EQ(kept->Children()->Item(1)->Children()->Count(), 1);
}

// Adds a train of two wagons, the first with UiD 112 and shape GP38.s, the second with UiD 12.
void AddWagons(corvane::TSFile& file) {
    file.Items()->Add(
        Item("train", {},
             {Item("TrainCfg", {},
                   {Item("Wagon", {}, {Item("UiD", {"112"}), Item("FileName", {"GP38.s"})}),
                    Item("Wagon", {}, {Item("UiD", {"12"})})})}));
}

TEST(SearchFor, FindsFirstSubstringMatchDepthFirstBelowTheGivenItem) {
    corvane::TSFile file;
    AddWagons(file);
    const auto uid = file.SearchFor("", "", "12");
    ASSERT_NE(uid, nullptr);
    EXPECT_EQ(uid->Parameter(0), "112");
    const auto shape = file.SearchFor("38.s");
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->Name(), "FileName");
    EXPECT_EQ(file.SearchFor("gp38"), nullptr) << "case-sensitive";
    EXPECT_EQ(file.SearchFor(), nullptr) << "empty arguments find nothing";

    const auto wagon2 = file.Items()->Item(1)->Child("TrainCfg")->Children()->Item(2);
    const auto below = file.SearchFor("", "", "12", wagon2);
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(below->Parameter(0), "12");
    EXPECT_EQ(file.SearchFor("GP38", "", "", wagon2), nullptr);
}

TEST(SearchFor, MatchingNameWithoutParametersIsASubscriptError) {
    corvane::TSFile file;
    AddWagons(file);
    file.Items()->Item(1)->Children()->AddBefore(Item("UiD"), 1);
    EXPECT_THROW((void)file.SearchFor("", "", "1"), std::out_of_range);
    EXPECT_EQ(file.SearchFor("GP38")->Name(), "FileName");
}

}  // namespace
