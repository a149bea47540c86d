// At 96 pixels per inch no caption of the side panel and no entry of a pick
// list is cut short: each text fits the width it is drawn in.
#include "panels/insertpanel.h"
#include "app/panelframes.h"
#include "ui/panellook.h"
#include "panels/picklistwidget.h"
#include "ui/sidepanel.h"
#include "app/suggestions.h"
#include "settings/store.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleOptionComboBox>

#include <gtest/gtest.h>

namespace {

int32_t advance(const QFont& f, const QString& s) { return QFontMetrics(f).horizontalAdvance(s); }

TEST(Captions, ScreenIsAt96Ppi)
{
    ASSERT_EQ(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()), 96);
}

TEST(Captions, PanelTitlesFitTheirBars)
{
    std::vector<int32_t> codes{20, 59, 98, 99, 300, 301, 302, 303, 401};
    for (int32_t c = 100; c <= 299; ++c) codes.push_back(c);
    for (int32_t c = 1024; c <= 1080; ++c) codes.push_back(c);
    for (int32_t code : codes) {
        std::unique_ptr<ui::panelFrame_t> f(app::makePanelFrame(code));
        f->resize(ui::sidePanel_t::panelWidth, 400);
        const QString caption = f->titleBar()->caption();
        ASSERT_FALSE(caption.isEmpty()) << code;
        const QFont font = ui::fittedFont(ui::interfaceFont(true), caption, f->titleBar()->width() - 2);
        EXPECT_LE(advance(font, caption), f->titleBar()->width() - 2) << code;
    }
}

TEST(Captions, SuggestionsAndInsertEntriesFitTheirButtons)
{
    ui::sidePanel_t side;
    side.resize(ui::sidePanel_t::panelWidth, 600);
    side.show();
    for (int32_t n = 1; n <= app::suggestionCount; ++n) {
        side.showSuggestions({app::suggestionText(n)});
        ui::listButton_t* b = side.suggestionButton(0);
        for (bool lit : {false, true}) {
            b->setChosen(lit);
            EXPECT_LE(advance(b->captionFont(), b->caption()), b->captionRect().width()) << n;
            EXPECT_GE(b->captionFont().pointSize(), 6) << n;
        }
    }
    panels::TToolbox insert;
    insert.resize(ui::sidePanel_t::panelWidth, 495);
    for (int32_t row = 0; row < int32_t(panels::insertEntries.size()); ++row) {
        ui::listButton_t* b = insert.entry(row);
        b->setChosen(true);
        EXPECT_LE(advance(b->captionFont(), b->caption()), b->captionRect().width()) << row;
        EXPECT_EQ(b->captionFont().pointSize(), ui::interfaceFont(true).pointSize()) << row;
    }
}

TEST(Captions, ListEntriesFitTheListWidth)
{
    settings::memoryStore_t store;
    settings::TParams p(&store);
    p.initSettings();
    using panels::listKind_t;
    for (listKind_t kind : {listKind_t::colour, listKind_t::fill, listKind_t::weight, listKind_t::frameWeight,
                            listKind_t::pattern, listKind_t::lineDirection, listKind_t::textAngle,
                            listKind_t::fontSize, listKind_t::shadow, listKind_t::surface}) {
        panels::pickListBox_t list(kind, p);
        list.resize(panels::pickListWidth, list.sizeHint().height());
        QStyleOptionComboBox o;
        o.initFrom(&list);
        o.rect = list.rect();
        const QRect field = list.style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, &list);
        for (int32_t i = 0; i < list.count(); ++i) {
            const panels::pickEntry_t* e = list.entryAt(i);
            if (e->role == panels::pickEntry_t::custom) continue;  // the user's own names
            EXPECT_LE(panels::rowTextLeft(kind, *e) + advance(list.rowStyle().font, e->text), field.width())
                << e->text.toStdString();
        }
    }
}

} // namespace
