#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "corvane/TSFile.h"

namespace {

using corvane::TSFileItem;
using corvane::TSFileItemPtr;

TSFileItemPtr Item(const std::string& name, std::initializer_list<const char*> parameters = {}) {
    auto item = std::make_shared<TSFileItem>(name);
    item->SetNumParameters(static_cast<int>(parameters.size()));
    int i = 0;
    for (const char* p : parameters) {
        item->SetParameter(i++, p);
    }
    return item;
}

TEST(Parameters, ZeroCountHidesValuesThatComeBackWhenRaised) {
    auto item = Item("X", {"a", "b", "c"});
    item->SetNumParameters(0);
    EXPECT_EQ(item->NumParameters(), 0);
    EXPECT_EQ(item->Parameter(0), "a");
    item->SetNumParameters(2);
    EXPECT_EQ(item->NumParameters(), 2);
    EXPECT_EQ(item->Parameter(0), "a");
    EXPECT_EQ(item->Parameter(1), "b");
    EXPECT_THROW((void)item->Parameter(2), std::out_of_range);
}

TEST(Parameters, NewCountGivesEmptyValuesAndNewItemHasNone) {
    TSFileItem item;
    EXPECT_EQ(item.NumParameters(), 0);
    EXPECT_THROW((void)item.Parameter(0), std::out_of_range);
    EXPECT_THROW(item.SetParameter(0, "x"), std::out_of_range);
    item.SetNumParameters(2);
    EXPECT_EQ(item.Parameter(0), "");
    EXPECT_EQ(item.Parameter(1), "");
    item.SetParameter(1, "with blank");
    item.SetNumParameters(3);
    EXPECT_EQ(item.Parameter(1), "with blank");
    EXPECT_EQ(item.Parameter(2), "");
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
    auto item = Item("X", {"first", "second"});
    item->SetParameter(1, item->ParameterView(0));
    EXPECT_EQ(item->Parameter(1), "first");
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
    EXPECT_EQ(parent->ChildIndex("Wagon", 2), 0);
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

TEST(Children, ItemsLiveWhileAnyoneHoldsThem) {
    auto kept = Item("kept", {"1"});
    {
        auto parent = Item("P");
        parent->Children()->Add(kept);
        kept->Children()->Add(Item("grandchild"));
    }
    EXPECT_EQ(kept->Parameter(0), "1");
    EXPECT_EQ(kept->Children()->Count(), 1);
}

TEST(Children, DeepChainsReleaseWithoutRecursion) {
    auto root = Item("root");
    TSFileItem* last = root.get();
    for (int i = 0; i < 500'000; ++i) {
        auto next = Item("n");
        last->Children()->Add(next);
        last = next.get();
    }
    root.reset();
    SUCCEED();
}

class SearchForTest : public testing::Test {
protected:
    void SetUp() override {
        auto train = Item("train");
        auto cfg = Item("TrainCfg");
        auto wagon1 = Item("Wagon");
        wagon1->Children()->Add(Item("UiD", {"112"}));
        wagon1->Children()->Add(Item("FileName", {"GP38.s"}));
        auto wagon2 = Item("Wagon");
        wagon2->Children()->Add(Item("UiD", {"12"}));
        cfg->Children()->Add(wagon1);
        cfg->Children()->Add(wagon2);
        train->Children()->Add(cfg);
        m_file.Items()->Add(train);
    }
    corvane::TSFile m_file;
};

TEST_F(SearchForTest, FindsFirstSubstringMatchDepthFirst) {
    const auto uid = m_file.SearchFor("", "", "12");
    ASSERT_NE(uid, nullptr);
    EXPECT_EQ(uid->Name(), "UiD");
    EXPECT_EQ(uid->Parameter(0), "112");
    const auto shape = m_file.SearchFor("38.s");
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->Name(), "FileName");
    EXPECT_EQ(m_file.SearchFor("gp38"), nullptr);  // case-sensitive
}

TEST_F(SearchForTest, SearchesBelowTheGivenItemOnly) {
    const auto cfg = m_file.Items()->Item(1)->Child("TrainCfg");
    const auto wagon2 = cfg->Children()->Item(2);
    const auto uid = m_file.SearchFor("", "", "12", wagon2);
    ASSERT_NE(uid, nullptr);
    EXPECT_EQ(uid->Parameter(0), "12");
    EXPECT_EQ(m_file.SearchFor("GP38", "", "", wagon2), nullptr);
}

TEST_F(SearchForTest, EmptyArgumentsFindNothing) {
    EXPECT_EQ(m_file.SearchFor(), nullptr);
}

TEST_F(SearchForTest, MatchingNameWithoutParametersIsASubscriptError) {
    m_file.Items()->Item(1)->Children()->AddBefore(Item("UiD"), 1);
    EXPECT_THROW((void)m_file.SearchFor("", "", "1"), std::out_of_range);
    EXPECT_EQ(m_file.SearchFor("GP38")->Name(), "FileName");
}

}  // namespace
