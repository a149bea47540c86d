#include "panels/fontlist.h"

#include <QFont>
#include <QFontInfo>

#include <algorithm>

namespace panels {

namespace {

constexpr uint32_t bit(int32_t n) { return uint32_t(1) << n; }

uint32_t codePagesOf(QFontDatabase::WritingSystem ws)
{
    switch (ws) {
    case QFontDatabase::Latin: return bit(0) | bit(1) | bit(4) | bit(7);
    case QFontDatabase::Cyrillic: return bit(2);
    case QFontDatabase::Greek: return bit(3);
    case QFontDatabase::Hebrew: return bit(5);
    case QFontDatabase::Arabic: return bit(6);
    case QFontDatabase::Thai: return bit(16);
    case QFontDatabase::Japanese: return bit(17);
    case QFontDatabase::SimplifiedChinese: return bit(18);
    case QFontDatabase::Korean: return bit(19);
    case QFontDatabase::TraditionalChinese: return bit(20);
    default: return 0;
    }
}

// A text item stores its font name in single bytes.
bool storable(const QString& name)
{
    if (name.isEmpty() || name.size() > maxFontName) return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0xFF; });
}

} // namespace

const std::array<characterSet_t, 13> characterSets{{
    {"Western", 1, 0},
    {"Central/Eastern European", 238, 1},
    {"Cyrillic", 204, 2},
    {"Greek", 161, 3},
    {"Turkish", 162, 4},
    {"Hebrew", 177, 5},
    {"Arabic", 178, 6},
    {"Baltic", 186, 7},
    {"Japanese (shift-jis)", 128, 17},
    {"Thai", 222, 16},
    {"Chinese (simplified)", 134, 18},
    {"Korean (Wansung)", 129, 19},
    {"Chinese (traditional)", 136, 20},
}};

uint32_t codePagesOf(const std::vector<QFontDatabase::WritingSystem>& systems)
{
    uint32_t bits = 0;
    for (QFontDatabase::WritingSystem ws : systems) bits |= codePagesOf(ws);
    return bits;
}

std::vector<settings::fontEntry_t> makeFontList(const std::vector<installedFamily_t>& families)
{
    std::vector<settings::fontEntry_t> list;
    for (const installedFamily_t& f : families) {
        if (!storable(f.name)) continue;
        const uint32_t bits = codePagesOf(f.systems);
        auto same = std::find_if(list.begin(), list.end(), [&](const settings::fontEntry_t& e) { return e.name == f.name; });
        // A family listed by several foundries covers what any of them covers.
        if (same != list.end()) same->codePages |= bits;
        else list.push_back({f.name, bits, 0});
    }
    std::stable_sort(list.begin(), list.end(), [](const settings::fontEntry_t& a, const settings::fontEntry_t& b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    return list;
}

std::vector<installedFamily_t> installedFamilies()
{
    std::vector<installedFamily_t> out;
    for (const QString& name : QFontDatabase::families()) {
        if (!QFontDatabase::isScalable(name)) continue;
        const QList<QFontDatabase::WritingSystem> ws = QFontDatabase::writingSystems(name);
        // A family several foundries make is listed as "Family [Foundry]";
        // the text panel offers the family once.
        QString family = name;
        if (const qsizetype at = family.indexOf(QLatin1String(" [")); at > 0 && family.endsWith(QLatin1Char(']')))
            family.truncate(at);
        out.push_back({family, std::vector<QFontDatabase::WritingSystem>(ws.begin(), ws.end())});
    }
    return out;
}

int32_t findFont(const std::vector<settings::fontEntry_t>& list, const QString& name)
{
    int32_t found = -1;
    for (int32_t i = 0; i < int32_t(list.size()); ++i)
        if (list[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0) found = i;
    return found;
}

std::vector<int32_t> charsetCodes(uint32_t codePages)
{
    std::vector<int32_t> codes{charsetNone};
    for (const characterSet_t& c : characterSets)
        if (codePages & bit(c.codePage)) codes.push_back(c.code);
    return codes;
}

QString substituteFamily(const QString& name)
{
    const QString used = QFontInfo(QFont(name)).family();
    return used.compare(name, Qt::CaseInsensitive) == 0 ? QString() : used;
}

QString charsetName(int32_t code)
{
    if (code == charsetNone) return QString::fromLatin1(charsetNoneName);
    for (const characterSet_t& c : characterSets)
        if (c.code == code) return QString::fromLatin1(c.name);
    return QString();
}

} // namespace panels
