// The commands of tavolin-cli; each returns the process exit status.
#pragma once

#include <string>

namespace tavolin {
class CTavolinDoc;
}

namespace tavolin::cli {

// Opens a job as the program does, reader notices and progress on standard error; false (the
// message shown) when it fails.
bool openDocument(CTavolinDoc& doc, const std::string& path);

// argv[0] is the command name; its arguments follow.
int runEvaluate(int argc, char** argv);
int runSaveResult(int argc, char** argv);
int runSave(int argc, char** argv);
int runMerge(int argc, char** argv);
int runWaveform(int argc, char** argv);
int runAutopick(int argc, char** argv);
// fit-curve SPECIMENS.csv [--json] [--name NAME --add-to LIBRARY]
int runFitCurve(int argc, char** argv);

} // namespace tavolin::cli
