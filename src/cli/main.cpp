// tavolin-cli: the program's jobs without a window, for scripting and batch work.
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/options.h"
#include "cli/reportcommand.h"

#include "tavolinversion.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    using namespace tavolin::cli;
    if (argc < 2) {
        writeErr(usageText());
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        writeOut(usageText());
        return 0;
    }
    if (command == "--version") {
        writeOut(std::string("tavolin-cli ") + tavolin::kVersion + "\n");
        return 0;
    }
    try {
        int status = 2;
        if (command == "evaluate")
            status = runEvaluate(argc - 1, argv + 1);
        else if (command == "save-result")
            status = runSaveResult(argc - 1, argv + 1);
        else if (command == "save")
            status = runSave(argc - 1, argv + 1);
        else if (command == "merge")
            status = runMerge(argc - 1, argv + 1);
        else if (command == "waveform")
            status = runWaveform(argc - 1, argv + 1);
        else if (command == "autopick")
            status = runAutopick(argc - 1, argv + 1);
        else if (command == "fit-curve")
            status = runFitCurve(argc - 1, argv + 1);
        else if (command == "report")
            status = runReport(argc - 1, argv + 1);
        else
            throw UsageError("未知命令：" + command);
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            errorLine("写入标准输出失败");
            return 1;
        }
        return status;
    } catch (const UsageError& e) {
        errorLine(e.what());
        writeErr(usageText());
        return 2;
    } catch (const std::bad_alloc&) {
        errorLine("内存不足");
        return 1;
    } catch (const std::exception& e) {
        errorLine(e.what());
        return 1;
    }
}
