// The .docx package: fixed parts, and document.xml made table by table while libzip compresses it.
#include "report/docxfile.h"
#include "report/xmltext.h"

#include "report/replacefile.h"

#include <QDateTime>
#include <QXmlStreamWriter>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>

namespace tavolin::report {

namespace {

constexpr const char* kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kOfficeRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Half-points, the unit of w:sz.
QString halfPoints(double points) {
    return QString::number(std::max(2, static_cast<int>(std::lround(points * 2))));
}

QByteArray contentTypes() {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement("Types");
    w.writeDefaultNamespace("http://schemas.openxmlformats.org/package/2006/content-types");
    auto def = [&](const char* ext, const char* type) {
        w.writeEmptyElement("Default");
        w.writeAttribute("Extension", ext);
        w.writeAttribute("ContentType", type);
    };
    auto over = [&](const char* part, const char* type) {
        w.writeEmptyElement("Override");
        w.writeAttribute("PartName", part);
        w.writeAttribute("ContentType", type);
    };
    def("rels", "application/vnd.openxmlformats-package.relationships+xml");
    def("xml", "application/xml");
    over("/word/document.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    over("/word/styles.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
    over("/word/settings.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
    over("/word/fontTable.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml");
    over("/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml");
    over("/docProps/app.xml",
         "application/vnd.openxmlformats-officedocument.extended-properties+xml");
    w.writeEndDocument();
    return out;
}

QByteArray relationships(const std::vector<std::pair<QString, QString>>& typeAndTarget) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement("Relationships");
    w.writeDefaultNamespace(kRelNs);
    int id = 1;
    for (const auto& [type, target] : typeAndTarget) {
        w.writeEmptyElement("Relationship");
        w.writeAttribute("Id", QStringLiteral("rId%1").arg(id++));
        w.writeAttribute("Type", type);
        w.writeAttribute("Target", target);
    }
    w.writeEndDocument();
    return out;
}

void startWordPart(QXmlStreamWriter& w, const char* root) {
    w.writeStartDocument(QStringLiteral("1.0"), true);
    w.writeStartElement(root);
    w.writeNamespace(kW, "w");
}

QString cellStyleId(const QString& halfPointSize) {
    return QStringLiteral("TableText") + halfPointSize;
}

void writeRunProperties(QXmlStreamWriter& w, const QString& size, bool bold) {
    w.writeStartElement("w:rPr");
    if (bold) {
        w.writeEmptyElement("w:b");
        w.writeEmptyElement("w:bCs");
    }
    w.writeEmptyElement("w:sz");
    w.writeAttribute("w:val", size);
    w.writeEndElement();
}

void writeLine(QXmlStreamWriter& w, const QString& line) {
    if (line.isEmpty())
        return;
    w.writeStartElement("w:t");
    if (line.contains(QLatin1Char(' ')) || line.contains(QLatin1Char('\t')))
        w.writeAttribute("xml:space", "preserve");
    w.writeCharacters(line);
    w.writeEndElement();
}

// Run text with line breaks; spaces kept as they are.
void writeRunText(QXmlStreamWriter& w, const QString& raw) {
    const QString text = xmlSafe(raw);
    if (!text.contains(QLatin1Char('\n'))) {
        writeLine(w, text);
        return;
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            w.writeEmptyElement("w:br");
        writeLine(w, lines[i]);
    }
}

QByteArray styles(const DocxPage& page) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    startWordPart(w, "w:styles");
    w.writeStartElement("w:docDefaults");
    w.writeStartElement("w:rPrDefault");
    w.writeStartElement("w:rPr");
    if (!page.fontFamily.isEmpty()) {
        w.writeEmptyElement("w:rFonts");
        for (const char* a : {"w:ascii", "w:hAnsi", "w:eastAsia", "w:cs"})
            w.writeAttribute(a, page.fontFamily);
    }
    w.writeEmptyElement("w:sz");
    w.writeAttribute("w:val", "21");
    w.writeEmptyElement("w:szCs");
    w.writeAttribute("w:val", "21");
    w.writeEmptyElement("w:lang");
    w.writeAttribute("w:val", "en-US");
    w.writeAttribute("w:eastAsia", "zh-CN");
    w.writeAttribute("w:bidi", "ar-SA");
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement("w:pPrDefault");
    w.writeStartElement("w:pPr");
    w.writeEmptyElement("w:spacing");
    w.writeAttribute("w:before", "0");
    w.writeAttribute("w:after", "0");
    w.writeAttribute("w:line", "240");
    w.writeAttribute("w:lineRule", "auto");
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement(); // docDefaults

    auto style = [&](const char* type, const char* id, const char* name) {
        w.writeStartElement("w:style");
        w.writeAttribute("w:type", type);
        w.writeAttribute("w:default", "1");
        w.writeAttribute("w:styleId", id);
        w.writeEmptyElement("w:name");
        w.writeAttribute("w:val", name);
    };
    style("paragraph", "Normal", "Normal");
    w.writeEmptyElement("w:qFormat");
    w.writeEndElement();
    style("character", "DefaultParagraphFont", "Default Paragraph Font");
    w.writeEmptyElement("w:semiHidden");
    w.writeEndElement();
    style("table", "TableNormal", "Normal Table");
    w.writeEmptyElement("w:semiHidden");
    w.writeStartElement("w:tblPr");
    w.writeStartElement("w:tblCellMar");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right"}) {
        w.writeEmptyElement(side);
        w.writeAttribute(
            "w:w",
            std::strcmp(side, "w:left") == 0 || std::strcmp(side, "w:right") == 0 ? "108" : "0");
        w.writeAttribute("w:type", "dxa");
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    style("numbering", "NoList", "No List");
    w.writeEmptyElement("w:semiHidden");
    w.writeEndElement();
    for (double points : page.textPointSizes) {
        const QString size = halfPoints(points);
        w.writeStartElement("w:style");
        w.writeAttribute("w:type", "paragraph");
        w.writeAttribute("w:customStyle", "1");
        w.writeAttribute("w:styleId", cellStyleId(size));
        w.writeEmptyElement("w:name");
        w.writeAttribute("w:val", QStringLiteral("Table Text %1").arg(points));
        w.writeEmptyElement("w:basedOn");
        w.writeAttribute("w:val", "Normal");
        w.writeEmptyElement("w:qFormat");
        w.writeStartElement("w:pPr");
        w.writeEmptyElement("w:jc");
        w.writeAttribute("w:val", "center");
        w.writeEndElement();
        writeRunProperties(w, size, false);
        w.writeEndElement();
    }
    w.writeEndDocument();
    return out;
}

QByteArray settings() {
    QByteArray out;
    QXmlStreamWriter w(&out);
    startWordPart(w, "w:settings");
    w.writeEmptyElement("w:zoom");
    w.writeAttribute("w:percent", "100");
    w.writeEmptyElement("w:defaultTabStop");
    w.writeAttribute("w:val", "420");
    w.writeEmptyElement("w:characterSpacingControl");
    w.writeAttribute("w:val", "compressPunctuation");
    w.writeStartElement("w:compat");
    w.writeEmptyElement("w:compatSetting");
    w.writeAttribute("w:name", "compatibilityMode");
    w.writeAttribute("w:uri", "http://schemas.microsoft.com/office/word");
    w.writeAttribute("w:val", "15");
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

QByteArray fontTable(const DocxPage& page) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    startWordPart(w, "w:fonts");
    if (!page.fontFamily.isEmpty()) {
        w.writeStartElement("w:font");
        w.writeAttribute("w:name", page.fontFamily);
        // The Chinese (GB2312) character set tells Word and WPS which fonts may stand in.
        w.writeEmptyElement("w:charset");
        w.writeAttribute("w:val", "86");
        w.writeEmptyElement("w:family");
        w.writeAttribute("w:val", "auto");
        w.writeEmptyElement("w:pitch");
        w.writeAttribute("w:val", "variable");
        w.writeEndElement();
    }
    w.writeEndDocument();
    return out;
}

QByteArray coreProperties() {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument(QStringLiteral("1.0"), true);
    w.writeStartElement("cp:coreProperties");
    w.writeNamespace("http://schemas.openxmlformats.org/package/2006/metadata/core-properties",
                     "cp");
    w.writeNamespace("http://purl.org/dc/elements/1.1/", "dc");
    w.writeNamespace("http://purl.org/dc/terms/", "dcterms");
    w.writeNamespace("http://www.w3.org/2001/XMLSchema-instance", "xsi");
    w.writeTextElement("dc:creator", QStringLiteral("Tavolin"));
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    for (const char* name : {"dcterms:created", "dcterms:modified"}) {
        w.writeStartElement(name);
        w.writeAttribute("xsi:type", "dcterms:W3CDTF");
        w.writeCharacters(now);
        w.writeEndElement();
    }
    w.writeEndDocument();
    return out;
}

QByteArray appProperties() {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument(QStringLiteral("1.0"), true);
    w.writeStartElement("Properties");
    w.writeDefaultNamespace(
        "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
    w.writeTextElement("Application", QStringLiteral("Tavolin"));
    w.writeEndDocument();
    return out;
}

// A centred paragraph; the mark carries the size too so an empty cell keeps its height.
void writeParagraph(QXmlStreamWriter& w, const QString& text, const QString& size, bool bold,
                    bool pageBreakBefore) {
    w.writeStartElement("w:p");
    w.writeStartElement("w:pPr");
    if (pageBreakBefore)
        w.writeEmptyElement("w:pageBreakBefore");
    w.writeEmptyElement("w:jc");
    w.writeAttribute("w:val", "center");
    writeRunProperties(w, size, bold);
    w.writeEndElement();
    if (!text.isEmpty()) {
        w.writeStartElement("w:r");
        writeRunProperties(w, size, bold);
        writeRunText(w, text);
        w.writeEndElement();
    }
    w.writeEndElement();
}

// A cell paragraph of a declared size: its centring and size come from its style, which keeps
// a long document small and quick to write.
void writeStyledParagraph(QXmlStreamWriter& w, const QString& text, const QString& styleId) {
    w.writeStartElement("w:p");
    w.writeStartElement("w:pPr");
    w.writeEmptyElement("w:pStyle");
    w.writeAttribute("w:val", styleId);
    w.writeEndElement();
    if (!text.isEmpty()) {
        w.writeStartElement("w:r");
        writeRunText(w, text);
        w.writeEndElement();
    }
    w.writeEndElement();
}

struct ModelError {
    QString message;
};

void writeTable(QXmlStreamWriter& w, const OfficeTable& t, const DocxPage& page, bool first) {
    if (t.rows <= 0 || t.columns <= 0 ||
        (!t.columnWeights.empty() && static_cast<int>(t.columnWeights.size()) != t.columns))
        throw ModelError{QStringLiteral("表格的行数或列数无效")};
    // Which cell covers each grid position; -1 for none.
    std::vector<int> owner(static_cast<size_t>(t.rows) * t.columns, -1);
    for (size_t i = 0; i < t.cells.size(); ++i) {
        const TableCell& c = t.cells[i];
        if (c.row < 0 || c.column < 0 || c.rowSpan < 1 || c.columnSpan < 1 ||
            c.row + c.rowSpan > t.rows || c.column + c.columnSpan > t.columns)
            throw ModelError{QStringLiteral("表格单元格超出表格")};
        for (int r = c.row; r < c.row + c.rowSpan; ++r)
            for (int k = c.column; k < c.column + c.columnSpan; ++k) {
                int& o = owner[static_cast<size_t>(r) * t.columns + k];
                if (o >= 0)
                    throw ModelError{QStringLiteral("表格单元格重叠")};
                o = static_cast<int>(i);
            }
    }

    const int width = page.width - page.marginLeft - page.marginRight;
    const std::vector<int> widths = columnWidths(t, width);
    const QString titleSize = halfPoints(t.titlePointSize);
    const QString size = halfPoints(t.textPointSize);
    const bool styled = std::any_of(page.textPointSizes.begin(), page.textPointSizes.end(),
                                    [&](double p) { return halfPoints(p) == size; });
    const QString styleId = cellStyleId(size);

    writeParagraph(w, t.title, titleSize, t.titleBold, !first);

    w.writeStartElement("w:tbl");
    w.writeStartElement("w:tblPr");
    w.writeEmptyElement("w:tblW");
    w.writeAttribute("w:w", QString::number(width));
    w.writeAttribute("w:type", "dxa");
    w.writeEmptyElement("w:jc");
    w.writeAttribute("w:val", "center");
    w.writeStartElement("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        w.writeEmptyElement(side);
        w.writeAttribute("w:val", "single");
        w.writeAttribute("w:sz", "4");
        w.writeAttribute("w:space", "0");
        w.writeAttribute("w:color", "000000");
    }
    w.writeEndElement();
    w.writeEmptyElement("w:tblLayout");
    w.writeAttribute("w:type", "fixed");
    const QString cellMargin = QString::number(std::lround(page.cellMarginPoints * 20));
    w.writeStartElement("w:tblCellMar");
    for (const char* side : {"w:left", "w:right"}) {
        w.writeEmptyElement(side);
        w.writeAttribute("w:w", cellMargin);
        w.writeAttribute("w:type", "dxa");
    }
    w.writeEndElement();
    w.writeEmptyElement("w:tblLook");
    w.writeAttribute("w:val", "0000");
    w.writeEndElement(); // tblPr

    w.writeStartElement("w:tblGrid");
    for (int cw : widths) {
        w.writeEmptyElement("w:gridCol");
        w.writeAttribute("w:w", QString::number(cw));
    }
    w.writeEndElement();

    std::vector<int> spanStart(static_cast<size_t>(t.columns) + 1, 0);
    for (int c = 0; c < t.columns; ++c)
        spanStart[c + 1] = spanStart[c] + widths[c];
    // The width texts of the spans met, made once per table.
    std::vector<QString> spanWidth(static_cast<size_t>(t.columns) * (t.columns + 1));
    auto widthText = [&](int column, int span) -> const QString& {
        QString& text = spanWidth[static_cast<size_t>(column) * (t.columns + 1) + span];
        if (text.isEmpty())
            text = QString::number(spanStart[column + span] - spanStart[column]);
        return text;
    };
    const QString empty;
    for (int r = 0; r < t.rows; ++r) {
        w.writeStartElement("w:tr");
        w.writeStartElement("w:trPr");
        w.writeEmptyElement("w:jc");
        w.writeAttribute("w:val", "center");
        w.writeEndElement();
        for (int c = 0; c < t.columns;) {
            const int o = owner[static_cast<size_t>(r) * t.columns + c];
            const TableCell* cell = o >= 0 ? &t.cells[o] : nullptr;
            const int span = cell ? cell->columnSpan : 1;
            w.writeStartElement("w:tc");
            w.writeStartElement("w:tcPr");
            w.writeEmptyElement("w:tcW");
            w.writeAttribute("w:w", widthText(c, span));
            w.writeAttribute("w:type", "dxa");
            if (span > 1) {
                w.writeEmptyElement("w:gridSpan");
                w.writeAttribute("w:val", QString::number(span));
            }
            if (cell && cell->rowSpan > 1) {
                w.writeEmptyElement("w:vMerge");
                if (r == cell->row)
                    w.writeAttribute("w:val", "restart");
            }
            w.writeEmptyElement("w:vAlign");
            w.writeAttribute("w:val", "center");
            w.writeEndElement(); // tcPr
            const QString& text = cell && r == cell->row ? cell->text : empty;
            if (styled)
                writeStyledParagraph(w, text, styleId);
            else
                writeParagraph(w, text, size, false, false);
            w.writeEndElement(); // tc
            c += span;
        }
        w.writeEndElement(); // tr
    }
    w.writeEndElement(); // tbl
}

constexpr qsizetype kPieceCapacity = 1 << 20;

// document.xml as a libzip source that makes each table when the compressor wants more bytes.
class DocumentStream {
public:
    DocumentStream(const DocxPage& page, int count, const std::function<OfficeTable(int)>& tableAt)
        : page_(page), count_(count), tableAt_(tableAt) {
        zip_error_init(&error_);
    }
    ~DocumentStream() { zip_error_fini(&error_); }

    static zip_int64_t callback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
        return static_cast<DocumentStream*>(state)->command(data, len, cmd);
    }
    const QString& modelError() const { return modelError_; }

private:
    zip_int64_t command(void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
        switch (cmd) {
        case ZIP_SOURCE_OPEN:
            next_ = -1;
            pending_.clear();
            offset_ = 0;
            return 0;
        case ZIP_SOURCE_READ:
            try {
                return read(static_cast<char*>(data), len);
            } catch (const ModelError& e) {
                modelError_ = e.message;
                zip_error_set(&error_, ZIP_ER_INTERNAL, 0);
            } catch (const std::bad_alloc&) {
                zip_error_set(&error_, ZIP_ER_MEMORY, 0);
            } catch (...) {
                zip_error_set(&error_, ZIP_ER_INTERNAL, 0);
            }
            return -1;
        case ZIP_SOURCE_CLOSE:
            pending_ = QByteArray();
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->mtime = std::time(nullptr);
            // Any size below 4 GiB: libzip then writes plain headers (not Zip64, which some
            // office programs refuse) and puts the real sizes in once the part is written.
            st->size = 1;
            st->valid |= ZIP_STAT_MTIME | ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error_, data, len);
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                  ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    zip_int64_t read(char* data, zip_uint64_t len) {
        zip_uint64_t done = 0;
        while (done < len) {
            if (offset_ >= pending_.size() && !refill())
                break;
            const zip_uint64_t n = std::min<zip_uint64_t>(
                len - done, static_cast<zip_uint64_t>(pending_.size() - offset_));
            std::memcpy(data + done, pending_.constData() + offset_, n);
            done += n;
            offset_ += static_cast<qsizetype>(n);
        }
        return static_cast<zip_int64_t>(done);
    }

    // The next piece: the document's start, one table, or the end with the page settings.
    bool refill() {
        if (next_ > count_)
            return false;
        // The buffer keeps its memory from table to table: fresh pages cost more than the XML.
        pending_.resize(0);
        if (pending_.capacity() < kPieceCapacity)
            pending_.reserve(kPieceCapacity);
        offset_ = 0;
        QXmlStreamWriter w(&pending_);
        if (next_ < 0) {
            w.writeStartDocument(QStringLiteral("1.0"), true);
            w.writeStartElement("w:document");
            w.writeNamespace(kW, "w");
            w.writeNamespace(kOfficeRel, "r");
            w.writeStartElement("w:body");
            // Closed by the last piece; the writer is not asked to close them here.
            w.writeCharacters(QString());
        } else if (next_ < count_) {
            writeTable(w, tableAt_(next_), page_, next_ == 0);
            if (w.hasError())
                throw ModelError{QStringLiteral("表格的文字无法写入")};
        } else {
            // A body may not end in a table; this paragraph is kept tiny so it adds no page.
            w.writeStartElement("w:p");
            w.writeStartElement("w:pPr");
            w.writeEmptyElement("w:spacing");
            w.writeAttribute("w:line", "20");
            w.writeAttribute("w:lineRule", "exact");
            w.writeStartElement("w:rPr");
            w.writeEmptyElement("w:sz");
            w.writeAttribute("w:val", "2");
            w.writeEndElement();
            w.writeEndElement();
            w.writeEndElement();
            w.writeStartElement("w:sectPr");
            w.writeEmptyElement("w:pgSz");
            w.writeAttribute("w:w", QString::number(page_.width));
            w.writeAttribute("w:h", QString::number(page_.height));
            w.writeEmptyElement("w:pgMar");
            w.writeAttribute("w:top", QString::number(page_.marginTop));
            w.writeAttribute("w:right", QString::number(page_.marginRight));
            w.writeAttribute("w:bottom", QString::number(page_.marginBottom));
            w.writeAttribute("w:left", QString::number(page_.marginLeft));
            w.writeAttribute("w:header", "851");
            w.writeAttribute("w:footer", "992");
            w.writeAttribute("w:gutter", "0");
            w.writeEndElement();
            pending_.append("</w:body></w:document>");
        }
        ++next_;
        return true;
    }

    const DocxPage& page_;
    int count_;
    const std::function<OfficeTable(int)>& tableAt_;
    int next_ = -1;
    QByteArray pending_;
    qsizetype offset_ = 0;
    zip_error_t error_;
    QString modelError_;
};

int systemError(zip_error_t* error) {
    return zip_error_system_type(error) == ZIP_ET_SYS ? zip_error_code_system(error) : 0;
}

// Adds a part from bytes kept alive by the caller until the archive is closed.
bool addPart(zip_t* zip, const char* name, const QByteArray& bytes) {
    zip_source_t* source = zip_source_buffer(zip, bytes.constData(), bytes.size(), 0);
    if (!source)
        return false;
    if (zip_file_add(zip, name, source, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

} // namespace

std::vector<int> columnWidths(const OfficeTable& table, int width) {
    std::vector<int> out(static_cast<size_t>(std::max(0, table.columns)));
    if (out.empty())
        return out;
    double total = 0;
    for (int c = 0; c < table.columns; ++c)
        total += table.columnWeights.empty() ? 1.0 : table.columnWeights[c];
    double sum = 0;
    long previous = 0;
    for (int c = 0; c < table.columns; ++c) {
        sum += table.columnWeights.empty() ? 1.0 : table.columnWeights[c];
        const long edge = c + 1 == table.columns ? width : std::lround(width * sum / total);
        out[c] = static_cast<int>(edge - previous);
        previous = edge;
    }
    return out;
}

QString writeDocx(const QString& path, const DocxPage& page, int count,
                  const std::function<OfficeTable(int)>& tableAt) {
    ReplacingFile file(path);
    if (QString problem = file.check(); !problem.isEmpty())
        return problem;

    const QByteArray parts[] = {
        contentTypes(),
        relationships(
            {{QString::fromLatin1(kOfficeRel) + "/officeDocument", "word/document.xml"},
             {QString::fromLatin1(kRelNs).replace("relationships", "metadata/core-properties"),
              "docProps/core.xml"},
             {QString::fromLatin1(kOfficeRel) + "/extended-properties", "docProps/app.xml"}}),
        relationships({{QString::fromLatin1(kOfficeRel) + "/styles", "styles.xml"},
                       {QString::fromLatin1(kOfficeRel) + "/settings", "settings.xml"},
                       {QString::fromLatin1(kOfficeRel) + "/fontTable", "fontTable.xml"}}),
        styles(page),
        settings(),
        fontTable(page),
        coreProperties(),
        appProperties(),
    };
    const char* names[] = {
        "[Content_Types].xml", "_rels/.rels",       "word/_rels/document.xml.rels",
        "word/styles.xml",     "word/settings.xml", "word/fontTable.xml",
        "docProps/core.xml",   "docProps/app.xml"};

    int openError = 0;
    zip_t* zip = zip_open(file.tempPath().c_str(), ZIP_CREATE | ZIP_EXCL, &openError);
    if (!zip) {
        zip_error_t e;
        zip_error_init_with_code(&e, openError);
        const int sys = systemError(&e);
        zip_error_fini(&e);
        return writeFailure(path, sys);
    }
    DocumentStream stream(page, count, tableAt);
    bool added = true;
    for (size_t i = 0; i < std::size(parts) && added; ++i) {
        added = addPart(zip, names[i], parts[i]);
        if (added && i == 0) {
            // The main part right after the content types, as office programs write it.
            zip_source_t* source = zip_source_function(zip, &DocumentStream::callback, &stream);
            const zip_int64_t index =
                source ? zip_file_add(zip, "word/document.xml", source, ZIP_FL_ENC_UTF_8) : -1;
            if (index < 0) {
                if (source)
                    zip_source_free(source);
                added = false;
            } else {
                zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 6);
            }
        }
    }
    if (!added) {
        zip_discard(zip);
        return writeFailure(path, ENOMEM);
    }
    if (zip_close(zip) != 0) {
        const int sys = systemError(zip_get_error(zip));
        zip_discard(zip);
        if (!stream.modelError().isEmpty())
            return writeFailure(path, 0) + QStringLiteral("：") + stream.modelError();
        return writeFailure(path, sys);
    }
    return file.commit();
}

} // namespace tavolin::report
