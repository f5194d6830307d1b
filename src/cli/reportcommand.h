// tavolin-cli report: the field record and result data tables of an evaluated job as files.
#pragma once

namespace tavolin::cli {

// argv[0] is "report"; returns the exit status. Runs its own offscreen QGuiApplication.
int runReport(int argc, char** argv);

} // namespace tavolin::cli
