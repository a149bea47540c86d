// The main window's side of recovery: the snapshot keeper started with the
// window, the Tools menu's switch, and the offer of orphaned snapshots at
// start and when a file with a newer orphan is opened.
#include "app/mainwindow.h"

#include "app/documentarea.h"
#include "app/recoverydialog.h"
#include "app/recoverykeeper.h"
#include "app/viewcommands.h"
#include "model/docfile.h"
#include "settings/recoverystore.h"
#include "ui/dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>

namespace app {

void TForm1::startRecovery()
{
    settings::settingsStore_t* store = params_->store();
    int32_t on = 1, idle = defaultIdleMs;
    if (store) {
        store->readInt(keyRecovery, QStringLiteral("on"), on);
        store->readInt(keyRecovery, QStringLiteral("idle"), idle);
    }
    recovery_ = std::make_unique<recoveryKeeper_t>(
        settings::recoveryFolder(), [this] { return documents(); }, [this](const QString& t) { showStatus(t); },
        std::clamp(idle, 500, 600000), this);
    if (on) recovery_->start();
    else recovery_->setEnabled(false);

    recoveryItem_ = viewMenu().menuTools->addAction(QStringLiteral("Recovery Snapshots"));
    recoveryItem_->setCheckable(true);
    recoveryItem_->setChecked(on != 0);
    recoveryItem_->setToolTip(QStringLiteral("Keep snapshots of unsaved work, offered again after a crash"));
    QObject::connect(recoveryItem_, &QAction::toggled, this, [this](bool checked) {
        recovery_->setEnabled(checked);
        if (settings::settingsStore_t* s = params_->store(); s && s->openKey(keyRecovery)) {
            s->writeInt(keyRecovery, QStringLiteral("on"), checked ? 1 : 0);
            s->commit();
        }
    });
}

bool TForm1::offerRecovery(const QString& forFile)
{
    std::vector<settings::recoveryEntry_t> entries = settings::recoveryStore_t::orphans(settings::recoveryFolder());
    if (!forFile.isEmpty()) {
        // Only snapshots of that file taken after it was last written.
        const QFileInfo file(forFile);
        std::erase_if(entries, [&](const settings::recoveryEntry_t& e) {
            return e.original != file.absoluteFilePath() || e.time <= file.lastModified();
        });
    }
    if (entries.empty()) return false;
    recoveryDialog_t::actions_t actions;
    actions.restore = [this](const settings::recoveryEntry_t& e) { return restoreSnapshot(e); };
    actions.saveAs = [this](const settings::recoveryEntry_t& e) {
        ui::fileRequest_t r;
        r.title = QStringLiteral("Save As");
        r.name = e.original.isEmpty() ? QString() : QFileInfo(e.original).fileName();
        r.defaultExt = QString::fromLatin1(model::documentExtension);
        r.filter = QString::fromLatin1(model::documentFileFilter);
        r.filterIndex = 2;
        QString chosen = ui::dialogs().saveFile(r);
        if (chosen.isEmpty()) return false;
        if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".") + r.defaultExt;
        QFile f(e.snapshot);
        std::string error;
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        const std::vector<uint8_t> data(bytes.begin(), bytes.end());
        if (bytes.isEmpty() || !model::writeBytesToFile(chosen.toStdString(), data, &error)) {
            ui::dialogs().message(ui::msgKind_t::warning,
                                  QStringLiteral("The file \"%1\" could not be saved: %2")
                                      .arg(chosen, error.empty() ? QStringLiteral("the snapshot cannot be read")
                                                                 : QString::fromStdString(error)),
                                  ui::btnOk);
            return false;
        }
        settings::recoveryStore_t::discard(e);
        return true;
    };
    actions.discard = [](const settings::recoveryEntry_t& e) { return settings::recoveryStore_t::discard(e); };
    if (recoveryDialog_) recoveryDialog_->close();
    recoveryDialog_ = new recoveryDialog_t(std::move(entries), std::move(actions), this);
    recoveryDialog_->setAttribute(Qt::WA_DeleteOnClose);
    recoveryDialog_->open();
    return true;
}

bool TForm1::restoreSnapshot(const settings::recoveryEntry_t& entry)
{
    if (entry.damaged) return false;
    canvas::TSandbox* w = area_->openDocumentWindow(entry.snapshot, false);
    if (!w || w->fileName() != QFileInfo(entry.snapshot).absoluteFilePath()) return false;
    w->adoptRecovered(entry.original);
    // The document is open and modified: its own snapshot takes over.
    settings::recoveryStore_t::discard(entry);
    if (recovery_) recovery_->documentChanged();
    return true;
}

} // namespace app
