// Merge of several data files into one result job: members in file order, renumbered.
#include "data/merge.h"

#include "data/textcodec.h"

namespace tavolin {

int MergeFiles(const std::vector<std::string>& paths, JobData& merged, const ReadOptions& options) {
    merged = JobData{};
    int read = 0;
    int total = 0;
    const int64_t fileCount = static_cast<int64_t>(paths.size());
    for (int64_t k = 0; k < fileCount; ++k) {
        const std::string& path = paths[static_cast<size_t>(k)];
        JobData file;
        ReadOptions fileOptions;
        fileOptions.notice = options.notice;
        const std::u16string error = ReadDataFile(path, file, fileOptions);
        if (!error.empty()) {
            if (options.notice)
                options.notice(u"读取文件" + utf8ToUtf16(path) + u"错误:" + error);
        } else {
            if (read == 0)
                merged.project = file.project;
            ++read;
            if (file.hasResult) {
                merged.result = file.result;
                merged.hasResult = true;
            }
            // A raw file has the records of lines 0 and 1; its member keeps the one whose
            // index has the parity of the member's SI.
            if (isRawPath(path) && file.sections.size() == 2 && !file.members.empty()) {
                const int si = file.members.front().SI;
                const size_t keep = static_cast<size_t>(((si % 2) + 2) % 2);
                const SectionPara kept = file.sections[keep];
                file.sections.assign(1, kept);
            }
            for (SectionPara& p : file.sections)
                merged.sections.push_back(p);
            // Specimens follow their members to the members' new places.
            const int offset = static_cast<int>(merged.members.size());
            for (Specimen s : file.specimens) {
                s.member += offset;
                merged.specimens.push_back(s);
            }
            for (size_t i = 0; i < file.members.size(); ++i) {
                merged.members.push_back(std::move(file.members[i]));
                merged.areas.push_back(i < file.areas.size() ? std::move(file.areas[i])
                                                             : AreaList{});
            }
            total += static_cast<int>(file.members.size());
        }
        if (options.progress)
            options.progress(k + 1, fileCount);
    }
    for (size_t j = 0; j < merged.sections.size(); ++j)
        merged.sections[j].SI = static_cast<int>(j);
    for (size_t j = 0; j < merged.members.size(); ++j) {
        MemberInfo& m = merged.members[j];
        m.SI = static_cast<int>(j);
        m.A = m.B = m.C = 0.0f;
        for (TestArea& a : merged.areas[j])
            a.SI = static_cast<int>(j);
    }
    merged.memberCount = total;
    return read;
}

} // namespace tavolin
