// Texts cut down to what an XML part of an office file can hold.
#pragma once

#include <QString>

namespace tavolin::report {

// The text without the characters XML cannot hold (control characters other than tab and line
// end, lone surrogates, U+FFFE/U+FFFF), which a job's texts may carry from the instrument's
// files; the .docx and the .xlsx writers both pass every text through it.
QString xmlSafe(const QString& text);

} // namespace tavolin::report
