// Shared helpers of the command-line tests: running tavolin-cli and a strict JSON parser; jobs
// and folders come from the shared test support.
#pragma once

#include "data/datafile.h"
#include "data/records.h"
#include "support/files.h"
#include "support/jobbuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace clitest {

using namespace tavolin::testing;

struct RunResult {
    int status = -1; // exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs the built tavolin-cli with `args`, collecting both output streams.
inline RunResult runCli(const std::vector<std::string>& args) {
    const std::string program = TAVOLIN_BUILD_DIR "/src/cli/tavolin-cli";
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        close(outPipe[1]);
        close(errPipe[1]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    RunResult r;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&r.out, &r.err};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[65536];
            const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[k]->append(buffer, static_cast<size_t>(n));
            } else {
                close(fds[k].fd);
                fds[k].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// ---- JSON ----

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    std::string text; // number text as written, or the string's value
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json& operator[](const std::string& key) const {
        for (const auto& m : members)
            if (m.first == key)
                return m.second;
        static const Json missing;
        ADD_FAILURE() << "missing key " << key;
        return missing;
    }
    const Json& operator[](size_t i) const { return items.at(i); }
    bool has(const std::string& key) const {
        for (const auto& m : members)
            if (m.first == key)
                return true;
        return false;
    }
    float f() const { return std::strtof(text.c_str(), nullptr); }
    int i() const { return std::atoi(text.c_str()); }
};

class JsonParser {
public:
    explicit JsonParser(const std::string& s) : s_(s) {}
    // False unless the whole text is exactly one JSON value.
    bool parse(Json& out) {
        if (!value(out))
            return false;
        space();
        return p_ == s_.size();
    }

private:
    void space() {
        while (p_ < s_.size() &&
               (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t'))
            ++p_;
    }
    bool literal(const char* word) {
        const std::string w(word);
        if (s_.compare(p_, w.size(), w) != 0)
            return false;
        p_ += w.size();
        return true;
    }
    bool string(std::string& out) {
        if (p_ >= s_.size() || s_[p_] != '"')
            return false;
        ++p_;
        while (p_ < s_.size() && s_[p_] != '"') {
            const unsigned char c = static_cast<unsigned char>(s_[p_]);
            if (c < 0x20)
                return false;
            if (c == '\\') {
                if (++p_ >= s_.size())
                    return false;
                const char e = s_[p_];
                static const std::string simple = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
                if (const size_t k = simple.find(e); k != std::string::npos) {
                    out.push_back(meaning[k]);
                } else if (e == 'u' && p_ + 4 < s_.size()) {
                    const unsigned cp = std::stoul(s_.substr(p_ + 1, 4), nullptr, 16);
                    if (cp >= 0x80)
                        return false; // the writer only escapes control characters
                    out.push_back(static_cast<char>(cp));
                    p_ += 4;
                } else {
                    return false;
                }
                ++p_;
            } else {
                out.push_back(static_cast<char>(c));
                ++p_;
            }
        }
        if (p_ >= s_.size())
            return false;
        ++p_;
        return true;
    }
    bool number(std::string& out) {
        const size_t start = p_;
        if (p_ < s_.size() && s_[p_] == '-')
            ++p_;
        auto digits = [&] {
            const size_t d = p_;
            while (p_ < s_.size() && isdigit(static_cast<unsigned char>(s_[p_])))
                ++p_;
            return p_ > d;
        };
        if (!digits())
            return false;
        if (p_ < s_.size() && s_[p_] == '.') {
            ++p_;
            if (!digits())
                return false;
        }
        if (p_ < s_.size() && (s_[p_] == 'e' || s_[p_] == 'E')) {
            ++p_;
            if (p_ < s_.size() && (s_[p_] == '+' || s_[p_] == '-'))
                ++p_;
            if (!digits())
                return false;
        }
        out = s_.substr(start, p_ - start);
        return true;
    }
    bool value(Json& v) {
        space();
        if (p_ >= s_.size())
            return false;
        const char c = s_[p_];
        if (c == '{') {
            v.kind = Json::Object;
            ++p_;
            space();
            if (p_ < s_.size() && s_[p_] == '}')
                return ++p_, true;
            for (;;) {
                space();
                std::string key;
                Json item;
                if (!string(key))
                    return false;
                space();
                if (p_ >= s_.size() || s_[p_++] != ':' || !value(item))
                    return false;
                v.members.emplace_back(std::move(key), std::move(item));
                space();
                if (p_ < s_.size() && s_[p_] == ',') {
                    ++p_;
                    continue;
                }
                return p_ < s_.size() && s_[p_++] == '}';
            }
        }
        if (c == '[') {
            v.kind = Json::Array;
            ++p_;
            space();
            if (p_ < s_.size() && s_[p_] == ']')
                return ++p_, true;
            for (;;) {
                Json item;
                if (!value(item))
                    return false;
                v.items.push_back(std::move(item));
                space();
                if (p_ < s_.size() && s_[p_] == ',') {
                    ++p_;
                    continue;
                }
                return p_ < s_.size() && s_[p_++] == ']';
            }
        }
        if (c == '"')
            return v.kind = Json::String, string(v.text);
        if (literal("null"))
            return v.kind = Json::Null, true;
        if (literal("true"))
            return v.kind = Json::Bool, v.boolean = true, true;
        if (literal("false"))
            return v.kind = Json::Bool, v.boolean = false, true;
        v.kind = Json::Number;
        return number(v.text);
    }

    const std::string& s_;
    size_t p_ = 0;
};

inline Json parseJson(const std::string& text) {
    Json j;
    JsonParser parser(text);
    EXPECT_TRUE(parser.parse(j)) << "not valid JSON:\n" << text.substr(0, 2000);
    return j;
}

} // namespace clitest
