// The .xlsx file through libxlsxwriter, written beside the target and renamed over it.
#include "report/xlsxfile.h"

#include "report/replacefile.h"
#include "report/xmltext.h"

#include <xlsxwriter.h>

#include <cerrno>

namespace tavolin::report {

QString writeXlsx(const QString& path, const SheetRows& rows, double columnWidth) {
    ReplacingFile file(path);
    if (QString problem = file.check(); !problem.isEmpty())
        return problem;
    if (rows.size() > LXW_ROW_MAX)
        return writeFailure(path, EFBIG);

    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.use_zip64 = LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(file.tempPath().c_str(), &options);
    if (!book)
        return writeFailure(path, ENOMEM);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Sheet1");
    lxw_error error = sheet ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (!error)
        error = worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, columnWidth, nullptr);
    QByteArray utf8;
    for (size_t r = 0; r < rows.size() && !error; ++r) {
        const auto& row = rows[r];
        for (size_t c = 0; c < row.size() && !error; ++c) {
            const QString text = xmlSafe(row[c]);
            if (text.isEmpty())
                continue; // an empty text is no cell at all in a sheet
            utf8 = text.toUtf8();
            error = worksheet_write_string(sheet, static_cast<lxw_row_t>(r),
                                           static_cast<lxw_col_t>(c), utf8.constData(), nullptr);
        }
    }
    errno = 0;
    const lxw_error closed = workbook_close(book); // frees the workbook whatever happens
    const int closeErrno = errno;
    if (error || closed) {
        const bool fileError = closed == LXW_ERROR_CREATING_XLSX_FILE ||
                               closed == LXW_ERROR_ZIP_FILE_OPERATION ||
                               closed == LXW_ERROR_CREATING_TMPFILE;
        const int sys = fileError ? closeErrno : 0;
        QString message = writeFailure(path, sys);
        if (sys == 0)
            message +=
                QStringLiteral("：") + QString::fromUtf8(lxw_strerror(error ? error : closed));
        return message;
    }
    return file.commit();
}

} // namespace tavolin::report
