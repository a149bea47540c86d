// The About panel in its floating window: what it names, and its "Web"
// button, which opens the home page the build names and cannot be pressed
// when there is none.
#include "ui/aboutpanel.h"
#include "ui/hostwindow.h"
#include "settings/store.h"

#include "testnames.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace ui;

namespace {

struct webCase {
    const char* name;
    const char* homePage;
    bool enabled;
};
void PrintTo(const webCase& c, std::ostream* os) { *os << c.name; }

class AboutWeb : public ::testing::TestWithParam<webCase> {};

TEST_P(AboutWeb, OpensTheHomePageOnlyWhenTheBuildNamesOne)
{
    const webCase& c = GetParam();
    settings::memoryStore_t store;
    settings::TParams look(&store);
    geometrySlots_t geometry{};
    THostWindow host(hostId_t::formX, geometry, look, nullptr);
    host.screenAreas = [] { return QList<QRect>{QRect(0, 0, 1280, 1024)}; };
    QList<QUrl> opened;
    host.setFactory(hostedAbout, [&](const hostRequest_t&, QWidget* parent) {
        auto* p = new TAbout(QStringLiteral("Lumora"), QString::fromLatin1(c.homePage), parent);
        p->openUrl = [&opened](const QUrl& u) {
            opened << u;
            return true;
        };
        return p;
    });
    ASSERT_TRUE(host.openHosted(hostedAbout, QString()));
    EXPECT_EQ(host.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(host.panel1->isEnabled(), c.enabled);
    host.leftClicked();
    if (c.enabled) {
        EXPECT_EQ(opened, QList<QUrl>{QUrl(QString::fromLatin1(c.homePage))});
        EXPECT_FALSE(host.isVisible());
    } else {
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_TRUE(host.isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, AboutWeb,
                         ::testing::Values(webCase{"WithAHomePage", "https://lumora.example/", true},
                                           webCase{"WithoutOne", "", false}),
                         testnames::byName());

TEST(About, NamesTheProgramTheRunningQtAndEveryLibraryWithItsLicence)
{
    TAbout about(QStringLiteral("Lumora"), QString());
    const QString text = about.textLabel()->text();
    EXPECT_TRUE(text.contains(QStringLiteral("Lumora")));
    EXPECT_TRUE(text.contains(QStringLiteral("Version ") + buildVersion()));
    EXPECT_FALSE(buildVersion().isEmpty());
    EXPECT_TRUE(text.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    const std::vector<aboutLibrary_t> libs = aboutLibraries();
    ASSERT_GE(libs.size(), 4u);
    EXPECT_EQ(libs.front().name, QStringLiteral("Qt"));
    for (const aboutLibrary_t& l : libs) {
        EXPECT_FALSE(l.licence.isEmpty()) << l.name.toStdString();
        EXPECT_TRUE(text.contains(l.name.toHtmlEscaped())) << l.name.toStdString();
        EXPECT_TRUE(text.contains(l.licence.toHtmlEscaped())) << l.name.toStdString();
    }
    // The codecs' versions come from the build.
    for (const aboutLibrary_t& l : libs) {
        if (l.name == QStringLiteral("giflib") || l.name == QStringLiteral("libjpeg-turbo")) {
            EXPECT_FALSE(l.version.isEmpty()) << l.name.toStdString();
        }
    }
    EXPECT_GE(about.preferredClientSize().width(), about.textLabel()->sizeHint().width());
}

} // namespace
