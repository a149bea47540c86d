// How the output functions report a failure: the reason goes to the caller's
// error text when it asked for one, and the function returns false.
#pragma once

#include <QString>

namespace output {

inline bool fail(QString* error, const QString& why)
{
    if (error) *error = why;
    return false;
}

inline const QString noPageReason = QStringLiteral("the document has no page");
inline const QString tooLargeReason = QStringLiteral("the page is too large to print at this resolution");

} // namespace output
