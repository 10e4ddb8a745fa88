#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Compare.h"
#include "records/Exceptions.h"
#include "records/RecordList.h"
#include "records/Sort.h"

namespace quellor {
namespace {

using test::Fill;
using test::IndexMessage;
using test::Lines;
using test::Sjis;
using Strings = std::vector<std::string>;

std::string CountMessage(int line) {
    return "ﾌｨｰﾙﾄﾞ数が他と違います（" + std::to_string(line) + "行目）";
}

Strings Sorted(const Strings& lines, int keyIndex, int expected) {
    TStringListEx list;
    Fill(list, lines);
    SortByField(list, keyIndex, expected, Encoding::Cp932);
    return Lines(list);
}

TEST(SortByFieldTest, FieldCountErrorNamesTheFirstWrongLineAndChangesNothing) {
    TStringListEx list;
    const Strings before{" b ,x", "\"a\",y", "c,z,w", "d q", "e,r"};
    Fill(list, before);
    EXPECT_THROW_MESSAGE(SortByField(list, 1, 2, Encoding::Cp932), EStringListError,
                         CountMessage(3));
    EXPECT_EQ(Lines(list), before);
}

TEST(SortByFieldTest, OneLineIsStillChecked) {
    TStringListEx list;
    Fill(list, {"a,b"});
    EXPECT_THROW_MESSAGE(SortByField(list, 0, 3, Encoding::Cp932), EStringListError,
                         CountMessage(1));
    EXPECT_EQ(Lines(list), Strings{"a,b"});
    Fill(list, {"a"});
    EXPECT_THROW_MESSAGE(SortByField(list, 3, 2, Encoding::Cp932), EStringListError,
                         CountMessage(1));
}

TEST(SortByFieldTest, EmptyListRaisesNothing) {
    TStringListEx list;
    EXPECT_NO_THROW(SortByField(list, 0, 5, Encoding::Cp932));
    EXPECT_NO_THROW(SortByField(list, 7, 0, Encoding::Cp932));
    EXPECT_EQ(list.Count(), 0);
}

TEST(SortByFieldTest, KeyOutsideTheFieldsFailsBeforeRewriting) {
    TStringListEx list;
    Fill(list, {" a,b", "c,d"});
    EXPECT_THROW_MESSAGE(SortByField(list, 2, 2, Encoding::Cp932), EStringListError,
                         IndexMessage(2));
    EXPECT_EQ(Lines(list), (Strings{" a,b", "c,d"}));
    EXPECT_THROW_MESSAGE(SortByField(list, -1, 2, Encoding::Cp932), EStringListError,
                         IndexMessage(-1));
    EXPECT_EQ(Lines(list), (Strings{" a,b", "c,d"}));
}

// Records are compared by their values and written as they are: quotes,
// padding and a last field ending in a lone lead byte all stay.
TEST(SortByFieldTest, RecordsAreNeverRewritten) {
    const Strings records = {"a b,x",  "\"a\",b", "a,b\"x",  "\"a b\",x", "\"a,b\",x",
                             "\"\",x", " a , b ", "a,b\x81", "c,d"};
    for (int key : {0, 1}) {
        Strings sorted = Sorted(records, key, 2);
        std::sort(sorted.begin(), sorted.end());
        Strings expected = records;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted, expected) << key;
    }
}

struct OrderRow {
    Strings in;
    int key;
    int fields;
    Strings out;
};

TEST(SortByFieldTest, OrderByWholeRewrittenLine) {
    const std::vector<OrderRow> table = {
        {{"1,b", "2,a", "3,c"}, 1, 2, {"2,a", "1,b", "3,c"}},
        {{"x,1,b", "y,2,a", "z,3,c"}, 2, 3, {"y,2,a", "x,1,b", "z,3,c"}},
        {{"b,k", "a,k"}, 1, 2, {"a,k", "b,k"}},
        // the key comes first, then fields 1..key-1, then field 0
        {{"a,z,k,1", "b,y,k,2"}, 2, 4, {"b,y,k,2", "a,z,k,1"}},
        // an empty key puts the comma first
        {{"y,a", "x,"}, 1, 2, {"x,", "y,a"}},
        // a quoted key sorts by its value
        {{"\"b c\",1", "\"a\",2"}, 0, 2, {"\"a\",2", "\"b c\",1"}},
        {{"\"b\",1", "a,2"}, 0, 2, {"a,2", "\"b\",1"}},
        {{"2,b", "1,\"a c\""}, 1, 2, {"1,\"a c\"", "2,b"}},
        {{"2,a", "1,\"b c\""}, 1, 2, {"2,a", "1,\"b c\""}},
        {{"b,2", "A,1", "a,3", "B,4"}, 0, 2, {"A,1", "a,3", "b,2", "B,4"}},
        {{Sjis("2,い"), Sjis("1,あ"), Sjis("3,ア")},
         1,
         2,
         {Sjis("1,あ"), Sjis("3,ア"), Sjis("2,い")}},
        {{"abc", "ABC"}, 0, 1, {"ABC", "abc"}},
        {{"x", "X", "x"}, 0, 1, {"X", "x", "x"}},
        // keys equal ignoring case: the key-first form's bytes decide
        {{"a,x", "A,x", "a,x", "A,x"}, 0, 2, {"A,x", "A,x", "a,x", "a,x"}},
        {{"2,k", "1,K", "3,k"}, 1, 2, {"1,K", "2,k", "3,k"}},
        {{"s", "s", "s"}, 0, 1, {"s", "s", "s"}},
    };
    for (const auto& row : table) EXPECT_EQ(Sorted(row.in, row.key, row.fields), row.out);
}

TEST(SortByFieldTest, DescendingThenDuplicates) {
    TStringListEx list;
    Fill(list, {"b,1", "a,1", "b,1", "c,1", "a,1"});
    SortByField(list, 0, 2, Encoding::Cp932);
    ReverseLines(list);
    EXPECT_EQ(Lines(list), (Strings{"c,1", "b,1", "b,1", "a,1", "a,1"}));
    auto moved = ExtractDuplicates(list);
    EXPECT_EQ(Lines(list), (Strings{"c,1", "b,1", "a,1"}));
    EXPECT_EQ(Lines(*moved), (Strings{"b,1", "a,1"}));
}

// Large lists are read by two threads; the error must still name the first
// wrong line, wherever it is, and leave the list as it was.
TEST(SortByFieldTest, LargeListFailsAtItsFirstWrongLine) {
    constexpr int kLines = 30000;
    for (const int bad : {7, kLines / 2 + 1, kLines - 2}) {
        TStringListEx list;
        for (int i = 1; i <= kLines; ++i) {
            list.Add(i == bad ? "x,y" : i == kLines ? "z" : "f" + std::to_string(i) + ",\"q r\",k");
        }
        try {
            SortByField(list, 2, 3, Encoding::Cp932);
            ADD_FAILURE() << "no error for line " << bad;
        } catch (const EStringListError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "ﾌｨｰﾙﾄﾞ数が他と違います（" + std::to_string(bad) + "行目）");
        }
        ASSERT_EQ(list.Count(), kLines);
        EXPECT_EQ(list.Strings(bad - 2), "f" + std::to_string(bad - 1) + ",\"q r\",k");
        EXPECT_EQ(list.Strings(bad - 1), "x,y");
        EXPECT_EQ(list.Strings(bad), "f" + std::to_string(bad + 1) + ",\"q r\",k");
    }
}

