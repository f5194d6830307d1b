// The name of a standard in the report heads.
#include "data/labels.h"

namespace tavolin {

std::u16string standardReportName(int standard) {
    switch (standard) {
    case 0:
        return u"CECS 02：2005";
    case 1:
        return u"TB10426-2004";
    default:
        return u"";
    }
}

} // namespace tavolin
