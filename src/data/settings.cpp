// The binary settings archive: little-endian items without header, strings in the wide-text form.
#include "data/settings.h"

#include "data/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavolin {

namespace {

// A settings file is a few kilobytes; anything beyond this is not ours and is not read.
constexpr size_t kMaxSettingsBytes = 16u << 20;

class ArchiveWriter {
public:
    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v & 0xFF));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v & 0xFFFF));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void i32(int v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void str(const std::u16string& s) {
        u8(0xFF);
        u16(0xFFFE);
        const size_t n = s.size();
        if (n < 0xFF) {
            u8(static_cast<uint8_t>(n));
        } else {
            u8(0xFF);
            if (n < 0xFFFE) {
                u16(static_cast<uint16_t>(n));
            } else {
                u16(0xFFFF);
                u32(static_cast<uint32_t>(n));
            }
        }
        for (char16_t c : s)
            u16(static_cast<uint16_t>(c));
    }

    std::vector<uint8_t> bytes;
};

// Every read checks the bytes that are really left; a failed read leaves its target untouched.
class ArchiveReader {
public:
    explicit ArchiveReader(const std::vector<uint8_t>& data) : data_(data) {}

    bool u8(uint8_t& v) {
        if (left() < 1)
            return false;
        v = data_[pos_++];
        return true;
    }
    bool u16(uint16_t& v) {
        if (left() < 2)
            return false;
        v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }
    bool u32(uint32_t& v) {
        if (left() < 4)
            return false;
        v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
            (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
            (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return true;
    }
    bool i32(int& v) {
        uint32_t u;
        if (!u32(u))
            return false;
        v = static_cast<int>(u);
        return true;
    }
    bool f32(float& v) {
        uint32_t u;
        if (!u32(u))
            return false;
        std::memcpy(&v, &u, sizeof v);
        return true;
    }
    bool str(std::u16string& s) {
        uint8_t lead;
        uint16_t marker;
        if (!u8(lead) || lead != 0xFF || !u16(marker) || marker != 0xFFFE)
            return false;
        uint8_t shortLength;
        if (!u8(shortLength))
            return false;
        uint32_t n = shortLength;
        if (shortLength == 0xFF) {
            uint16_t midLength;
            if (!u16(midLength))
                return false;
            n = midLength;
            if (midLength == 0xFFFE)
                return false; // a nested marker: not a length any writer of ours produces
            if (midLength == 0xFFFF && !u32(n))
                return false;
        }
        // Never allocate more than the file can still hold.
        if (n > left() / 2)
            return false;
        std::u16string text(n, u'\0');
        for (uint32_t i = 0; i < n; ++i) {
            uint16_t c = 0;
            u16(c); // cannot fail: the length was checked against the bytes left
            text[i] = static_cast<char16_t>(c);
        }
        s = std::move(text);
        return true;
    }

private:
    size_t left() const { return data_.size() - pos_; }
    const std::vector<uint8_t>& data_;
    size_t pos_ = 0;
};

void writeArchive(ArchiveWriter& w, const AppSettings& s) {
    const ProjectInfo& p = s.project;
    w.str(p.INST);
    w.str(p.SITE);
    w.str(p.DATE);
    w.str(p.UNIT);
    w.str(p.PERSON);
    w.f32(p.Delay);
    w.u32(p.spare);
    w.str(p.Molddate);
    w.i32(p.Method);
    w.str(p.SPOT);
    w.f32(p.BETA);
    w.f32(p.LAMDA);
    w.f32(p.ETA);

    const PrintSettings& ps = s.print;
    for (int v : {ps.printHeader, ps.printFooter, ps.printPageNumber, ps.printFieldRecord,
                  ps.printResultTable, ps.borderWidth, ps.gridWidth, ps.marginTop, ps.marginLeft,
                  ps.marginBottom, ps.marginRight, ps.pageNumberPosition, ps.firstPageNumber,
                  ps.pageNumberFormat, ps.headerHeight, ps.headerPosition, ps.headerFont})
        w.i32(v);
    w.str(ps.headerText);
    w.i32(ps.footerHeight);
    w.i32(ps.footerPosition);
    w.i32(ps.footerFont);
    w.str(ps.footerText);

    for (int i = 0; i < ReportInfo::fieldCount; ++i)
        w.str(s.report.field(i));
    for (int width : s.barWidths)
        w.i32(width);
}

// Reads the items in order and stops at the first one that cannot be read completely.
void readArchive(ArchiveReader& r, AppSettings& s) {
    ProjectInfo& p = s.project;
    for (std::u16string* text : {&p.INST, &p.SITE, &p.DATE, &p.UNIT, &p.PERSON})
        if (!r.str(*text))
            return;
    if (!r.f32(p.Delay) || !r.u32(p.spare) || !r.str(p.Molddate) || !r.i32(p.Method) ||
        !r.str(p.SPOT) || !r.f32(p.BETA) || !r.f32(p.LAMDA) || !r.f32(p.ETA))
        return;

    PrintSettings& ps = s.print;
    for (int* v :
         {&ps.printHeader, &ps.printFooter, &ps.printPageNumber, &ps.printFieldRecord,
          &ps.printResultTable, &ps.borderWidth, &ps.gridWidth, &ps.marginTop, &ps.marginLeft,
          &ps.marginBottom, &ps.marginRight, &ps.pageNumberPosition, &ps.firstPageNumber,
          &ps.pageNumberFormat, &ps.headerHeight, &ps.headerPosition, &ps.headerFont})
        if (!r.i32(*v))
            return;
    if (!r.str(ps.headerText) || !r.i32(ps.footerHeight) || !r.i32(ps.footerPosition) ||
        !r.i32(ps.footerFont) || !r.str(ps.footerText))
        return;

    for (int i = 0; i < ReportInfo::fieldCount; ++i)
        if (!r.str(s.report.field(i)))
            return;
    for (int& width : s.barWidths)
        if (!r.i32(width))
            return;
}

} // namespace

void readSettings(const std::string& path, AppSettings& settings) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return;
    std::vector<uint8_t> data;
    uint8_t chunk[65536];
    size_t n;
    while (data.size() < kMaxSettingsBytes && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    std::fclose(file);
    if (data.size() > kMaxSettingsBytes)
        data.resize(kMaxSettingsBytes);
    ArchiveReader reader(data);
    readArchive(reader, settings);
}

bool writeSettings(const std::string& path, const AppSettings& settings) {
    ArchiveWriter writer;
    writeArchive(writer, settings);

    std::error_code ec;
    const std::filesystem::path target(path);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), ec);

    // As the job files: a unique temporary beside the target (two instances closing at once
    // must not write into one), flushed, renamed over it, and the folder flushed so the rename
    // survives a power failure.
    TempFile file(path);
    return file.open() && file.write(writer.bytes.data(), writer.bytes.size()) && file.finish() &&
           commitFile(file);
}

} // namespace tavolin
