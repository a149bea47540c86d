#include "app/recent.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace app {

void addRecentTo(settings::reopenarr_t& list, const QString& name)
{
    if (name.isEmpty()) return;
    const int n = static_cast<int>(list.size());
    for (int k = 0; k < n; ++k) {
        if (list[k].compare(name, Qt::CaseInsensitive) == 0) {
            for (int j = k; j + 1 < n; ++j) list[j] = list[j + 1];
            list[n - 1].clear();
            break;
        }
    }
    for (int j = n - 1; j > 0; --j) list[j] = list[j - 1];
    list[0] = name;
}

QString recentCaption(const QString& entry)
{
    return QFileInfo(entry.trimmed()).completeBaseName();
}

QString openMacroFileName(const QString& request)
{
    QString line = request;
    const qsizetype eol = line.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (eol >= 0) line.truncate(eol);
    const qsizetype q1 = line.indexOf(QLatin1Char('"'));
    if (q1 >= 0) line.remove(0, q1 + 1);
    const qsizetype q2 = line.indexOf(QLatin1Char('"'));
    if (q2 >= 0) line.truncate(q2);
    return line;
}

QString openMacroFor(const QString& path)
{
    return QStringLiteral("[open(\"") + path + QStringLiteral("\")]");
}

} // namespace app
