// The main window's side panel: switching panels, the next-step suggestions,
// the deferred panel command and the step history with its Back and Forward
// controls.
#include "app/mainwindow.h"

#include "panels/insertpanel.h"
#include "panels/panelhost.h"
#include "app/panelframes.h"
#include "panels/picklists.h"
#include "ui/sidepanel.h"
#include "app/suggestions.h"
#include "model/itemlist.h"
#include "model/steptags.h"

#include <QStatusBar>

#include <cmath>

namespace app {

namespace {

bool isGuidancePage(int32_t code) { return code >= ui::firstGuidancePage && code <= ui::lastGuidancePage; }

// What the step history asks of the windows.
class shellSteps_t : public app::stepWorld_t {
public:
    explicit shellSteps_t(TForm1& f) : f_(f) {}
    bool activateDocument(int32_t docNumber) override { return docNumber >= 0 && f_.activateWindow(docNumber); }
    bool selectTagged(int32_t tag) override { return f_.selectTagged(f_.activeDocument(), tag); }
    bool holdsTagged(int32_t docNumber, int32_t tag) const override
    {
        for (canvas::TSandbox* w : f_.documents())
            if (w->documentNumber() == docNumber) return model::holdsTagged(w->items, tag);
        return false;
    }
    void restoreToolSettings(const app::stepEntry_t& e) override { f_.restoreToolSettings(e); }
    void showStep(int32_t code) override { f_.showPanel(code, false, true, true); }
    void refreshStepControls() override { f_.refreshStepControls(); }
private:
    TForm1& f_;
};

} // namespace

void TForm1::buildSidePanel()
{
    ui::setInterfaceFont(QStringLiteral("Verdana"), 8);
    panelHost = app::makePanelHost(*this);
    sidePanel = new ui::sidePanel_t;
    sidePanel->onSuggestion = [this](int32_t k) { runSuggestion(k); };
    sidePanel->onBack = [this] { stepBack(); };
    sidePanel->onForward = [this] { stepForward(); };
    // One highlight at a time: over a suggestion the toolbar's goes.
    sidePanel->onHover = [this] { procs->stripLeave(); };
}

void TForm1::showInsertPanel()
{
    if (!insertPanel) {
        insertPanel = new panels::TToolbox;
        insertPanel->onChoose = [this](int32_t code) {
            pendingPanel = code;
            Timer1.start();
        };
        // The link sets up the active document's page, or new files' without one.
        insertPanel->onPageSetup = [this] { return openPageSetup(activeDocument()); };
    }
    sidePanel->setPanel(insertPanel);
}

void TForm1::showPanel(int32_t code, bool onlyIfChanged, bool applyToWindow, bool fromHistory)
{
    if (code <= 0) return;
    if (onlyIfChanged && code == panelCode) return;
    recordStep(code, fromHistory);
    refreshStepControls();

    // The insert panel is only hidden; any other panel is freed once it has
    // finished the event that may have led here.
    if (codePanel) {
        codePanel->hide();
        codePanel->deleteLater();
        codePanel = nullptr;
    }
    if (code == ui::panelInsert || code == ui::panelPictureInsert) {
        showInsertPanel();
    } else {
        codePanel = app::makeSidePanel(code, *panelHost);
        sidePanel->setPanel(codePanel);
    }
    if (isGuidancePage(code)) previousPanelCode = panelCode;
    panelCode = code;
    procs->pressToolButton(canvas::buttonForPanel(code));
    canvas::TSandbox* w = activeDocument();
    if (applyToWindow && w && code != ui::panelMultiple && code != ui::panelPicture) w->selectTool(code);

    app::suggestionContext_t cx;
    if (w) {
        const model::item_t* first = model::firstSelected(w->items);
        cx.hasSelection = first != nullptr;
        cx.firstSelectedIsText = first && first->itemType == model::typeText;
    }
    suggestions = app::suggestionsFor(code, cx);
    rebuildSuggestions();

    const bool noDocument = documents().empty();
    if (noDocument) {
        if (code == ui::panelNextLine) params->lastMode = canvas::toolLine;
        else if (code == ui::panelNextText) params->lastMode = canvas::toolText;
        else if (code == ui::panelMultiple || (code >= 100 && code <= 199) || code == ui::panelPicture)
            params->lastMode = code;
    }
    // A tool or fine-tune panel without a document opens an untitled one shortly.
    if ((code >= ui::panelNextLine && code <= ui::panelTextEntryGuided) ||
        (noDocument && (code == ui::panelMultiple || code == ui::panelPicture)))
        Timer2.start();
    refreshSelectionState();
}

void TForm1::showPanel(int32_t code)
{
    // The canvas asks for the panel of its tool or selection; the window's
    // tool is its own business. Every new selection is a step of its own,
    // while clicks beside the items leave the insert panel as it is.
    showPanel(code, code == ui::panelInsert, false, false);
}

void TForm1::showToolPanel(int32_t code) { showPanel(code, true, false, false); }

void TForm1::runPanelCommand(int32_t code)
{
    switch (code) {
    case ui::panelBackFromGuidance: showPanel(previousPanelCode, false, true, false); return;
    case ui::panelText: {
        canvas::TSandbox* w = activeDocument();
        const bool sel = w && model::firstSelected(w->items);
        showPanel(sel ? ui::panelText : ui::panelInsert, false, true, false);
        return;
    }
    case ui::panelPictureInsert:
        insertPicture();
        // Whatever became of the picture, the insert panel is ready again.
        if (insertPanel) insertPanel->resetEntries();
        else showPanel(ui::panelInsert, false, true, false);
        return;
    case ui::panelClipEdit:
    case ui::panelClipInsert:
        editPictureClips(code);
        return;
    case 1061: showPanel(canvas::toolSpline, true, false, false); return;
    case 1064: showPanel(canvas::toolSolid, true, false, false); return;
    case 1070: showPanel(canvas::toolCurve, true, false, false); return;
    case 1073: showPanel(canvas::toolOblong, true, false, false); return;
    case 1074:
    case 1075: showPanel(code, true, false, false); return;
    default: showPanel(code, false, true, false); return;
    }
}

void TForm1::Timer1Timer()
{
    Timer1.stop();
    runPanelCommand(pendingPanel);
    if (insertPanel) insertPanel->clearInsertBusy();
}

bool TForm1::guidanceWanted(int32_t page) const
{
    const int32_t k = page - ui::firstGuidancePage;
    return k >= 0 && k < settings::hintCount && params->hintFlags[k] != 0;
}

// ---------------------------------------------------------------- suggestions

void TForm1::rebuildSuggestions()
{
    std::vector<QString> captions;
    for (int32_t n : app::shownSuggestions(suggestions)) captions.push_back(app::suggestionText(n));
    sidePanel->showSuggestions(captions);
}

void TForm1::runSuggestion(int32_t k)
{
    const std::vector<int32_t> shown = app::shownSuggestions(suggestions);
    if (k < 1 || k > static_cast<int32_t>(shown.size())) return;
    const app::suggestionAction_t a = app::suggestionAction(shown[k - 1]);
    canvas::TSandbox* w = activeDocument();
    switch (a.kind) {
    case app::suggestionAction_t::pending:
        pendingPanel = a.code;
        Timer1.start();
        return;
    case app::suggestionAction_t::join:
        joinCommand();
        showPanel(a.code, false, false, false);
        return;
    case app::suggestionAction_t::split:
        splitCommand();
        showPanel(a.code, false, false, false);
        return;
    case app::suggestionAction_t::show: break;
    }
    if (a.selectNewest && w) {
        model::selectLast(w->items);
        w->repaintAll(true);
        refreshSelectionState();
    }
    int32_t code = a.code;
    const bool sel = w && model::firstSelected(w->items);
    if (a.guidance && guidanceWanted(a.guidance)) code = a.guidance;
    else if (a.needsSelection && !sel) code = ui::panelInsert;
    showPanel(code, true, true, false);
}

// ---------------------------------------------------------------- step history

void TForm1::recordStep(int32_t code, bool fromHistory)
{
    if (fromHistory || !app::isRecordedCode(code)) return;
    const app::toolSnapshot_t now = app::snapshotOf(*params);
    if (stepHistory.repeatsCurrent(code, now)) return;
    int32_t docNumber = -1, tag = -1;
    if (canvas::TSandbox* w = activeDocument()) {
        docNumber = w->documentNumber();
        tag = tagSelection(w);
    }
    stepHistory.record(code, now, docNumber, tag);
}

int32_t TForm1::tagSelection(canvas::TSandbox* w)
{
    const int32_t t = model::drawFreeTag(model::randomTag, [this](int32_t c) { return stepHistory.tagInUse(c); });
    if (w) model::tagSelected(w->items, t);
    return t;
}

bool TForm1::selectTagged(canvas::TSandbox* w, int32_t tag)
{
    if (!w) return false;
    const bool any = model::selectTagged(w->items, tag);
    w->repaintAll(true);
    refreshSelectionState();
    return any;
}

void TForm1::stepBack()
{
    shellSteps_t world(*this);
    stepHistory.stepBack(world);
}

void TForm1::stepForward()
{
    shellSteps_t world(*this);
    stepHistory.stepForward(world);
}

bool TForm1::canStepBack() const
{
    shellSteps_t world(const_cast<TForm1&>(*this));
    return stepHistory.canStepBack(world);
}

bool TForm1::canStepForward() const
{
    shellSteps_t world(const_cast<TForm1&>(*this));
    return stepHistory.canStepForward(world);
}

void TForm1::refreshStepControls() { sidePanel->setStepControls(canStepBack(), canStepForward()); }

void TForm1::restoreToolSettings(const app::stepEntry_t& e)
{
    settings::TParams& p = *params;
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
    } else if (e.code >= 100 && e.code <= 199) {
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
