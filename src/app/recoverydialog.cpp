#include "app/recoverydialog.h"

#include "model/docfile.h"
#include "model/itemlist.h"
#include "output/renderoutput.h"
#include "render/text.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QVBoxLayout>

namespace app {

namespace {

// Reads without asking: a snapshot that is not a document is damaged.
struct silentQuestions_t : model::docReadQuestions_t {
    bool askOpenInvalid() override { return false; }
    void warnNewerVersion(const std::string&) override {}
};

QString describe(const settings::recoveryEntry_t& e)
{
    const QString where = e.original.isEmpty() ? QStringLiteral("never saved")
                                               : QDir::toNativeSeparators(e.original);
    const QString when = QLocale().toString(e.time, QLocale::ShortFormat);
    return e.damaged ? QStringLiteral("%1\n%2 — damaged, cannot be restored").arg(e.title, where)
                     : QStringLiteral("%1\n%2\nlast changed %3").arg(e.title, where, when);
}

} // namespace

QImage recoveryDialog_t::thumbnail(const settings::recoveryEntry_t& entry, int32_t side)
{
    QImage out(side, side, QImage::Format_RGB32);
    out.fill(QColor(0xE0, 0xE0, 0xE0));
    model::itemList_t doc;
    silentQuestions_t q;
    QImage page;
    if (!entry.damaged && model::readDocument(entry.snapshot.toStdString(), doc, q) && model::findHeader(doc)) {
        render::layOutTexts(doc);
        page = output::exactImage(doc);
    }
    model::freeList(doc);
    QPainter p(&out);
    if (page.isNull()) {
        p.setPen(QPen(QColor(0xB0, 0x30, 0x30), 3));
        p.drawLine(side / 4, side / 4, side * 3 / 4, side * 3 / 4);
        p.drawLine(side * 3 / 4, side / 4, side / 4, side * 3 / 4);
        return out;
    }
    const QImage scaled = page.scaled(side - 4, side - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    p.drawImage((side - scaled.width()) / 2, (side - scaled.height()) / 2, scaled);
    return out;
}

recoveryDialog_t::recoveryDialog_t(std::vector<settings::recoveryEntry_t> entries, actions_t actions, QWidget* parent)
    : QDialog(parent), entries_(std::move(entries)), actions_(std::move(actions))
{
    setWindowTitle(QStringLiteral("Recover Documents"));
    auto* v = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Lumora ended without saving these documents. Restore a document to go on "
                                            "working on it, save it under a name, or discard it."),
                             this);
    intro->setWordWrap(true);
    v->addWidget(intro);
    list = new QListWidget(this);
    list->setIconSize(QSize(96, 96));
    list->setMinimumSize(520, 300);
    for (const settings::recoveryEntry_t& e : entries_) {
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(thumbnail(e, 96))), describe(e), list);
        item->setToolTip(QDir::toNativeSeparators(e.snapshot));
    }
    v->addWidget(list, 1);
    auto* buttons = new QHBoxLayout;
    restoreButton = new QPushButton(QStringLiteral("Restore"), this);
    saveAsButton = new QPushButton(QStringLiteral("Save As..."), this);
    discardButton = new QPushButton(QStringLiteral("Discard"), this);
    laterButton = new QPushButton(QStringLiteral("Decide Later"), this);
    for (QPushButton* b : {restoreButton, saveAsButton, discardButton}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(laterButton);
    v->addLayout(buttons);
    QObject::connect(restoreButton, &QPushButton::clicked, this, [this] { act(actions_.restore); });
    QObject::connect(saveAsButton, &QPushButton::clicked, this, [this] { act(actions_.saveAs); });
    QObject::connect(discardButton, &QPushButton::clicked, this, [this] { act(actions_.discard); });
    QObject::connect(laterButton, &QPushButton::clicked, this, &QDialog::reject);
    QObject::connect(list, &QListWidget::currentRowChanged, this, [this] { refreshButtons(); });
    list->setCurrentRow(0);
    refreshButtons();
}

void recoveryDialog_t::act(const std::function<bool(const settings::recoveryEntry_t&)>& action)
{
    const int row = list->currentRow();
    if (row < 0 || row >= int(entries_.size()) || !action) return;
    if (!action(entries_[size_t(row)])) return;
    entries_.erase(entries_.begin() + row);
    delete list->takeItem(row);
    if (entries_.empty()) accept();
    else refreshButtons();
}

void recoveryDialog_t::refreshButtons()
{
    const int row = list->currentRow();
    const bool any = row >= 0 && row < int(entries_.size());
    const bool readable = any && !entries_[size_t(row)].damaged;
    restoreButton->setEnabled(readable);
    saveAsButton->setEnabled(readable);
    discardButton->setEnabled(any);
}

} // namespace app
