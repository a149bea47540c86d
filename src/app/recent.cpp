#include "app/recent.h"

#include <QDir>
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

std::vector<QString> recentCaptions(const settings::reopenarr_t& list)
{
    std::vector<QString> captions;
    for (const QString& e : list) captions.push_back(e.trimmed().isEmpty() ? QString() : recentCaption(e));
    const QString home = QDir::homePath();
    for (size_t i = 0; i < captions.size(); ++i) {
        if (captions[i].isEmpty()) continue;
        bool shared = false;
        for (size_t j = 0; j < captions.size() && !shared; ++j)
            shared = j != i && captions[i].compare(recentCaption(list[j]), Qt::CaseInsensitive) == 0 &&
                     !list[j].trimmed().isEmpty();
        if (!shared) continue;
        QString folder = QFileInfo(list[i].trimmed()).absolutePath();
        if (folder == home) folder = QStringLiteral("~");
        else if (folder.startsWith(home + QLatin1Char('/'))) folder = QStringLiteral("~") + folder.mid(home.size());
        captions[i] = QStringLiteral("%1  (%2)").arg(captions[i], QDir::toNativeSeparators(folder));
    }
    return captions;
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
