#include "ui/hostedpanel.h"

#include <QFileInfo>

#include <array>

namespace ui {

namespace {

const std::array<hostedKind_t, 18>& kinds()
{
    using R = captionRule_t;
    const hostId_t X = hostId_t::formX, Y = hostId_t::formY;
    const QString save = QStringLiteral("Save"), cancel = QStringLiteral("Cancel");
    static const std::array<hostedKind_t, 18> table{{
        {hostedLinePatterns, X, 6, QStringLiteral("Customize Line Patterns"), R::fixed, save, cancel},
        {hostedLineAngles, X, 7, QStringLiteral("Customize Line Angles"), R::fixed, save, cancel},
        {hostedGridNewFiles, X, 8, QStringLiteral("Grid and Snap"), R::withName, save, cancel},
        {hostedGridCurrentFile, X, 8, QStringLiteral("Grid and Snap"), R::withName, save, cancel},
        {hostedTextAngles, X, 9, QStringLiteral("Customize Text Angles"), R::fixed, save, cancel},
        {hostedFontSizes, X, 9, QStringLiteral("Customize Font Sizes"), R::fixed, save, cancel},
        {hostedAbout, X, 1, QStringLiteral("About"), R::fixed, QStringLiteral("Web"), QStringLiteral("Close")},
        {hostedPictureFile, X, 2, QString(), R::fileBaseName, QStringLiteral("Insert"), cancel},
        {hostedRectClip, X, 2, QString(), R::fileBaseName, QStringLiteral("Insert"), cancel},
        {hostedRoundClip, X, 2, QString(), R::fileBaseName, QStringLiteral("Insert"), cancel},
        {hostedPageSetup, X, 4, QStringLiteral("Page Setup"), R::withName, QStringLiteral("Apply"), cancel},
        {hostedPreview, X, 3, QString(), R::name, QStringLiteral("Print"), cancel},
        {hostedFirstTimeSetup, X, 12, QStringLiteral("First-time Setup"), R::fixed, QStringLiteral("Proceed"), cancel},
        {hostedLineWeights, Y, 5, QStringLiteral("Customize Line Weights"), R::fixed, save, cancel},
        {hostedShadows, Y, 13, QStringLiteral("Customize Shadows"), R::fixed, save, cancel},
        {hostedSpeed, Y, 14, QString(), R::name, QStringLiteral("Apply"), cancel},
        {hostedPrintOptions, Y, 16, QStringLiteral("Options"), R::fixed, QStringLiteral("Print"), cancel},
        {hostedPreviewOptions, Y, 16, QStringLiteral("Options"), R::fixed, QStringLiteral("Preview"), cancel},
    }};
    return table;
}

} // namespace

const hostedKind_t* hostedKind(int32_t code)
{
    for (const hostedKind_t& k : kinds())
        if (k.code == code) return &k;
    return nullptr;
}

QString hostedCaption(const hostedKind_t& kind, const QString& name)
{
    switch (kind.rule) {
    case captionRule_t::fixed: return kind.caption;
    case captionRule_t::withName:
        return name.isEmpty() ? kind.caption : kind.caption + QStringLiteral(" - ") + name;
    case captionRule_t::name: return name;
    case captionRule_t::fileBaseName: return QFileInfo(name).completeBaseName();
    }
    return kind.caption;
}

} // namespace ui
