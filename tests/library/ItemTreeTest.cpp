#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using corvane::TSFileItem;
using testing_support::Describe;
using testing_support::Item;

TEST(Parameters, CountKeepsValuesAndBadIndexesAreSubscriptErrorsThatChangeNothing) {
    TSFileItem item;
    EXPECT_THROW((void)item.Parameter(0), std::out_of_range) << "a new item has none";
    item.SetNumParameters(2);
    item.SetParameter(1, "with blank");
    item.SetNumParameters(3);
    EXPECT_EQ(Describe(item), "<|with blank|>");
    item.SetNumParameters(2);
    EXPECT_THROW((void)item.Parameter(2), std::out_of_range);
    EXPECT_THROW((void)item.Parameter(-1), std::out_of_range);
    EXPECT_THROW(item.SetParameter(2, "b"), std::out_of_range);
    EXPECT_THROW(item.SetNumParameters(-1), std::out_of_range);
    EXPECT_EQ(Describe(item), "<|with blank>");
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

TEST(Children, ItemChildComparesExactlyFileChildIgnoresCaseAndChildIndexWalksAlternatives) {
    auto parent =
        Item("Consist", {}, {Item("Engine"), Item("Wagon"), Item("Wagonx"), Item("wagon")});
    EXPECT_EQ(parent->ChildIndex("Engine|Wagon", 0), 1);
    EXPECT_EQ(parent->ChildIndex("Engine|Wagon", 1), 2);
    EXPECT_EQ(parent->ChildIndex("Engine|Wagon", 2), 0);
    EXPECT_EQ(parent->Child("wagon"), parent->Children()->Item(4));
    EXPECT_EQ(parent->Child("Train"), nullptr);
    EXPECT_THROW((void)parent->ChildIndex("Wagon", -1), std::out_of_range);
    corvane::TSFile file;
    file.Items()->Add(Item("train"));
    EXPECT_NE(file.Child("Train"), nullptr);
}

TEST(Children, CollectionsAreOneBased) {
    auto parent = Item("P", {}, {Item("B")});
    auto& children = *parent->Children();
    children.AddBefore(Item("A"), 1);
    children.AddAfter(Item("C"), 2);
    EXPECT_EQ(Describe(*parent), "P{A;B;C}");
    EXPECT_THROW((void)children.Item(0), std::out_of_range);
    EXPECT_THROW((void)children.Item(4), std::out_of_range);
    EXPECT_THROW(children.AddBefore(Item("D"), 4), std::out_of_range);
    children.Remove(2);
    EXPECT_EQ(Describe(*parent), "P{A;C}");
}

// Deep chains are released without recursion, and what anyone else still holds
// (an item, or a collection) stays whole.
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
    corvane::TSItemCollectionPtr held = root->Children();
    root.reset();
    ASSERT_EQ(held->Count(), 1);
    EXPECT_EQ(held->Item(1), kept);
    held.reset();
    EXPECT_EQ(kept->Parameter(0), "1");
    ASSERT_EQ(kept->Children()->Count(), 1);
    EXPECT_EQ(kept->Children()->Item(1)->Children()->Count(), 1);
}

}  // namespace
