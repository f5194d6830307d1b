// UTF-8 output, and a progress line on standard error that only a terminal gets to see.
#include "cli/console.h"

#include "data/textcodec.h"

#include <cstdio>
#include <unistd.h>

namespace tavolin::cli {

void writeOut(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void writeErr(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}

void errorLine(const std::u16string& message) {
    errorLine(std::string_view(utf16ToUtf8(message)));
}

void errorLine(std::string_view utf8) {
    std::string line(utf8);
    line.push_back('\n');
    writeErr(line);
}

ConsoleFeedback::ConsoleFeedback(std::string label)
    : label_(std::move(label)), terminal_(isatty(STDERR_FILENO) == 1) {}

ConsoleFeedback::~ConsoleFeedback() {
    finish();
}

ReadOptions ConsoleFeedback::readOptions() {
    ReadOptions options;
    options.notice = [this](const std::u16string& text) {
        finish();
        errorLine(text);
    };
    if (terminal_)
        options.progress = [this](int64_t done, int64_t total) { progress(done, total); };
    return options;
}

void ConsoleFeedback::progress(int64_t done, int64_t total) {
    if (total <= 0)
        return;
    if (done < 0)
        done = 0;
    if (done > total)
        done = total;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == shownPercent_)
        return;
    shownPercent_ = percent;
    lineShown_ = true;
    writeErr("\r" + label_ + " " + std::to_string(percent) + "%");
}

void ConsoleFeedback::finish() {
    if (!lineShown_)
        return;
    // Carriage return, then erase to the end of the line.
    writeErr("\r\x1b[K");
    lineShown_ = false;
    shownPercent_ = -1;
}

} // namespace tavolin::cli
