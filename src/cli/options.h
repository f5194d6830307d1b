// Command-line parsing: positional arguments, "--name value" options and flags, checked values.
#pragma once

#include "data/jobeval.h"

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavolin::cli {

// Wrong usage: the message, then the usage text, exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
};

// Splits argv[first..] into positional arguments and the named options ("--name value",
// "--name=value" or flags); "--" ends the options. Unknown or repeated options are usage errors.
ParsedArgs parseArgs(int argc, char** argv, int first, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions);

// Options shared by evaluate and save-result.
extern const std::set<std::string> kEvalValueOptions;
extern const std::set<std::string> kEvalFlagOptions;
EvalSettings evalSettingsFrom(const ParsedArgs& args);

// A whole-text decimal number; anything else is a usage error naming `what`.
float parseNumber(const std::string& text, const std::string& what);
// A whole-text integer of at least 1.
int parsePositive(const std::string& text, const std::string& what);

struct WaveformRequest {
    int member = 0; // 0-based
    int area = 0;
    int point = 0;
    bool highOn = false;
    float highKHz = 0;
    bool lowOn = false;
    float lowKHz = 0;
};
extern const std::set<std::string> kWaveformValueOptions;
// Checks the cut-offs against the filter's own ranges and order.
WaveformRequest waveformRequestFrom(const ParsedArgs& args);

std::string usageText();

} // namespace tavolin::cli
