// A main window on a private settings folder with scripted dialogs.
#pragma once

#include "ui/dialogs.h"
#include "app/editcommands.h"
#include "app/filecommands.h"
#include "app/mainwindow.h"
#include "app/viewcommands.h"
#include "ui/sidepanel.h"
#include "model/clipboard.h"
#include "model/itemlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class ShellTest : public ::testing::Test {
protected:
    QTemporaryDir cfg;
    QTemporaryDir files;
    ui::scriptedDialogs_t dlg;
    std::unique_ptr<ui::scopedDialogs_t> scope;
    std::unique_ptr<app::TForm1> w;

    void SetUp() override
    {
        ASSERT_TRUE(cfg.isValid());
        ASSERT_TRUE(files.isValid());
        qputenv("LUMORA_CONFIG_DIR", cfg.path().toLocal8Bit());
        // Recovery snapshots (and anything else kept in the user's data
        // folder) stay in the test's own folder.
        qputenv("XDG_DATA_HOME", cfg.filePath(QStringLiteral("data")).toLocal8Bit());
        // The clipboard lives for the program run: each test starts with it empty.
        model::freeList(model::clipboardList());
        scope = std::make_unique<ui::scopedDialogs_t>(dlg);
        w = std::make_unique<app::TForm1>();
        w->resize(1000, 760);
        w->show();
        // Start-up's own timers are fired by hand where a test needs them.
        w->untitledTimer().stop();
        w->setupPanelTimer().stop();
    }

    void TearDown() override
    {
        if (w) {
            w->confirmExit();
            w.reset();
        }
        scope.reset();
        qunsetenv("XDG_DATA_HOME");
    }

    // Destroys the window (writing the settings) and makes a new one on the same store.
    void restart()
    {
        w->confirmExit();
        w.reset();
        w = std::make_unique<app::TForm1>();
        w->show();
        w->untitledTimer().stop();
        w->setupPanelTimer().stop();
    }

    canvas::TSandbox* untitled()
    {
        w->openUntitledIfNone();
        return w->activeDocument();
    }

    QString path(const QString& name) const { return files.filePath(name); }

    // A document file on disk, written by the editor itself.
    QString makeFile(const QString& name)
    {
        canvas::TSandbox* d = w->openDocumentWindow(QString());
        dlg.fileAnswers.push_back(path(name));
        EXPECT_TRUE(w->saveDocumentAs(d));
        const QString full = d->fileName();
        model::setModified(d->items(), false);
        d->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dlg.messages.clear();
        dlg.fileRequests.clear();
        return full;
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};
