#include "settings/pageset.h"

#include "model/item.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <utility>

namespace page {

QString& miry_t::field(int i)
{
    switch (i) {
    case 1: return paperWidth;
    case 2: return paperHeight;
    case 3: return cardWidth;
    case 4: return cardHeight;
    case 5: return marginLeft;
    case 6: return marginTop;
    case 7: return marginRight;
    case 8: return marginBottom;
    case 9: return rows;
    case 10: return columns;
    case 11: return rowGap;
    case 12: return columnGap;
    case 13: return extraX;
    default: return extraY;
    }
}

const QString& miry_t::field(int i) const { return const_cast<miry_t*>(this)->field(i); }

void swapOrientation(miry_t& m)
{
    std::swap(m.paperWidth, m.paperHeight);
    std::swap(m.cardWidth, m.cardHeight);
    std::swap(m.marginLeft, m.marginTop);
    std::swap(m.marginRight, m.marginBottom);
    std::swap(m.rows, m.columns);
    std::swap(m.rowGap, m.columnGap);
    std::swap(m.extraX, m.extraY);
    std::swap(m.rowFold, m.columnFold);
}

std::u16string pageTextsOf(const miry_t& m)
{
    std::u16string out;
    for (int i = 1; i <= miry_t::fieldCount; ++i) {
        out += m.field(i).toStdU16String();
        out += model::lineSeparator;
    }
    return out;
}

void readPageTexts(const std::u16string& text, miry_t& m)
{
    const size_t limit = std::min<size_t>(text.size(), size_t(model::textUnitLimit));
    int field = 1;
    std::u16string current;
    for (size_t i = 0; i < limit && field <= miry_t::fieldCount; ++i) {
        const char16_t c = text[i];
        if (c == u'\0') break;
        if (c == model::lineSeparator) {
            m.field(field++) = QString::fromStdU16String(current);
            current.clear();
        } else {
            current += c;
        }
    }
    // A last field without its separator still counts; the rest are empty.
    if (field <= miry_t::fieldCount && !current.empty()) m.field(field++) = QString::fromStdU16String(current);
    for (; field <= miry_t::fieldCount; ++field) m.field(field).clear();
}

namespace {

// A plain decimal number with a point: optional sign, digits, optional fraction.
bool plainNumber(const QString& t, double& v)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!re.match(t).hasMatch()) return false;
    bool ok = false;
    v = t.toDouble(&ok);  // QString::toDouble is locale-independent (C locale)
    return ok && std::isfinite(v);
}

bool wholeDigits(const QString& t, double& v)
{
    static const QRegularExpression re(QStringLiteral("^\\d+$"));
    if (!re.match(t).hasMatch()) return false;
    bool ok = false;
    v = t.toDouble(&ok);
    return ok && std::isfinite(v);
}

} // namespace

bool parsePageMeasure(const QString& text, int32_t unit, double& value)
{
    QString t = text.trimmed();
    if (t.isEmpty()) {
        value = 0.0;
        return true;
    }
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (unit == 3 && t.endsWith(QLatin1Char('"'))) {
        t.chop(1);
        t = t.trimmed();
        if (t.isEmpty()) {
            value = 0.0;
            return true;
        }
    }
    double v = 0;
    if (plainNumber(t, v)) {
        value = v;
        return true;
    }
    if (unit != 3) return false;

    // Signed mixed fraction: a leading minus gives the sign, further minus
    // signs count as blanks ("8-1/2" is 8 1/2).
    double sign = 1.0;
    if (t.startsWith(QLatin1Char('-'))) {
        sign = -1.0;
        t.remove(0, 1);
    }
    t.replace(QLatin1Char('-'), QLatin1Char(' '));
    const QStringList parts = t.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2) return false;

    double whole = 0;
    QString fraction;
    if (parts.size() == 2) {
        if (!plainNumber(parts[0], whole) || parts[0].startsWith(QLatin1Char('-'))
            || parts[0].startsWith(QLatin1Char('+')))
            return false;
        fraction = parts[1];
    } else if (parts[0].contains(QLatin1Char('/'))) {
        fraction = parts[0];
    } else {
        if (!plainNumber(parts[0], whole) || parts[0].startsWith(QLatin1Char('+'))) return false;
        value = whole * sign;
        return true;
    }
    const QStringList nd = fraction.split(QLatin1Char('/'));
    double n = 0, d = 0;
    if (nd.size() != 2 || !wholeDigits(nd[0], n) || !wholeDigits(nd[1], d) || n == 0 || d == 0)
        return false;
    value = (whole + n / d) * sign;
    return true;
}

bool parsePageWhole(const QString& text, int32_t& value)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?\\d+$"));
    const QString t = text.trimmed();
    if (!re.match(t).hasMatch()) return false;
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok) return false;
    value = v;
    return true;
}

bool isCardType(int32_t type)
{
    return type == 2 || type == 3 || type == 4 || type == 5 || type == 11;
}

} // namespace page
