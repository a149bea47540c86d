// The main window's menu bar: the parts' menus in their order, and the
// Insert, Customize and Help menus of the window itself.
#include "app/desktopcommands.h"
#include "app/documentarea.h"
#include "app/editcommands.h"
#include "app/filecommands.h"
#include "app/mainwindow.h"
#include "app/mergecommands.h"
#include "app/viewcommands.h"
#include "panels/insertpanel.h"
#include "ui/dialogs.h"
#include "ui/hostedpanel.h"
#include "panels/panelhost.h"
#include "ui/panelcodes.h"
#include "render/surface.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

QList<QKeySequence> withStandardKeys(const QKeySequence& own, QKeySequence::StandardKey standard)
{
    // The menu shows the first: the platform's own key (Ctrl+C), which users
    // look for; the older key still works. A key listed twice on one action
    // would be ambiguous and run nothing, so it is listed once.
    QList<QKeySequence> keys;
    for (const QKeySequence& k : QKeySequence::keyBindings(standard))
        if (!keys.contains(k)) keys << k;
    if (!keys.contains(own)) keys << own;
    return keys;
}

void TForm1::buildMenus()
{
    QMenuBar* mb = menuBar();
    files_->buildMenu(mb);
    (new mergeCommands_t(*this))->build(mb);
    buildInsertMenu();
    edits_->buildMenu(mb);
    view_->buildZoomMenu(mb);
    view_->buildToolsMenu(mb);
    // Select All, Duplicate, Delete, the Arrange menu and the canvas's context menu.
    (new desktopCommands_t(*this))->build(mb);

    // Customize
    menuCustomize_ = mb->addMenu(QStringLiteral("&Customize"));
    menuCustomize_->addAction(QStringLiteral("Colors"), this, [this] {
        int32_t colour = 0;
        std::vector<int32_t> custom(params_->savedColors.begin(), params_->savedColors.end());
        if (ui::dialogs().chooseColor(colour, custom)) params_->rememberColor(colour);
    });
    const std::pair<const char*, int32_t> presetEditors[] = {
        {"Line Weights", ui::hostedLineWeights}, {"Line Patterns", ui::hostedLinePatterns},
        {"Alignments", ui::hostedLineAngles},    {"Font sizes", ui::hostedFontSizes},
        {"Text angles", ui::hostedTextAngles},   {"Shadows", ui::hostedShadows},
    };
    for (const auto& [text, code] : presetEditors)
        menuCustomize_->addAction(QString::fromLatin1(text), this, [this, code] { panelHost().openCustomization(code); });

    area_->buildWindowMenu(mb);

    // Help
    menuHelp_ = mb->addMenu(QStringLiteral("&Help"));
    QMenu* hints = menuHelp_->addMenu(QStringLiteral("Hints"));
    ShowAll1_ = hints->addAction(QStringLiteral("Show All"), this, [this] { setHints(true); });
    ShowNone1_ = hints->addAction(QStringLiteral("Show None"), this, [this] { setHints(false); });
    ShowAll1_->setCheckable(true);
    ShowNone1_->setCheckable(true);
    QObject::connect(menuHelp_, &QMenu::aboutToShow, this, [this] {
        bool all = true, none = true;
        for (uint8_t f : params_->hintFlags) {
            if (f) none = false;
            else all = false;
        }
        ShowAll1_->setChecked(all);
        ShowNone1_->setChecked(none);
    });
    menuHelp_->addSeparator();
    About1_ = menuHelp_->addAction(QStringLiteral("About"), this, [this] { showAbout(); });
}

void TForm1::setHints(bool all)
{
    params_->hintFlags.fill(all ? 1 : 0);
    ShowAll1_->setChecked(all);
    ShowNone1_->setChecked(!all);
}

void TForm1::buildInsertMenu()
{
    menuInsert_ = menuBar()->addMenu(QStringLiteral("&Insert"));
    // Each entry runs its panel command at once, as the insert panel does after its press.
    for (const panels::insertEntry_t& e : panels::insertEntries) {
        const int32_t code = e.code;
        menuInsert_->addAction(QString::fromLatin1(e.name), this, [this, code] { runPanelCommand(code); });
    }
}

} // namespace app
