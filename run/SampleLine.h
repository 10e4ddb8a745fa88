// The first record of the first listed file: the sample from which the
// window offers its field choices and the command line takes its field
// count; and the first records of a file for the preview.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/LineFiles.h"

namespace quellor {

// What the window reads of a line to offer fields or show a preview. A file
// that is no sensible CSV (no line break in a gigabyte, a million commas)
// must not hold the window; real files stay far below both. A record is
// read on over its lines while a quote stays open, up to kShownSkipBytes.
inline constexpr std::size_t kShownLineBytes = std::size_t{4} << 20;
inline constexpr std::size_t kShownFieldLimit = 4096;

struct SampleLine {
    std::vector<std::string> Fields;  // values, in the record's encoding
    Encoding TextEncoding = Encoding::Cp932;
    char Delimiter = ',';
    bool LineCut = false;    // a line of the record goes on past kShownLineBytes
    bool FieldsCut = false;  // the record has more than kShownFieldLimit fields
};

// The values of the file's first record, split as every stage splits, in
// the encoding and with the delimiter chosen or else those its bytes say; a
// byte-order mark is no part of the first field. Raises the reader's errors.
SampleLine ReadSampleLine(const std::string& path, TextChoice choice = {});
std::vector<std::string> SampleFields(const std::string& path, TextChoice choice = {});
// The field count of a run whose count was not given: that of the first
// file's first record. A file that cannot be opened or read raises the
// error the run raises for it (EFOpenError, EReadError, naming the file),
// and so does an empty file, which has no first record to count.
int FieldCountOfFirstFile(const std::string& path, TextChoice choice = {});
// The sample record read within the bounds above. Raises the reader's errors.
SampleLine SampleFieldsShown(const std::string& path, TextChoice choice = {});

// The notice for a record read only in part (empty when it was read
// whole), naming every limit that cut it; number counts from 1.
std::string ShownLineNotice(const std::string& path, int number, bool lineCut, bool fieldsCut);

// Records read from a file's start for showing, at most limit of them, with
// the encoding and delimiter those bytes say and no byte-order mark; a line
// break inside a quoted value stands as LF. Records read before a failure
// are kept: the caller shows them, then passes the error on. A line longer
// than kShownLineBytes is kept cut and the lines after it are read on; only
// a line that goes on past kShownSkipBytes ends the records, as its end
// would take too long to find.
inline constexpr std::size_t kShownSkipBytes = std::size_t{64} << 20;
struct LeadingRecords {
    std::vector<std::string> Records;
    std::vector<bool> Cut;       // for each record: read only in part
    std::vector<int> FirstLine;  // for each record: the line it begins on, from 1
    Encoding TextEncoding = Encoding::Cp932;
    char Delimiter = ',';
    CsvDialect Dialect() const { return {TextEncoding, Delimiter}; }
};
void ReadLeadingRecords(const std::string& path, int limit, LeadingRecords& out,
                        TextChoice choice = {});

}  // namespace quellor
