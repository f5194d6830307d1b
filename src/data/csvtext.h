// Small text files the user writes by hand or in a spreadsheet (specimen lists, the curve
// library): bounded reading, UTF-8 or GBK decoding, comma-separated lines with their line
// numbers, and the whole-file atomic write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavolin {

// Larger files are refused: a specimen list or a curve library is never near this size.
constexpr int64_t kSmallFileLimit = 4 * 1024 * 1024;

// Reads the whole file into `bytes`. Returns the message of a failure ("" on success).
std::u16string readSmallFile(const std::string& path, std::string& bytes);
// Writes `bytes` beside `path` and renames it over `path`; the old file stays on failure.
std::u16string writeFileAtomically(const std::string& path, const std::string& bytes);

// The text as UTF-8: a UTF-8 byte-order mark is dropped; text that is not valid UTF-8 is read
// as GBK, as spreadsheets on Chinese systems save it.
std::string decodeUserText(const std::string& bytes);

struct CsvRow {
    int line = 0; // 1-based line of the file
    std::vector<std::string> fields;
};

// Splits the decoded text into lines of exactly `columns` comma-separated fields (blank lines
// skipped, fields trimmed). A first line none of whose fields is a number is a header and is
// dropped. Returns the message naming the first bad line ("" on success).
std::u16string splitCsv(const std::string& text, int columns, std::vector<CsvRow>& rows);

// Whole-text decimal number (finite); false otherwise.
bool parseDecimal(const std::string& text, double& value);
// Whole-text integer of at least 1; false otherwise.
bool parseOrdinal(const std::string& text, int& value);

// "第 N 行：" + what, as every line-bound message begins.
std::u16string lineMessage(int line, const std::string& what);

} // namespace tavolin
