// Recovery snapshots of unsaved work: a folder holding a link to (or copy of) the file pair the
// job was read from and a small text file with every value the user can edit, exactly.
#pragma once

#include <cstdint>
#include <string>

namespace tavolin {

// What a snapshot folder says about itself, shown when it is offered.
struct RecoveryInfo {
    std::string originalPath; // the job's own file: "保存" writes there after a restore
    std::u16string name;      // the job's file name
    int64_t time = 0;         // seconds since 1970 of the snapshot
};

// The text file of a snapshot folder.
inline constexpr const char* kRecoveryFile = "edits.txt";

// Reads the head of the snapshot in `folder`; the message of a failure, else "".
std::u16string readRecoveryInfo(const std::string& folder, RecoveryInfo& info);

} // namespace tavolin
