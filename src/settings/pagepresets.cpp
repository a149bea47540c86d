#include "settings/pagepresets.h"

#include <iterator>
#include <utility>

namespace page {

namespace {

// ---- design types -------------------------------------------------------

struct designType_t {
    const char* name;
    const char* description;
};

const designType_t designTypes[designTypeCount] = {
    {"Illustrations",
     "'Illustrations' include posters, flyers, charts, photo books and other designs that are "
     "printed on the whole sheet of paper."},
    {"Postcards",
     "'Postcards' include postcards, greeting cards, rotary cards, name badges, and other designs "
     "that are printed in rows and columns on a sheet of pre-cut paper."},
    {"Greeting Cards",
     "'Greeting Cards' include any cards that have one or more folds, either horizontal or "
     "vertical, that are printed in rows and columns on a sheet of pre-cut paper."},
    {"Business Cards",
     "'Business Cards' include business cards, either horizontal or vertical, simple or folding, "
     "that are printed in rows and columns on a sheet of pre-cut paper."},
    {"Labels",
     "'Labels' include mailing and other labels that are printed in rows and columns on a sheet "
     "of paper."},
    {"CD/DVD Labels",
     "'CD/DVD Labels' have circular shapes and are printed on a sheet of pre-cut paper or foil, "
     "and then applied on the surface of CDs or DVDs."},
    {"Jewel Case Inserts",
     "'Jewel Case Inserts' include front and back case designs that are printed on a sheet of "
     "pre-cut paper, and then inserted into CD or DVD jewel cases."},
    {"DVD Case Inserts",
     "'DVD Case Inserts' include front and back case designs that are printed on a sheet of "
     "pre-cut paper, and then inserted into DVD cases."},
    {"Digital Images",
     "'Digital Images' include Web and email pictures that are published or sent over the "
     "Internet."},
    {"Brochures",
     "'Brochures' include designs and publications that are printed on a sheet of paper and then "
     "folded."},
    {"Tent Cards", "'Tent Cards' include any cards that fold in the middle to stand upright."},
};

// String-table words the list texts are composed of.
QString word(int32_t type) { return QString::fromLatin1(designTypes[type - 1].name); }
QString lowerWord(int32_t type) { return word(type).toLower(); }
const QString comma = QStringLiteral(", ");
const QString vertical = QStringLiteral("Vertical");
const QString horizontal = QStringLiteral("horizontal");
const QString fold = QStringLiteral("Fold");

// ---- pixel rows -----------------------------------------------------------

constexpr int32_t kept = 0;
constexpr int32_t P = portrait;
constexpr int32_t L = landscape;

struct pixelRow_t {
    const char* name;  // a photo row's name is the size word; "Photo" follows
    int32_t width, height;
    int32_t orientation;  // kept for photos and squares
    bool photo;
};

const pixelRow_t pixelRows[] = {
    {"Small", 250, 350, kept, true},       {"Medium", 350, 500, kept, true},
    {"Large", 500, 700, kept, true},       {"Leaderboard", 728, 90, L, false},
    {"Banner", 468, 60, L, false},         {"Half Banner", 234, 60, L, false},
    {"Skyscraper", 120, 600, P, false},    {"Wide Skyscraper", 160, 600, P, false},
    {"Vertical Banner", 120, 240, P, false}, {"Button", 125, 125, kept, false},
    {"Medium Rectangle", 300, 250, L, false}, {"Square", 250, 250, kept, false},
    {"Large Rectangle", 336, 280, L, false}, {"Small Rectangle", 180, 150, L, false},
};
constexpr int32_t pixelRowCount = sizeof(pixelRows) / sizeof(pixelRows[0]);

// ---- Illustrations rows --------------------------------------------------

struct sheetRow_t {
    const char* text;  // null for the composed rows (photo rows, inch rows)
    const char* paperName;
    const char* width;
    const char* height;
    bool photo;  // photo rows empty the margins
};

const sheetRow_t sheetRowsMm[] = {
    {"A0 - drawings, posters", nullptr, "841", "1189", false},
    {"A1 - drawings, posters, flip charts", nullptr, "594", "841", false},
    {"A2 - flip charts, diagrams", nullptr, "420", "594", false},
    {"A3 - newspapers, large tables", nullptr, "297", "420", false},
    {"A4 - letters, magazines, forms, catalogs", nullptr, "210", "297", false},
    {"A5 - note pads, books", nullptr, "148", "210", false},
    {"A6 - books, postcards", nullptr, "105", "148", false},
    {"A7 - index cards", nullptr, "74", "105", false},
    {"C4 - envelopes for A4 letters unfolded", nullptr, "229", "324", false},
    {"C5 - envelopes for A5 letters unfolded", nullptr, "162", "229", false},
    {"C6 - envelopes for A6 postcards", nullptr, "114", "162", false},
    {"C6/C5 - envelopes for A4 letters folded twice", nullptr, "114", "229", false},
    {"DL - envelopes for A4 letters folded twice", nullptr, "110", "220", false},
    {"B4 - newspapers, envelopes for C4", nullptr, "250", "353", false},
    {"B5 - books, envelopes for C5", nullptr, "176", "250", false},
    {"B6 - books, envelopes for C6", nullptr, "125", "176", false},
    {"B7 - passports", nullptr, "88", "125", false},
    {"B8 - playing cards", nullptr, "62", "88", false},
    {nullptr, "Photo", "90", "130", true},
    {nullptr, "Photo", "130", "180", true},
};

const sheetRow_t sheetRowsIn[] = {
    {nullptr, "Letter", "8 1/2", "11", false},
    {nullptr, "Legal", "8 1/2", "14", false},
    {nullptr, "Executive", "7 1/4", "10 1/2", false},
    {nullptr, "Ledger/Tabloid", "11", "17", false},
    {nullptr, "Envelope #10", "4 1/8", "9 1/2", false},
    {nullptr, "Envelope Monarch", "3 7/8", "7 1/2", false},
    {nullptr, "Photo", "4", "6", true},
    {nullptr, "Photo", "5", "7", true},
};

// ---- card and brochure rows ---------------------------------------------

constexpr int32_t noFold = 0;
constexpr int32_t rowF = 1;
constexpr int32_t colF = 2;

// "" writes an empty field (a dash in the tables).
struct cardRow_t {
    int32_t orientation;
    const char *paperW, *paperH, *cardW, *cardH;
    const char *marginL, *marginT, *marginR, *marginB;
    const char *rows, *columns, *rowGap, *columnGap;
    int32_t fold;
};

const cardRow_t postcardsMm[] = {
    {P, "210", "297", "210", "148", "0", "0", "0", "0", "2", "1", "0", "0", noFold},
    {P, "210", "297", "105", "148", "0", "0", "0", "0", "2", "2", "0", "0", noFold},
    {P, "210", "297", "210", "99", "0", "0", "0", "0", "3", "1", "0", "0", noFold},
};
const cardRow_t greetingMm[] = {
    {P, "210", "297", "105", "148", "0", "0", "0", "0", "2", "2", "0", "0", colF},
    {L, "297", "210", "148", "105", "0", "0", "0", "0", "2", "2", "0", "0", rowF},
    {P, "210", "297", "105", "148", "0", "0", "0", "0", "2", "2", "0", "0", rowF},
    {L, "297", "210", "148", "105", "0", "0", "0", "0", "2", "2", "0", "0", colF},
};
const cardRow_t businessMm[] = {
    {P, "210", "297", "74", "52", "26", "25", "0", "0", "4", "2", "10", "10", noFold},
    {P, "210", "297", "74", "52", "31", "18", "0", "0", "5", "2", "0", "0", noFold},
    {P, "210", "297", "74", "52", "31", "18", "0", "0", "5", "2", "0", "0", colF},
    {L, "297", "210", "52", "74", "25", "26", "0", "0", "2", "4", "10", "10", noFold},
    {L, "297", "210", "52", "74", "18", "31", "0", "0", "2", "5", "0", "0", noFold},
    {L, "297", "210", "52", "74", "18", "31", "0", "0", "2", "5", "0", "0", rowF},
    {P, "210", "297", "85", "54", "15", "25", "0", "0", "4", "2", "10", "10", noFold},
    {P, "210", "297", "85", "54", "20", "14", "0", "0", "5", "2", "0", "0", noFold},
    {P, "210", "297", "85", "54", "20", "14", "0", "0", "5", "2", "0", "0", colF},
    {L, "297", "210", "54", "85", "25", "15", "0", "0", "2", "4", "10", "10", noFold},
    {L, "297", "210", "54", "85", "14", "20", "0", "0", "2", "5", "0", "0", noFold},
    {L, "297", "210", "54", "85", "14", "20", "0", "0", "2", "5", "0", "0", rowF},
};
const cardRow_t labelsMm[] = {
    {P, "210", "297", "20", "10", "5", "9", "5", "9", "28", "10", "0", "0", noFold},
    {P, "210", "297", "37", "18", "13", "5", "13", "5", "16", "5", "0", "0", noFold},
    {P, "210", "297", "40", "20", "5", "9", "5", "9", "14", "5", "0", "0", noFold},
    {P, "210", "297", "50", "30", "5", "14", "5", "14", "9", "4", "0", "0", noFold},
    {P, "210", "297", "60", "40", "15", "9", "15", "9", "7", "3", "0", "0", noFold},
    {P, "210", "297", "80", "50", "25", "24", "25", "24", "5", "2", "0", "0", noFold},
    {P, "210", "297", "100", "60", "5", "29", "5", "29", "4", "2", "0", "0", noFold},
    {P, "210", "297", "100", "70", "5", "9", "5", "9", "4", "2", "0", "0", noFold},
    {P, "210", "297", "100", "80", "5", "29", "5", "29", "3", "2", "0", "0", noFold},
    {P, "210", "297", "100", "90", "5", "14", "5", "14", "3", "2", "0", "0", noFold},
};
const cardRow_t brochuresMm[] = {
    {P, "210", "297", "210", "148", "0", "0", "0", "0", "2", "1", "0", "0", rowF},
    {P, "210", "297", "210", "99", "0", "0", "0", "0", "3", "1", "0", "0", rowF},
};
const cardRow_t tentMm[] = {
    {P, "210", "297", "190", "69", "10", "10", "10", "10", "4", "1", "0", "0", rowF},
    {P, "210", "297", "190", "46", "10", "10", "10", "10", "6", "1", "0", "0", rowF},
};

const cardRow_t postcardsIn[] = {
    {P, "8 1/2", "11", "6", "4", "1 1/4", "1", "1 1/4", "1", "2", "1", "1", "", noFold},
    {L, "11", "8 1/2", "5 1/2", "4 1/4", "", "", "", "", "2", "2", "", "", noFold},
};
const cardRow_t greetingIn[] = {
    {P, "8 1/2", "11", "4 1/4", "5 1/2", "", "", "", "", "2", "2", "", "", colF},
    {L, "11", "8 1/2", "5 1/2", "4 1/4", "", "", "", "", "2", "2", "", "", rowF},
    {P, "8 1/2", "11", "4 1/4", "5 1/2", "", "", "", "", "2", "2", "", "", rowF},
    {L, "11", "8 1/2", "5 1/2", "4 1/4", "", "", "", "", "2", "2", "", "", colF},
};
const cardRow_t businessIn[] = {
    {P, "8 1/2", "11", "3 1/2", "2", "1/2", "3/4", "1/2", "3/4", "4", "2", "1/2", "1/2", noFold},
    {P, "8 1/2", "11", "3 1/2", "2", "3/4", "1/2", "3/4", "3/4", "5", "2", "", "", noFold},
    {L, "11", "8 1/2", "3 1/2", "2", "1/4", "1/4", "1/4", "1/4", "4", "3", "", "", noFold},
    {L, "11", "8 1/2", "2", "3 1/2", "3/4", "1/2", "3/4", "1/2", "2", "4", "1/2", "1/2", noFold},
    {L, "11", "8 1/2", "2", "3 1/2", "1/2", "3/4", "3/4", "3/4", "2", "5", "", "", noFold},
    {P, "8 1/2", "11", "2", "3 1/2", "1/4", "1/4", "1/4", "1/4", "3", "4", "", "", noFold},
    {P, "8 1/2", "11", "3 1/2", "2", "3/4", "1/2", "3/4", "3/4", "5", "2", "", "", colF},
    {L, "11", "8 1/2", "2", "3 1/2", "1/2", "3/4", "3/4", "3/4", "2", "5", "", "", rowF},
};
const cardRow_t labelsIn[] = {
    {P, "8 1/2", "11", "1/2", "1/4", "1/4", "1/4", "1/4", "1/4", "42", "16", "", "", noFold},
    {P, "8 1/2", "11", "3/4", "1/4", "1/2", "1/4", "1/2", "1/4", "42", "10", "", "", noFold},
    {P, "8 1/2", "11", "1", "1/2", "1/4", "1/4", "1/4", "1/4", "21", "8", "", "", noFold},
    {P, "8 1/2", "11", "1 1/4", "3/4", "1/2", "1/4", "1/2", "1/4", "14", "6", "", "", noFold},
    {P, "8 1/2", "11", "1 1/2", "3/4", "1/2", "1/4", "1/2", "1/4", "14", "5", "", "", noFold},
    {P, "8 1/2", "11", "1 3/4", "3/4", "3/4", "1/4", "3/4", "1/4", "14", "4", "", "", noFold},
    {P, "8 1/2", "11", "2", "1", "1/4", "1/2", "1/4", "1/2", "10", "4", "", "", noFold},
    {P, "8 1/2", "11", "2 1/2", "1 1/4", "1/2", "1/2", "1/2", "1/2", "8", "3", "", "", noFold},
    {P, "8 1/2", "11", "3", "1 1/2", "1 1/4", "1/4", "1 1/4", "1/4", "7", "2", "", "", noFold},
};
const cardRow_t brochuresIn[] = {
    {P, "8 1/2", "11", "8 1/2", "5 1/2", "", "", "", "", "2", "1", "", "", rowF},
    {P, "8 1/2", "11", "8 1/2", "3 2/3", "", "", "", "", "3", "1", "", "", rowF},
};
const cardRow_t tentIn[] = {
    {P, "8 1/2", "11", "8 1/2", "2 1/2", "", "1/2", "", "1/2", "4", "1", "", "", rowF},
    {L, "11", "8 1/2", "11", "3 1/2", "", "3/4", "", "3/4", "2", "1", "", "", rowF},
};

struct cardTable_t {
    const cardRow_t* rows;
    int32_t count;
};

template <size_t N>
constexpr cardTable_t table(const cardRow_t (&r)[N]) { return {r, static_cast<int32_t>(N)}; }

cardTable_t cardRows(int32_t type, int32_t unit)
{
    const bool mm = unit == 2;
    switch (type) {
    case 2: return mm ? table(postcardsMm) : table(postcardsIn);
    case 3: return mm ? table(greetingMm) : table(greetingIn);
    case 4: return mm ? table(businessMm) : table(businessIn);
    case 5: return mm ? table(labelsMm) : table(labelsIn);
    case 10: return mm ? table(brochuresMm) : table(brochuresIn);
    case 11: return mm ? table(tentMm) : table(tentIn);
    default: return {nullptr, 0};
    }
}

// ---- list texts -----------------------------------------------------------

QString qs(const char* s) { return QString::fromUtf8(s); }

QString pixelText(const pixelRow_t& r)
{
    QString name = qs(r.name);
    if (r.photo) name += QStringLiteral(" Photo");
    return name + QLatin1Char(' ') + QString::number(r.width) + QStringLiteral(" x ")
           + QString::number(r.height);
}

QString sheetText(const sheetRow_t& r, bool mm)
{
    if (r.text) return qs(r.text);
    const QString sep = mm ? QStringLiteral(" - ") : QStringLiteral(" ");
    return qs(r.paperName) + sep + qs(r.width) + QStringLiteral(" x ") + qs(r.height);
}

QString cardTextMm(int32_t type, int32_t i, const cardRow_t& r)
{
    const QString a4page = QStringLiteral(" A4 page");
    switch (type) {
    case 2: {
        static const char* prefix[] = {"A5 ", "A6 ", "210 x 99 "};
        static const char* count[] = {"2 per", "4 per", "3 per"};
        return qs(prefix[i]) + lowerWord(2) + comma + qs(count[i]) + a4page;
    }
    case 3:
        return QStringLiteral("A6 ") + lowerWord(2) + comma + QStringLiteral("2 per") + a4page
               + comma + (i % 2 == 0 ? vertical.toLower() : horizontal);
    case 4: {
        QString t = i < 6 ? QStringLiteral("A8 ")
                          : QStringLiteral("85 ") + QChar(0x00D7) + QStringLiteral(" 54 ");
        const int32_t k = i % 3;  // 0: 8 per, 1: 10 per, 2: fold, 5 per
        if (k == 2) t += fold.toLower() + QLatin1Char(' ');
        t += (i % 6) < 3 ? lowerWord(4) : QStringLiteral("vertical cards");
        static const char* count[] = {"8 per", "10 per", "5 per"};
        return t + comma + qs(count[k]) + QStringLiteral(" page");
    }
    case 5:
        return qs(r.cardW) + QStringLiteral(" x ") + qs(r.cardH) + QLatin1Char(' ') + lowerWord(5)
               + comma + QStringLiteral("A4 paper");
    case 10:
        return (i == 0 ? QStringLiteral("Half-fold") : QStringLiteral("Tri-fold"))
               + QLatin1Char(' ') + lowerWord(10) + comma + QStringLiteral("A4 paper");
    case 11:
        return word(11) + comma + (i == 0 ? QStringLiteral("2 per") : QStringLiteral("3 per"))
               + a4page;
    }
    return {};
}

QString cardTextIn(int32_t type, int32_t i, const cardRow_t& r)
{
    const QString page = QStringLiteral(" page");
    const QString letter = QStringLiteral("letter-size paper");
    switch (type) {
    case 2:
        return (i == 0 ? QStringLiteral("4 x 6 ") : QStringLiteral("5 1/2 x 4 1/4 ")) + lowerWord(2)
               + comma + (i == 0 ? QStringLiteral("2 per") : QStringLiteral("4 per")) + page;
    case 3:
        return (i % 2 == 0 ? QStringLiteral("4 1/4 x 5 1/2 ") : QStringLiteral("5 1/2 x 4 1/4 "))
               + lowerWord(3) + comma + QStringLiteral("2 per") + page + comma
               + (i % 2 == 0 ? vertical.toLower() : horizontal);
    case 4: {
        static const char* count[] = {"8 per", "10 per", "12 per"};
        if (i < 3) return word(4) + comma + qs(count[i]) + page;
        if (i < 6)
            return vertical + QLatin1Char(' ') + lowerWord(4) + comma + qs(count[i - 3]) + page;
        if (i == 6) return fold + QLatin1Char(' ') + lowerWord(4) + comma + QStringLiteral("5 per") + page;
        return fold + QLatin1Char(' ') + vertical.toLower() + QLatin1Char(' ') + lowerWord(4) + comma
               + QStringLiteral("5 per") + page;
    }
    case 5:
        return qs(r.cardW) + QStringLiteral(" x ") + qs(r.cardH) + QLatin1Char(' ') + lowerWord(5)
               + comma + letter;
    case 10:
        return (i == 0 ? QStringLiteral("Half-fold") : QStringLiteral("Tri-fold"))
               + QLatin1Char(' ') + lowerWord(10) + comma + letter;
    case 11:
        return word(11) + QLatin1Char(' ') + qs(r.cardW) + QStringLiteral(" x ") + qs(r.cardH);
    }
    return {};
}

// ---- matching ---------------------------------------------------------------

// A compared field: pixels and millimetres as whole numbers (empty is 0),
// inches as measures with fractions.
bool comparable(const QString& text, int32_t unit, double& v)
{
    if (unit == 3) return parsePageMeasure(text, 3, v);
    if (text.trimmed().isEmpty()) {
        v = 0;
        return true;
    }
    int32_t n = 0;
    if (!parsePageWhole(text, n)) return false;
    v = n;
    return true;
}

bool same(const QString& current, const char* rowValue, int32_t unit)
{
    double a = 0, b = 0;
    return comparable(current, unit, a) && comparable(qs(rowValue), unit, b) && a == b;
}

bool matchesCard(const miry_t& m, const cardRow_t& r, bool swapped, bool withGaps, int32_t unit)
{
    auto eq = [&](const QString& cur, const char* straight, const char* exchanged) {
        return same(cur, swapped ? exchanged : straight, unit);
    };
    const uint8_t rf = r.fold == rowF ? 1 : 0;
    const uint8_t cf = r.fold == colF ? 1 : 0;
    if (!eq(m.paperWidth, r.paperW, r.paperH) || !eq(m.paperHeight, r.paperH, r.paperW)) return false;
    if (!eq(m.cardWidth, r.cardW, r.cardH) || !eq(m.cardHeight, r.cardH, r.cardW)) return false;
    if (!eq(m.marginLeft, r.marginL, r.marginT) || !eq(m.marginTop, r.marginT, r.marginL)) return false;
    if (!eq(m.rows, r.rows, r.columns) || !eq(m.columns, r.columns, r.rows)) return false;
    if (withGaps
        && (!eq(m.rowGap, r.rowGap, r.columnGap) || !eq(m.columnGap, r.columnGap, r.rowGap)))
        return false;
    const uint8_t wantRow = swapped ? cf : rf;
    const uint8_t wantCol = swapped ? rf : cf;
    return (m.rowFold != 0) == (wantRow != 0) && (m.columnFold != 0) == (wantCol != 0);
}

} // namespace

QString designTypeName(int32_t type)
{
    if (type < 1 || type > designTypeCount) return {};
    return word(type);
}

QString designTypeDescription(int32_t type)
{
    if (type < 1 || type > designTypeCount) return {};
    return qs(designTypes[type - 1].description);
}

QStringList presetList(int32_t type, int32_t unit)
{
    QStringList out;
    if (type < 1 || type > designTypeCount) return out;
    if (unit == 1) {
        for (const auto& r : pixelRows) out << pixelText(r);
        return out;
    }
    if (unit != 2 && unit != 3) return out;
    if (type == 1) {
        if (unit == 2)
            for (const auto& r : sheetRowsMm) out << sheetText(r, true);
        else
            for (const auto& r : sheetRowsIn) out << sheetText(r, false);
        return out;
    }
    const cardTable_t t = cardRows(type, unit);
    for (int32_t i = 0; i < t.count; ++i)
        out << (unit == 2 ? cardTextMm(type, i, t.rows[i]) : cardTextIn(type, i, t.rows[i]));
    return out;
}

bool applyPreset(pageset_t& setup, int32_t type, int32_t unit, int32_t row)
{
    if (type < 1 || type > designTypeCount || unit < 1 || unit > 3 || row < 0) return false;
    miry_t& m = setup.measuresOf(unit);
    if (unit == 1) {
        if (row >= pixelRowCount) return false;
        const pixelRow_t& r = pixelRows[row];
        int32_t w = r.width, h = r.height;
        if (r.photo) {
            // Portrait puts the short side across.
            if (setup.pageOrientation == landscape) std::swap(w, h);
        } else if (r.orientation != kept) {
            setup.pageOrientation = r.orientation;
        }
        m.presetIndex = row;
        m.paperWidth = QString::number(w);
        m.paperHeight = QString::number(h);
        return true;
    }
    if (type == 1) {
        const bool mm = unit == 2;
        const int32_t n = mm ? int32_t(std::size(sheetRowsMm)) : int32_t(std::size(sheetRowsIn));
        if (row >= n) return false;
        const sheetRow_t& r = mm ? sheetRowsMm[row] : sheetRowsIn[row];
        const QString margin = r.photo ? QString() : (mm ? QStringLiteral("7") : QStringLiteral("1/4"));
        m.presetIndex = row;
        m.paperWidth = qs(r.width);
        m.paperHeight = qs(r.height);
        m.marginLeft = m.marginTop = m.marginRight = m.marginBottom = margin;
        return true;
    }
    const cardTable_t t = cardRows(type, unit);
    if (row >= t.count) return false;
    const cardRow_t& r = t.rows[row];
    m.presetIndex = row;
    setup.pageOrientation = r.orientation;
    m.paperWidth = qs(r.paperW);
    m.paperHeight = qs(r.paperH);
    m.cardWidth = qs(r.cardW);
    m.cardHeight = qs(r.cardH);
    m.marginLeft = qs(r.marginL);
    m.marginTop = qs(r.marginT);
    m.marginRight = qs(r.marginR);
    m.marginBottom = qs(r.marginB);
    m.rows = qs(r.rows);
    m.columns = qs(r.columns);
    m.rowGap = qs(r.rowGap);
    m.columnGap = qs(r.columnGap);
    m.rowFold = r.fold == rowF ? 1 : 0;
    m.columnFold = r.fold == colF ? 1 : 0;
    return true;
}

int32_t matchPreset(const pageset_t& setup, int32_t type, int32_t unit)
{
    if (type < 1 || type > designTypeCount || unit < 1 || unit > 3) return -1;
    const miry_t& m = setup.measuresOf(unit);
    int32_t found = -1;
    double w = 0, h = 0;
    if (unit == 1) {
        if (!comparable(m.paperWidth, 1, w) || !comparable(m.paperHeight, 1, h)) return -1;
        for (int32_t i = 0; i < pixelRowCount; ++i) {
            const pixelRow_t& r = pixelRows[i];
            if (r.photo) {
                const double shortSide = setup.pageOrientation == landscape ? h : w;
                const double longSide = setup.pageOrientation == landscape ? w : h;
                if (shortSide == r.width && longSide == r.height) found = i;
            } else if (w == r.width && h == r.height) {
                found = i;
            }
        }
        return found;
    }
    if (type == 1) {
        const bool mm = unit == 2;
        if (!comparable(m.paperWidth, unit, w) || !comparable(m.paperHeight, unit, h)) return -1;
        const int32_t n = mm ? int32_t(std::size(sheetRowsMm)) : int32_t(std::size(sheetRowsIn));
        for (int32_t i = 0; i < n; ++i) {
            const sheetRow_t& r = mm ? sheetRowsMm[i] : sheetRowsIn[i];
            double rw = 0, rh = 0;
            comparable(qs(r.width), unit, rw);
            comparable(qs(r.height), unit, rh);
            if ((w == rw && h == rh) || (w == rh && h == rw)) found = i;
        }
        return found;
    }
    const cardTable_t t = cardRows(type, unit);
    const bool bothOrientations = type == 2 || type == 5 || type == 10;
    const bool withGaps = type != 10;
    for (int32_t i = 0; i < t.count; ++i) {
        const cardRow_t& r = t.rows[i];
        const bool own = setup.pageOrientation == r.orientation;
        if (!own && !bothOrientations) continue;
        if (matchesCard(m, r, !own, withGaps, unit)) found = i;
    }
    return found;
}

pageset_t defaultPageSetup(int32_t type, int32_t defaultUnit)
{
    pageset_t s;
    s.pageOrientation = portrait;
    s.unit = (defaultUnit >= 1 && defaultUnit <= 3) ? defaultUnit : 3;
    if (type == 9) {
        s.pageOrientation = landscape;
        s.unit = 1;
    }
    miry_t& px = s.measuresOf(1);
    px.presetIndex = 0;
    px.paperWidth = QStringLiteral("350");
    px.paperHeight = QStringLiteral("250");
    s.measuresOf(2).presetIndex = 0;
    s.measuresOf(3).presetIndex = 0;

    int32_t mmRow = -1, inRow = -1;
    switch (type) {
    case 1: mmRow = 4; inRow = 0; break;
    case 2: case 3: case 11: mmRow = 0; inRow = 0; break;
    case 10: mmRow = 1; inRow = 1; break;
    case 4: mmRow = 1; inRow = 1; break;
    case 5: mmRow = 1; inRow = 6; break;
    default: break;
    }
    // The rows named here are all portrait, so applying them keeps the
    // orientation set above.
    if (mmRow >= 0) applyPreset(s, type, 2, mmRow);
    if (inRow >= 0) applyPreset(s, type, 3, inRow);
    return s;
}

} // namespace page
