// The About panel TAbout of the first floating window: the program's name and
// version, the Qt version it runs on, and the libraries it uses with their
// licences. Its left button ("Web") opens the project's home page in the
// desktop's browser and cannot be pressed when the build names none.
#pragma once

#include "ui/hostedpanel.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <vector>

class QLabel;

namespace ui {

struct aboutLibrary_t {
    QString name;
    QString version;  // as built against; Qt's is the one running
    QString licence;
};

// What the program is built on, Qt first.
std::vector<aboutLibrary_t> aboutLibraries();
// The program's version and home page as the build names them (the home
// page is empty when the build names none).
QString buildVersion();
QString buildHomePage();

class TAbout : public THostedPanel {
public:
    TAbout(const QString& program, const QString& homePage, QWidget* parent = nullptr);

    QSize preferredClientSize() const override;
    // "Web": the home page in the desktop's browser.
    bool applyHosted() override;
    bool leftButtonEnabled() const override { return !homePage_.isEmpty(); }

    // What opens the page (the desktop's browser unless a test sets its own).
    std::function<bool(const QUrl&)> openUrl;

    QLabel* textLabel() const { return text_; }

private:
    QString homePage_;
    QLabel* text_;
};

} // namespace ui
