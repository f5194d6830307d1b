// Recovery snapshots of unsaved work: a folder holding a link to (or copy of) the file pair the
// job was read from and a small text file with every value the user can edit, exactly.
#pragma once

#include <cstdint>
#include <string>

namespace tavolin {

class CTavolinDoc;

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

// The steps of CTavolinDoc::writeRecovery, for a writer that takes the disk off the user's way:
// the pair linked once, the text made from the job (fast, in memory), the text written
// atomically (anywhere, from the text alone).
std::u16string linkRecoveryPair(const CTavolinDoc& doc, const std::string& folder);
std::string recoveryText(const CTavolinDoc& doc, int64_t time);
std::u16string writeRecoveryText(const std::string& folder, const std::string& text);

} // namespace tavolin
