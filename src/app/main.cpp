// The editor. `lumora FILE...` or `lumora -open FILE` hands the files to the
// editor this user already runs, or starts one that opens them, in order.
// `--screenshot PATH` saves a picture of the screen once the first document
// shows, then quits (used to look at the editor without a display).
// `--no-recovery` skips the offer of documents left unsaved by a crash.
#include "app/mainwindow.h"
#include "app/openrequest.h"
#include "app/recent.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QStringList files;
    QString screenshot;
    bool recoveryOffer = true;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if ((a == QLatin1String("-open") || a == QLatin1String("--open")) && i + 1 < argc) {
            files << QString::fromLocal8Bit(argv[++i]);
        } else if (a == QLatin1String("--screenshot") && i + 1 < argc) {
            screenshot = QString::fromLocal8Bit(argv[++i]);
        } else if (a == QLatin1String("--no-recovery")) {
            recoveryOffer = false;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::printf("usage: lumora [-open] [FILE...] [--screenshot PNG] [--no-recovery]\n");
            return 0;
        } else if (!a.startsWith(QLatin1Char('-'))) {
            files << a;
        }
    }
    if (screenshot.isEmpty()) screenshot = qEnvironmentVariable("LUMORA_SCREENSHOT");
    for (QString& f : files) f = QFileInfo(f).absoluteFilePath();

    QApplication app(argc, argv);
    QApplication::setApplicationName(app::applicationTitle);
    QApplication::setOrganizationName(QStringLiteral("Velantis"));
    // Docks and window lists find the program's desktop entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velantis.Lumora"));

    // A running editor takes the files, one request each, in order; this
    // process then has nothing to do. Whatever it did not take opens here.
    if (screenshot.isEmpty() && !files.isEmpty()) {
        while (!files.isEmpty() && app::sendOpenRequest(app::openMacroFor(files.front()))) files.removeFirst();
        if (files.isEmpty()) return 0;
    }

    app::TForm1 w;
    if (screenshot.isEmpty()) w.listenForOpenRequests();
    if (!screenshot.isEmpty()) {
        auto shoot = [&w, screenshot] {
            static bool taken = false;
            if (taken) return;
            taken = true;
            QScreen* s = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
            const QPixmap shot = s ? s->grabWindow(0) : w.grab();
            const bool ok = !shot.isNull() && shot.save(screenshot, "PNG");
            std::printf(ok ? "Saved a screenshot of the editor to %s\n" : "Could not save a screenshot to %s\n",
                        qPrintable(screenshot));
            std::fflush(stdout);
            w.confirmExit();
            QApplication::exit(ok ? 0 : 1);
        };
        // Once the first document shows (and has had time to paint); on a
        // user's first start, whatever shows (the unit question) a little later.
        w.setOnFirstDocument([&w, shoot] { QTimer::singleShot(700, &w, shoot); });
        QTimer::singleShot(4000, &w, shoot);
    }
    w.show();
    // Documents an editor left unsaved when it ended are offered once the
    // window is up (scripts and the screenshot skip the offer).
    w.setRecoveryOffers(recoveryOffer && screenshot.isEmpty());
    if (recoveryOffer && screenshot.isEmpty()) QTimer::singleShot(800, &w, [&w] { w.offerRecovery(); });
    if (!files.isEmpty())
        QTimer::singleShot(0, &w, [&w, files] {
            for (const QString& f : files) w.openRequest(app::openMacroFor(f));
        });
    return app.exec();
}
