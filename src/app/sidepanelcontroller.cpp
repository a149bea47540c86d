#include "app/sidepanelcontroller.h"

#include "app/barcodecommands.h"
#include "app/mainwindow.h"
#include "app/panelframes.h"
#include "app/suggestions.h"
#include "canvas/sandbox.h"
#include "canvas/textediting.h"
#include "model/itemlist.h"
#include "model/steptags.h"
#include "panels/insertpanel.h"
#include "panels/panelhost.h"
#include "panels/picklists.h"
#include "panels/shapepanel.h"
#include "ui/guidancepanel.h"
#include "ui/sidepanel.h"

#include <cmath>
#include <utility>

namespace app {

namespace {

// What the step history asks of the windows.
class shellSteps_t : public app::stepWorld_t {
public:
    shellSteps_t(TForm1& f, sidePanelController_t& c) : f_(f), c_(c) {}
    bool activateDocument(int32_t docNumber) override { return docNumber >= 0 && f_.activateWindow(docNumber); }
    bool selectTagged(int32_t tag) override { return c_.selectTagged(f_.activeDocument(), tag); }
    bool holdsTagged(int32_t docNumber, int32_t tag) const override
    {
        for (canvas::TSandbox* w : f_.documents())
            if (w->documentNumber() == docNumber) return model::holdsTagged(w->items(), tag);
        return false;
    }
    void restoreToolSettings(const app::stepEntry_t& e) override { c_.restoreToolSettings(e); }
    void showStep(int32_t code) override { c_.showPanel(code, {.applyToWindow = true, .fromHistory = true}); }
    void refreshStepControls() override { c_.refreshStepControls(); }

private:
    TForm1& f_;
    sidePanelController_t& c_;
};

// The guidance pages that stand for a shape tool's panel: the insert
// panel's link to the tool's page shows the tool's own panel.
struct guidanceTool_t {
    int32_t page, tool;
};
constexpr guidanceTool_t guidanceTools[] = {
    {1061, canvas::toolSpline}, {1064, canvas::toolSolid}, {1070, canvas::toolCurve}, {1073, canvas::toolOblong}};
// Guidance pages shown as they are, only when not showing already.
constexpr int32_t guidanceShownOnce[] = {1074, 1075};

} // namespace

sidePanelController_t::sidePanelController_t(TForm1& shell) : shell_(shell)
{
    panelSwitchTimer_.setObjectName(QStringLiteral("panelSwitchTimer"));
    panelSwitchTimer_.setSingleShot(true);
    panelSwitchTimer_.setInterval(100);
    QObject::connect(&panelSwitchTimer_, &QTimer::timeout, &shell_, [this] { shell_.runPendingPanel(); });

    ui::setInterfaceFont(QStringLiteral("Verdana"), 8);
    host_ = app::makePanelHost(shell_);
    sidePanel_ = new ui::sidePanel_t;
    sidePanel_->onSuggestion = [this](int32_t k) { runSuggestion(k); };
    sidePanel_->onBack = [this] { stepBack(); };
    sidePanel_->onForward = [this] { stepForward(); };
    // One highlight at a time: over a suggestion the toolbar's goes.
    sidePanel_->onHover = [this] { shell_.procs()->stripLeave(); };
}

sidePanelController_t::~sidePanelController_t() = default;

void sidePanelController_t::freeCodePanel()
{
    delete codePanel_;
    codePanel_ = nullptr;
}

panels::attributePanel_t* sidePanelController_t::attributePanel() const
{
    return dynamic_cast<panels::attributePanel_t*>(codePanel_);
}

void sidePanelController_t::showInsertPanel()
{
    if (!insertPanel_) {
        insertPanel_ = new panels::TToolbox;
        insertPanel_->onChoose = [this](int32_t code) { switchLater(code); };
        // The link sets up the active document's page, or new files' without one.
        insertPanel_->onPageSetup = [this] { return shell_.openPageSetup(shell_.activeDocument()); };
    }
    sidePanel_->setPanel(insertPanel_);
}

void sidePanelController_t::switchLater(int32_t code)
{
    pendingPanel_ = code;
    pendingAction_ = nullptr;
    panelSwitchTimer_.start();
}

void sidePanelController_t::runLater(int32_t code, std::function<void()> action)
{
    pendingPanel_ = code;
    pendingAction_ = std::move(action);
    panelSwitchTimer_.start();
}

void sidePanelController_t::showPanel(int32_t code, panelSwitch_t how)
{
    if (code <= 0) return;
    if (how.onlyIfChanged && code == panelCode_) return;
    recordStep(code, how.fromHistory);
    refreshStepControls();

    // A Back or Forward step between two shape panels keeps the panel's
    // widgets and fills them for the step's code: building the lists and
    // their pop-ups again is most of a step's time.
    auto* shapePanel = dynamic_cast<panels::TPolybox*>(codePanel_);
    if (how.fromHistory && shapePanel && ui::isShapePanel(code)) {
        shapePanel->showCode(code);
    } else {
        // The insert panel is only hidden; any other panel is freed once it
        // has finished the event that may have led here.
        if (codePanel_) {
            codePanel_->hide();
            codePanel_->deleteLater();
            codePanel_ = nullptr;
        }
        if (code == ui::panelInsert || code == ui::panelPictureInsert) {
            showInsertPanel();
        } else {
            codePanel_ = app::makeSidePanel(code, *host_);
            if (auto* page = dynamic_cast<ui::TLinehelp*>(codePanel_)) shell_.attachGuidance(page);
            sidePanel_->setPanel(codePanel_);
        }
    }
    if (ui::isGuidance(code)) previousPanelCode_ = panelCode_;
    panelCode_ = code;
    shell_.procs()->pressToolButton(canvas::buttonForPanel(code));
    canvas::TSandbox* w = shell_.activeDocument();
    if (how.applyToWindow && w && code != ui::panelMultiple && code != ui::panelPicture) w->selectTool(code);
    // A guidance page leaves the button of the tool the window has pressed.
    if (ui::isGuidance(code) && w) {
        const int32_t m = w->mode();
        const int32_t toolPanel = m == canvas::toolLine   ? int32_t(ui::panelNextLine)
                                  : m == canvas::toolText ? int32_t(ui::panelNextText)
                                                          : m;
        shell_.procs()->pressToolButton(canvas::buttonForPanel(toolPanel));
    }

    app::suggestionContext_t cx;
    if (w) {
        const model::item_t* first = model::firstSelected(w->items());
        cx.hasSelection = first != nullptr;
        cx.firstSelectedIsText = first && first->itemType == model::typeText;
    }
    suggestions_ = app::suggestionsFor(code, cx);
    rebuildSuggestions();

    settings::TParams& p = *shell_.params();
    const bool noDocument = shell_.documents().empty();
    if (noDocument) {
        if (code == ui::panelNextLine) p.lastMode = canvas::toolLine;
        else if (code == ui::panelNextText) p.lastMode = canvas::toolText;
        else if (code == ui::panelMultiple || ui::isShapeTool(code) || code == ui::panelPicture) p.lastMode = code;
    }
    // A tool or fine-tune panel without a document opens an untitled one shortly.
    if ((code >= ui::panelNextLine && code <= ui::panelTextEntryGuided) ||
        (noDocument && (code == ui::panelMultiple || code == ui::panelPicture)))
        shell_.untitledTimer().start();
    shell_.refreshSelectionState();
}

void sidePanelController_t::runPanelCommand(int32_t code)
{
    for (const guidanceTool_t& g : guidanceTools)
        if (code == g.page) return showPanel(g.tool, {.onlyIfChanged = true});
    for (int32_t page : guidanceShownOnce)
        if (code == page) return showPanel(code, {.onlyIfChanged = true});
    switch (code) {
    case ui::panelBackFromGuidance: showPanel(previousPanelCode_, {.applyToWindow = true}); return;
    case ui::panelText: {
        canvas::TSandbox* w = shell_.activeDocument();
        const bool sel = w && model::firstSelected(w->items());
        showPanel(sel ? ui::panelText : ui::panelInsert, {.applyToWindow = true});
        return;
    }
    case ui::panelPictureInsert:
        shell_.insertPicture();
        // Whatever became of the picture, the insert panel is ready again.
        if (insertPanel_) insertPanel_->resetEntries();
        else showPanel(ui::panelInsert, {.applyToWindow = true});
        return;
    case ui::panelBarcodeInsert:
        insertBarcodeCommand(shell_);
        if (insertPanel_) insertPanel_->resetEntries();
        return;
    case ui::panelClipEdit:
    case ui::panelClipInsert:
        shell_.editPictureClips(code);
        return;
    default: showPanel(code, {.applyToWindow = true}); return;
    }
}

void sidePanelController_t::runPendingPanel()
{
    panelSwitchTimer_.stop();
    if (std::function<void()> action = std::exchange(pendingAction_, nullptr)) action();
    else runPanelCommand(pendingPanel_);
    if (insertPanel_) insertPanel_->clearInsertBusy();
}

void sidePanelController_t::changeTool(int32_t code)
{
    panelCode_ = code;
    shell_.procs()->pressToolButton(canvas::buttonForPanel(code));
    if (canvas::TSandbox* w = shell_.activeDocument()) w->selectTool(code);
    if (auto* frame = dynamic_cast<ui::panelFrame_t*>(codePanel_)) {
        frame->code = code;
        frame->titleBar()->setCaption(panelCaption(code), panelCaptionColour(code));
    }
}

bool sidePanelController_t::guidanceWanted(int32_t page) const { return ui::guidanceWanted(*shell_.params(), page); }

// ---------------------------------------------------------------- suggestions

void sidePanelController_t::rebuildSuggestions()
{
    std::vector<QString> captions;
    for (int32_t n : app::shownSuggestions(suggestions_)) captions.push_back(app::suggestionText(n));
    sidePanel_->showSuggestions(captions);
}

void sidePanelController_t::runSuggestion(int32_t k)
{
    const std::vector<int32_t> shown = app::shownSuggestions(suggestions_);
    if (k < 1 || k > static_cast<int32_t>(shown.size())) return;
    const app::suggestionAction_t a = app::suggestionAction(shown[k - 1]);
    canvas::TSandbox* w = shell_.activeDocument();
    switch (a.kind) {
    case app::suggestionAction_t::pending: switchLater(a.code); return;
    case app::suggestionAction_t::join:
        shell_.joinCommand();
        showPanel(a.code, {});
        return;
    case app::suggestionAction_t::split:
        shell_.splitCommand();
        showPanel(a.code, {});
        return;
    case app::suggestionAction_t::show: break;
    }
    if (a.selectNewest && w) {
        model::selectLast(w->items());
        w->repaintAll(true);
        shell_.refreshSelectionState();
    }
    int32_t code = a.code;
    const bool sel = w && model::firstSelected(w->items());
    if (a.guidance && guidanceWanted(a.guidance)) code = a.guidance;
    else if (a.needsSelection && !sel) code = ui::panelInsert;
    showPanel(code, {.onlyIfChanged = true, .applyToWindow = true});
}

// ---------------------------------------------------------------- step history

void sidePanelController_t::recordStep(int32_t code, bool fromHistory)
{
    if (fromHistory || !app::isRecordedCode(code)) return;
    const app::toolSnapshot_t now = app::snapshotOf(*shell_.params());
    if (stepHistory_.repeatsCurrent(code, now)) return;
    int32_t docNumber = -1, tag = -1;
    if (canvas::TSandbox* w = shell_.activeDocument()) {
        docNumber = w->documentNumber();
        tag = tagSelection(w);
    }
    stepHistory_.record(code, now, docNumber, tag);
}

int32_t sidePanelController_t::tagSelection(canvas::TSandbox* w)
{
    const int32_t t = model::drawFreeTag(model::randomTag, [this](int32_t c) { return stepHistory_.tagInUse(c); });
    if (w) model::tagSelected(w->items(), t);
    return t;
}

bool sidePanelController_t::selectTagged(canvas::TSandbox* w, int32_t tag)
{
    if (!w) return false;
    // Only the marks change with the selection; a text being typed keeps
    // its frame and caret only through a whole repaint.
    bool any = false;
    if (w->textEditor().typing()) {
        any = model::selectTagged(w->items(), tag);
        w->repaintAll(true);
    } else {
        w->reselect([&] { any = model::selectTagged(w->items(), tag); });
    }
    shell_.refreshSelectionState();
    return any;
}

void sidePanelController_t::stepBack()
{
    shellSteps_t world(shell_, *this);
    stepHistory_.stepBack(world);
}

void sidePanelController_t::stepForward()
{
    shellSteps_t world(shell_, *this);
    stepHistory_.stepForward(world);
}

bool sidePanelController_t::canStepBack() const
{
    shellSteps_t world(shell_, const_cast<sidePanelController_t&>(*this));
    return stepHistory_.canStepBack(world);
}

bool sidePanelController_t::canStepForward() const
{
    shellSteps_t world(shell_, const_cast<sidePanelController_t&>(*this));
    return stepHistory_.canStepForward(world);
}

void sidePanelController_t::refreshStepControls() { sidePanel_->setStepControls(canStepBack(), canStepForward()); }

void sidePanelController_t::restoreToolSettings(const app::stepEntry_t& e)
{
    settings::TParams& p = *shell_.params();
    const app::toolSnapshot_t& s = e.tools;
    if (e.code == ui::panelNextLine) {
        settings::lineStyle_t next = s.lineStyle();
        // A value whose preset was deleted since is not restored.
        if (const int32_t i = panels::indexOfWeight(p, s.lineWidth, false); i >= 0) p.lineWidthTab = i;
        else next.lineWidth = p.lineWidth;
        if (const int32_t i = panels::indexOfDirection(p, s.lineDirection, false); i >= 0) p.lineDirectionTab = i;
        else next.lineDirection = p.lineDirection;
        if (const int32_t i = panels::indexOfWeight(p, s.lineOutline, true); i >= 0) p.lineOutlineTab = i;
        else next.lineOutline = p.lineOutline;
        p.lineStyle() = next;
    } else if (ui::isShapeTool(e.code)) {
        p.polycolor = s.lineColor;
        if (const int32_t i = panels::indexOfWeight(p, s.lineWidth, false); i >= 0) {
            p.polywidth = s.lineWidth;
            p.polytab = i;
        }
        p.polyfill = s.lineFill;
    } else if (e.code == ui::panelNextText) {
        settings::textStyle_t next = s.textStyle();
        if (const int32_t i = panels::indexOfDirection(p, s.tdir, true); i >= 0) {
            p.tangle = next.tdir * 10;
            p.tangletab = i;
        } else {
            next.tdir = p.tdir;
        }
        p.textStyle() = next;
    }
}

} // namespace app
