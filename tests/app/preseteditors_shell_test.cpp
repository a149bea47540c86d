// The preset editors and the speed options in the main window: opened from
// the Customize and Tools menus, Save reaching the store and the open
// documents, Cancel reaching nothing.
#include "shell_fixture.h"

#include "canvas/sandbox.h"
#include "panels/frameeffects.h"
#include "panels/picturewindow.h"
#include "samples/samplepictures.h"
#include "render/docbuilder.h"
#include "panels/panelhost.h"
#include "panels/picklistwidget.h"
#include "settings/params.h"
#include "ui/hostwindow.h"
#include "ui/preseteditors.h"
#include "ui/shadoweditor.h"
#include "ui/speedpanel.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>

namespace {

class PresetShell : public ShellTest {
protected:
    QAction* action(const QString& text)
    {
        for (QAction* a : w->findChildren<QAction*>())
            if (a->text() == text) return a;
        return nullptr;
    }
};

TEST_F(PresetShell, CustomizeMenuOpensEachEditorInItsWindow)
{
    struct menuCase {
        const char* text;
        int32_t code;
        bool secondWindow;
    };
    const menuCase cases[] = {
        {"Line Weights", ui::hostedLineWeights, true}, {"Line Patterns", ui::hostedLinePatterns, false},
        {"Alignments", ui::hostedLineAngles, false},   {"Font sizes", ui::hostedFontSizes, false},
        {"Text angles", ui::hostedTextAngles, false},  {"Shadows", ui::hostedShadows, true},
    };
    for (const menuCase& c : cases) {
        QAction* a = action(QString::fromLatin1(c.text));
        ASSERT_TRUE(a) << c.text;
        EXPECT_TRUE(a->isEnabled()) << c.text;
        a->trigger();
        ui::THostWindow* host = c.secondWindow ? w->TFormY() : w->TFormX();
        EXPECT_EQ(host->hostedCode(), c.code) << c.text;
        EXPECT_TRUE(host->isVisible()) << c.text;
        host->rightClicked();
        EXPECT_FALSE(host->isVisible()) << c.text;
    }
}

TEST_F(PresetShell, SavedWeightReachesTheStoreAtOnce)
{
    action(QStringLiteral("Line Weights"))->trigger();
    auto* e = dynamic_cast<ui::TThickness*>(w->TFormY()->hostedPanel());
    ASSERT_TRUE(e);
    e->chooseRow(12);
    e->nameField->setText(QStringLiteral("Hairline"));
    e->valueField->setText(QStringLiteral("0.1"));
    e->unitList->setCurrentIndex(1);
    w->TFormY()->leftClicked();
    EXPECT_FALSE(w->TFormY()->isVisible());
    // Read back by a second settings object before the run ends.
    settings::TParams again;
    again.initSettings();
    EXPECT_EQ(again.customWidths[11].name, QStringLiteral("Hairline"));
    EXPECT_EQ(again.customWidths[11].listed, 1);
}

TEST_F(PresetShell, SaveRebuildsTheListsOfTheShownPanel)
{
    untitled();
    w->showPanel(ui::panelNextLine, {.applyToWindow = true});
    panels::attributePanel_t* panel = w->attributePanel();
    ASSERT_TRUE(panel);
    auto listHas = [&](panels::listKind_t kind, const QString& text) {
        for (panels::pickListBox_t* l : panel->findChildren<panels::pickListBox_t*>())
            if (l->kind() == kind)
                for (const panels::pickEntry_t& e : l->built().entries)
                    if (e.text == text) return true;
        return false;
    };
    ASSERT_FALSE(listHas(panels::listKind_t::weight, QStringLiteral("Hairline")));
    action(QStringLiteral("Line Weights"))->trigger();
    auto* e = dynamic_cast<ui::TThickness*>(w->TFormY()->hostedPanel());
    ASSERT_TRUE(e);
    e->chooseRow(3);
    e->nameField->setText(QStringLiteral("Hairline"));
    e->valueField->setText(QStringLiteral("0.1"));
    e->unitList->setCurrentIndex(1);
    w->TFormY()->leftClicked();
    EXPECT_TRUE(listHas(panels::listKind_t::weight, QStringLiteral("Hairline")));

    action(QStringLiteral("Line Patterns"))->trigger();
    auto* pe = dynamic_cast<ui::TPatterns*>(w->TFormX()->hostedPanel());
    ASSERT_TRUE(pe);
    pe->chooseRow(1);
    pe->nameField->setText(QStringLiteral("Dotty"));
    for (QLineEdit* f : pe->segmentFields) f->clear();
    pe->segmentFields[0]->setText(QStringLiteral("2"));
    pe->segmentFields[1]->setText(QStringLiteral("1"));
    w->TFormX()->leftClicked();
    EXPECT_TRUE(listHas(panels::listKind_t::pattern, QStringLiteral("Dotty")));
}

TEST_F(PresetShell, SaveRebuildsThePictureWindowsShadowList)
{
    QFile f(path(QStringLiteral("art.gif")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::vector<uint8_t> gif = samples::encodeGif(samples::samplePattern(60, 40));
    f.write(reinterpret_cast<const char*>(gif.data()), qint64(gif.size()));
    f.close();
    dlg.fileAnswers.push_back(QFileInfo(f).absoluteFilePath());
    ASSERT_TRUE(w->insertPicture());
    auto* pict = dynamic_cast<panels::TPict*>(w->TFormX()->hostedPanel());
    ASSERT_TRUE(pict && pict->effects);
    auto shadowListHas = [&](const QString& text) {
        for (const panels::pickEntry_t& e : pict->effects->shadowList()->built().entries)
            if (e.text == text) return true;
        return false;
    };
    ASSERT_FALSE(shadowListHas(QStringLiteral("Long")));
    // The shadow editor opens in the other window: the picture window stays.
    action(QStringLiteral("Shadows"))->trigger();
    auto* e = dynamic_cast<ui::TShadow*>(w->TFormY()->hostedPanel());
    ASSERT_TRUE(e);
    EXPECT_EQ(w->TFormX()->hostedPanel(), pict);
    e->chooseRow(4);
    e->nameField->setText(QStringLiteral("Long"));
    w->TFormY()->leftClicked();
    EXPECT_TRUE(shadowListHas(QStringLiteral("Long")));
}

TEST_F(PresetShell, EscAndCloseBoxCancel)
{
    const settings::custThickness_t before = w->params()->customWidths;
    for (bool esc : {true, false}) {
        action(QStringLiteral("Line Weights"))->trigger();
        auto* e = dynamic_cast<ui::TThickness*>(w->TFormY()->hostedPanel());
        ASSERT_TRUE(e);
        e->chooseRow(1);
        e->valueField->setText(QStringLiteral("0"));
        if (esc) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(e->valueField, &key);
        } else {
            w->TFormY()->close();
        }
        EXPECT_FALSE(w->TFormY()->isVisible()) << esc;
        EXPECT_EQ(w->params()->customWidths, before) << esc;
    }
}

TEST_F(PresetShell, NewLightDirectionRepaintsEveryOpenDocument)
{
    std::vector<canvas::TSandbox*> docs;
    std::vector<QImage> before;
    for (int k = 0; k < 3; ++k) {
        canvas::TSandbox* d = w->openDocumentWindow(QString());
        ASSERT_EQ(d->header()->hdr().lightDirection, 0);
        model::item_t* it = testdoc::addShape(d->items(), model::typeRectangle,
                                              {{100, 100}, {200, 100}, {200, 160}, {100, 160}}, 0xFFFFFF, 0, 0.25);
        it->shadowElevation = 85;
        it->shadowFade = 20;
        it->shadowLightness = 40;
        d->repaintAll(false);
        docs.push_back(d);
        before.push_back(d->canvasImage().copy());
    }

    // Cancel: nothing changes.
    action(QStringLiteral("Shadows"))->trigger();
    auto* e = dynamic_cast<ui::TShadow*>(w->TFormY()->hostedPanel());
    ASSERT_TRUE(e);
    e->chooseLight(3);
    w->TFormY()->rightClicked();
    EXPECT_FALSE(w->lightDirectionTimer().isActive());
    EXPECT_EQ(w->params()->lgtdir, 0);

    action(QStringLiteral("Shadows"))->trigger();
    e = dynamic_cast<ui::TShadow*>(w->TFormY()->hostedPanel());
    ASSERT_TRUE(e);
    e->chooseLight(3);
    w->TFormY()->leftClicked();
    EXPECT_EQ(w->params()->lgtdir, 3);
    ASSERT_TRUE(w->lightDirectionTimer().isActive());
    w->applyLightDirection();
    for (size_t k = 0; k < docs.size(); ++k) {
        EXPECT_EQ(docs[k]->header()->hdr().lightDirection, 3);
        // Painted again: the shadow now falls up and to the left.
        EXPECT_NE(docs[k]->canvasImage(), before[k]) << k;
    }
}

TEST_F(PresetShell, SpeedTurnsOffShadowsOfTheActiveWindowOnly)
{
    canvas::TSandbox* other = w->openDocumentWindow(QString());
    canvas::TSandbox* active = w->openDocumentWindow(QString());
    ASSERT_EQ(w->activeDocument(), active);
    QAction* speed = action(QStringLiteral("Speed..."));
    ASSERT_TRUE(speed);
    ASSERT_TRUE(speed->isEnabled());
    speed->trigger();
    EXPECT_EQ(w->TFormY()->windowTitle(), QStringLiteral("Speed - ") + active->caption());
    auto* s = dynamic_cast<ui::Tspeed*>(w->TFormY()->hostedPanel());
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->shadows->isChecked());
    s->shadows->click();
    w->TFormY()->leftClicked();
    EXPECT_FALSE(active->view().showShadows);
    EXPECT_TRUE(active->view().showPictures);
    EXPECT_TRUE(active->view().show3D);
    EXPECT_TRUE(other->view().showShadows);
}

TEST_F(PresetShell, SpeedWithoutADocument)
{
    ASSERT_EQ(w->activeDocument(), nullptr);
    action(QStringLiteral("Speed..."))->trigger();
    EXPECT_EQ(w->TFormY()->windowTitle(), QStringLiteral("Speed"));
    auto* s = dynamic_cast<ui::Tspeed*>(w->TFormY()->hostedPanel());
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->pictures->isChecked() || s->shadows->isChecked() || s->threeD->isChecked());
    w->TFormY()->leftClicked();
    EXPECT_FALSE(w->TFormY()->isVisible());
}

} // namespace
