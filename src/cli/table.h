// Plain-text tables whose columns line up on a terminal, Chinese text included.
#pragma once

#include <string>
#include <vector>

namespace tavolin::cli {

// Terminal columns of a UTF-8 text: East Asian wide characters count two.
int displayWidth(const std::string& utf8);

class TextTable {
public:
    enum Align { Left, Right };
    void setHeader(std::vector<std::string> header, std::vector<Align> align = {});
    void addRow(std::vector<std::string> row);
    // The table with two blanks between columns, one line per row, header first.
    std::string render() const;

private:
    std::vector<std::string> header_;
    std::vector<Align> align_;
    std::vector<std::vector<std::string>> rows_;
};

} // namespace tavolin::cli
