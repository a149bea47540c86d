// The picture fine-tune panel in the editor: a click on a picture shows it,
// and its buttons act on the active document.
#include "shell_fixture.h"

#include "geometry/shapes.h"
#include "model/history.h"
#include "model/history_index.h"
#include "panels/panelparts.h"
#include "panels/picturepanel.h"
#include "settings/params.h"
#include "ui/panelcodes.h"

#include <QCoreApplication>

using canvas::TSandbox;

TEST_F(ShellTest, ClickingAPictureShowsThePicturePanel)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    model::item_t* pic = model::newItem(d->items(), model::typePicture);
    pic->x1 = 60, pic->y1 = 60, pic->x2 = 160, pic->y2 = 140;
    pic->flipX = pic->flipY = 1;
    geometry::pictureBox(pic);
    model::recordNew(d->items(), pic);
    d->repaintAll(false);

    // The picture is picked on its outline.
    const geometry::point_t edge = d->toScreen({60, 100});
    d->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(edge.x, edge.y));
    d->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(edge.x, edge.y));
    ASSERT_EQ(model::firstSelected(d->items()), pic);
    auto* panel = dynamic_cast<panels::TColorbox*>(w->attributePanel());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->code, ui::panelPicture);
    EXPECT_EQ(panel->titleBar()->caption(), QStringLiteral("Fine-tune"));
    EXPECT_EQ(panel->summary().count, 1);

    panel->pressButton(0);  // mirror
    const model::item_t* now = model::firstSelected(d->items());
    ASSERT_NE(now, pic);
    EXPECT_EQ(now->flipX, -1);

    // The tab shown last comes back with the next picture panel.
    panel->tabs()->onChange(panels::TColorbox::effectsTab);
    w->showPanel(ui::panelInsert, {.applyToWindow = true});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->params()->pictureTab, panels::TColorbox::effectsTab);
}
