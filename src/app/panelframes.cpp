#include "app/panelframes.h"

#include "canvas/sandbox.h"
#include "model/groups.h"
#include "panels/barcodepanel.h"
#include "panels/insertpanel.h"
#include "panels/linepanel.h"
#include "panels/multiplepanel.h"
#include "panels/shapepanel.h"
#include "panels/textpanel.h"
#include "panels/panelhost.h"
#include "panels/picturepanel.h"
#include "ui/guidancepanel.h"
#include "ui/panelcodes.h"

namespace app {

using namespace ui;  // panel codes and the panel look

QString panelCaption(int32_t code)
{
    if (code == panelInsert || code == panelPictureInsert) return QStringLiteral("Insert");
    if (code == panelNextLine) return QStringLiteral("Line");
    if (code == panelNextText || code == panelTextEntry || code == panelTextEntryGuided) return QStringLiteral("Text");
    if (isGuidance(code)) return QStringLiteral("Hints");
    if (isShapeTool(code)) {
        for (const panels::insertEntry_t& e : panels::insertEntries)
            if (e.code == code) return QString::fromLatin1(e.name);
    }
    return QStringLiteral("Fine-tune");
}

int32_t panelCaptionColour(int32_t code)
{
    if (code == panelInsert || code == panelPictureInsert) return lookRed;
    if (isGuidance(code)) return lookViolet;
    if (code == panelNextLine || isShapeTool(code) || code == panelNextText || code == panelTextEntry ||
        code == panelTextEntryGuided)
        return lookBlue;
    return lookGreen;
}

ui::panelFrame_t* makePanelFrame(int32_t code, QWidget* parent)
{
    auto* f = new panelFrame_t(panelCaption(code), panelCaptionColour(code), parent);
    f->setObjectName(QStringLiteral("panel%1").arg(code));
    f->code = code;
    return f;
}

ui::panelFrame_t* makeSidePanel(int32_t code, panels::panelHost_t& host, QWidget* parent)
{
    switch (code) {
    case panelNextLine:
    case panelLine: return new panels::TLinebox(code, host, parent);
    case panelNextText:
    case panelText:
    case panelTextEntry:
    case panelTextEntryGuided: return new panels::TTextbox(code, host, parent);
    case panelMultiple: {
        canvas::TSandbox* w = host.activeDocument();
        const bool canJoin = w && model::countSelectionUnits(w->items(), true) >= 2;
        return new panels::TUnibox(host, canJoin, w && model::selectionHasGroup(w->items()), parent);
    }
    case panelPicture: return new panels::TColorbox(host, parent);
    case panelBarcode: return new panels::TBarcodebox(host, parent);
    default:
        if (isGuidance(code)) {
            auto* page = new ui::TLinehelp(parent);
            page->showGuidancePage(code);
            return page;
        }
        // The shape tools' panels and the shapes' fine-tune panels.
        if (isShapePanel(code)) return new panels::TPolybox(code, host, parent);
        return makePanelFrame(code, parent);
    }
}

} // namespace app
