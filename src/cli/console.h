// Standard output and error of the command line: UTF-8 text, notices and progress.
#pragma once

#include "data/datafile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavolin::cli {

void writeOut(std::string_view utf8);
void writeErr(std::string_view utf8);
// One message line on standard error.
void errorLine(const std::u16string& message);
void errorLine(std::string_view utf8);

// Reader notices go to standard error at once; progress is shown only on a terminal.
class ConsoleFeedback {
public:
    explicit ConsoleFeedback(std::string label);
    ~ConsoleFeedback();
    ConsoleFeedback(const ConsoleFeedback&) = delete;
    ConsoleFeedback& operator=(const ConsoleFeedback&) = delete;

    ReadOptions readOptions();
    // Clears the progress line, if one is shown.
    void finish();

private:
    void progress(int64_t done, int64_t total);

    std::string label_;
    bool terminal_ = false;
    int shownPercent_ = -1;
    bool lineShown_ = false;
};

} // namespace tavolin::cli
