#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Exceptions.h"
#include "records/Sort.h"
#include "records/StringList.h"

namespace quellor {
namespace {

using test::Fill;
using test::IndexMessage;
using test::Lines;
using Strings = std::vector<std::string>;

TEST(StringListTest, NewListIsEmpty) {
    TStringList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.Empty());
}

TEST(StringListTest, AddPutDeleteExchangeClear) {
    TStringList list;
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add(""), 1);
    EXPECT_EQ(list.Add("c"), 2);
    EXPECT_EQ(list.Add("a"), 3);
    list.Put(1, "b");
    EXPECT_EQ(Lines(list), (Strings{"a", "b", "c", "a"}));
    list.Delete(0);
    EXPECT_EQ(Lines(list), (Strings{"b", "c", "a"}));
    list.Exchange(0, 2);
    EXPECT_EQ(Lines(list), (Strings{"a", "c", "b"}));
    list.Exchange(1, 1);
    EXPECT_EQ(Lines(list), (Strings{"a", "c", "b"}));
    EXPECT_EQ(list.Strings(1), "c");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Add("again"), 0);
}

TEST(StringListTest, KeepsBytesExactly) {
    TStringList list;
    const std::string bytes("\0\x81\xff\r\n,\"", 7);
    list.Add(bytes);
    EXPECT_EQ(list.Get(0), bytes);
    EXPECT_EQ(list.Get(0).size(), 7u);
}

TEST(StringListTest, TextsTakenFromTheListItself) {
    TStringList list;
    Fill(list, {"first line", "second"});
    list.Put(0, list.Get(0).substr(6));
    EXPECT_EQ(list.Get(0), "line");
    for (int i = 0; i < 5000; ++i) list.Add(list.Get(list.Count() - 1));
    EXPECT_EQ(list.Count(), 5002);
    EXPECT_EQ(list.Get(5001), "second");
    list.Put(1, std::string(100000, 'x'));
    list.Put(2, list.Get(1));
    EXPECT_EQ(list.Get(2), std::string(100000, 'x'));
}

struct IndexRow {
    const char* what;
    void (*call)(TStringList&);
    int named;
};

TEST(StringListTest, IndexErrorsNameTheIndexAndChangeNothing) {
    const std::vector<IndexRow> table = {
        {"Get(-1)", [](TStringList& l) { (void)l.Get(-1); }, -1},
        {"Get(3)", [](TStringList& l) { (void)l.Get(3); }, 3},
        {"Strings(7)", [](TStringList& l) { (void)l.Strings(7); }, 7},
        {"Put(3)", [](TStringList& l) { l.Put(3, "x"); }, 3},
        {"Put(-2)", [](TStringList& l) { l.Put(-2, "x"); }, -2},
        {"Delete(3)", [](TStringList& l) { l.Delete(3); }, 3},
        {"Delete(-1)", [](TStringList& l) { l.Delete(-1); }, -1},
        {"Exchange(5,7)", [](TStringList& l) { l.Exchange(5, 7); }, 5},
        {"Exchange(0,7)", [](TStringList& l) { l.Exchange(0, 7); }, 7},
        {"Exchange(-1,9)", [](TStringList& l) { l.Exchange(-1, 9); }, -1},
        {"Exchange(2,-4)", [](TStringList& l) { l.Exchange(2, -4); }, -4},
        {"Exchange(3,3)", [](TStringList& l) { l.Exchange(3, 3); }, 3},
    };
    for (const auto& row : table) {
        TStringList list;
        Fill(list, {"a", "b", "c"});
        EXPECT_THROW_MESSAGE(row.call(list), EStringListError, IndexMessage(row.named));
        EXPECT_EQ(Lines(list), (Strings{"a", "b", "c"})) << row.what;
    }
    TStringList empty;
    EXPECT_THROW_MESSAGE((void)empty.Get(0), EStringListError, IndexMessage(0));
}

TEST(StringListTest, SortLinesIgnoresCaseAndKeepsEveryLine) {
    TStringList list;
    Fill(list, {"pear", "Apple", "banana", "apple", "Banana", "cherry", "pear"});
    SortLines(list, Encoding::Cp932);
    Strings sorted = Lines(list);
    ASSERT_EQ(sorted.size(), 7u);
    for (std::size_t i = 0; i + 1 < sorted.size(); ++i) {
        std::string a = sorted[i], b = sorted[i + 1];
        for (auto* s : {&a, &b})
            for (auto& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_LE(a, b);
    }
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (Strings{"Apple", "Banana", "apple", "banana", "cherry", "pear", "pear"}));
}

TEST(StringListTest, SortLinesOfFewLines) {
    TStringList list;
    SortLines(list, Encoding::Cp932);
    EXPECT_EQ(list.Count(), 0);
    list.Add("B");
    SortLines(list, Encoding::Cp932);
    EXPECT_EQ(Lines(list), Strings{"B"});
    Fill(list, {"abc", "ABC"});
    SortLines(list, Encoding::Cp932);
    EXPECT_EQ(Lines(list), (Strings{"ABC", "abc"}));
    // Equal ignoring case: the bytes decide, so identical lines meet.
    Fill(list, {"x", "X", "x"});
    SortLines(list, Encoding::Cp932);
    EXPECT_EQ(Lines(list), (Strings{"X", "x", "x"}));
}

TEST(StringListTest, KeepMarkedAndReorder) {
    TStringList list;
    Fill(list, {"a", "b", "c", "d"});
    list.KeepMarked({1, 0, 1, 1});
    EXPECT_EQ(Lines(list), (Strings{"a", "c", "d"}));
    list.Reorder({2, 0, 1});
    EXPECT_EQ(Lines(list), (Strings{"d", "a", "c"}));
    list.Reset();
    EXPECT_EQ(list.Count(), 0);
    list.Add("z");
    EXPECT_EQ(Lines(list), Strings{"z"});
}

TEST(StringListTest, MovedListKeepsItsLines) {
    TStringList list;
    Fill(list, {"a", "b"});
    TStringList moved(std::move(list));
    EXPECT_EQ(Lines(moved), (Strings{"a", "b"}));
}

}  // namespace
}  // namespace quellor
