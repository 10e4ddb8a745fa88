// The preview's rows, read without a window.
#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "records/Exceptions.h"
#include "run/PreviewRows.h"

namespace quellor::test {
namespace {

struct RowsCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::vector<std::string>> cells;  // each row's label, then its values
};

std::vector<PreviewRow> AllRows(const std::string& path, int limit) {
    PreviewRows rows(path, limit, "L");
    std::vector<PreviewRow> out;
    while (auto row = rows.Next()) out.push_back(*row);
    return out;
}

class PreviewRowsTest : public RunTest {};

TEST_F(PreviewRowsTest, EachRecordShowsItsValues) {
    const RowsCase cases[] = {
        {"plain", {"a,b", "c"}, {{"L1", "a", "b"}, {"L2", "c"}}},
        {"quoted field", {"\"x,y\",z"}, {{"L1", "x,y", "z"}}},
        {"blanks inside a value", {" p q ,\"r \""}, {{"L1", "p q", "r "}}},
        {"empty field", {"x,,y"}, {{"L1", "x", "", "y"}}},
        {"blank line", {"   "}, {{"L1", ""}}},
        {"a record over two lines",
         {"\"a", "b\",c", "d,e"},
         {{"L1", "a\nb", "c"}, {"L2", "d", "e"}}},
        {"tab-separated", {"a b\tc"}, {{"L1", "a b", "c"}}},
        {"no lines", {}, {}},
    };
    for (const RowsCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<PreviewRow> rows = AllRows(WriteLines("p.csv", c.lines), 50);
        ASSERT_EQ(rows.size(), c.cells.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            EXPECT_EQ(rows[r].Cells, c.cells[r]) << r;
            // The grid heads as many columns as the row has values.
            EXPECT_EQ(rows[r].FieldCount, static_cast<int>(c.cells[r].size()) - 1) << r;
        }
    }
}

TEST_F(PreviewRowsTest, StopsAtTheLimitAndRaisesTheReadersErrors) {
    std::vector<std::string> many;
    for (int i = 1; i <= 60; ++i) many.push_back(std::to_string(i));
    std::vector<PreviewRow> rows = AllRows(WriteLines("many.csv", many), 50);
    ASSERT_EQ(rows.size(), 50u);
    EXPECT_EQ(rows.back().Cells, (std::vector<std::string>{"L50", "50"}));
    EXPECT_THROW(PreviewRows(PathOf("gone.csv"), 50, "L"), EInOutError);
}

}  // namespace
}  // namespace quellor::test