// An abort reaches a sort that runs on two threads, and the lines stay as read.
TEST(SortByFieldTest, CancelledLargeListStaysAsItWas) {
    TStringListEx list;
    for (int i = 30000; i > 0; --i) list.Add("f" + std::to_string(i) + ",k");
    const Strings before = Lines(list);
    const std::atomic<bool> requested{true};
    EXPECT_THROW(SortByField(list, 1, 2, Encoding::Cp932, CancelCheck(requested)), ECancelled);
    EXPECT_EQ(Lines(list), before);
}

// The repeats of a long sorted list (found on two threads) stay where they are.
TEST(SortByFieldTest, CancelledExtractionOfRepeatsLeavesTheList) {
    TStringListEx list;
    for (int i = 0; i < 30000; ++i) list.Add("k" + std::to_string(i / 2));
    const Strings before = Lines(list);
    const std::atomic<bool> requested{true};
    EXPECT_THROW(ExtractDuplicates(list, CancelCheck(requested)), ECancelled);
    EXPECT_EQ(Lines(list), before);
}

TEST(SortByFieldTest, LargeListSortsAndRestoresFieldOrder) {
    constexpr int kLines = 25000;
    TStringListEx list;
    for (int i = 0; i < kLines; ++i) {
        list.Add(std::to_string(i) + ",key" + std::to_string((i * 7919) % kLines));
    }
    SortByField(list, 1, 2, Encoding::Cp932);
    const auto keyFirst = [&](int i) {
        const std::string line = list.Strings(i);
        const std::size_t comma = line.find(',');
        return line.substr(comma + 1) + "," + line.substr(0, comma);
    };
    for (int i = 1; i < kLines; ++i) {
        ASSERT_LE(CompareLocale(keyFirst(i - 1), keyFirst(i), true), 0) << i;
    }
    // Field order is back, and every line is there once.
    std::vector<int> seen(kLines, 0);
    for (int i = 0; i < kLines; ++i) {
        const std::string line = list.Strings(i);
        ++seen[static_cast<std::size_t>(std::stoi(line.substr(0, line.find(','))))];
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), kLines);
}

// A record's fields are read no further than its first NUL byte, also when
// that byte follows a lead byte; the record itself stays whole.
TEST(SortByFieldTest, FieldsEndAtNulEvenAfterALeadByte) {
    TStringListEx list;
    list.Add(std::string("p,q\x81\0,z", 7));
    list.Add("a,y");
    SortByField(list, 0, 2, Encoding::Cp932);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a,y", std::string("p,q\x81\0,z", 7)}));
}

}  // namespace
}  // namespace quellor
