#include "app/documentarea.h"

#include "app/mainwindow.h"
#include "model/itemlist.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRandomGenerator>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace app {

documentArea_t::documentArea_t(TForm1& shell, QWidget* parent) : shell_(shell)
{
    mdiArea_ = new QMdiArea(parent);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setBackground(QColor(0x80, 0x80, 0x80));
    mdiArea_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    QObject::connect(mdiArea_, &QMdiArea::subWindowActivated, &shell_,
                     [this](QMdiSubWindow* s) { subWindowActivated(s); });
}

void documentArea_t::buildWindowMenu(QMenuBar* bar)
{
    menuWindow_ = bar->addMenu(QStringLiteral("&Window"));
    menuWindow_->menuAction()->setVisible(false);
}

canvas::TSandbox* documentArea_t::sandboxOf(QMdiSubWindow* sub) const
{
    return sub ? dynamic_cast<canvas::TSandbox*>(sub->widget()) : nullptr;
}

std::vector<canvas::TSandbox*> documentArea_t::documents() const
{
    std::vector<canvas::TSandbox*> out;
    for (QMdiSubWindow* s : mdiArea_->subWindowList(QMdiArea::CreationOrder))
        if (canvas::TSandbox* w = sandboxOf(s); w && !w->isClosing()) out.push_back(w);
    return out;
}

canvas::TSandbox* documentArea_t::activeDocument() const
{
    canvas::TSandbox* w = sandboxOf(mdiArea_->activeSubWindow());
    if (!w) w = sandboxOf(mdiArea_->currentSubWindow());
    if (w && w->isClosing()) return nullptr;
    return w;
}

int32_t documentArea_t::randomWindowNumber() const
{
    const std::vector<canvas::TSandbox*> docs = documents();
    for (;;) {
        const int32_t n = static_cast<int32_t>(QRandomGenerator::global()->bounded(1, 1000000));
        bool used = false;
        for (const canvas::TSandbox* w : docs)
            if (w->documentNumber() == n) used = true;
        if (!used) return n;
    }
}

canvas::TSandbox* documentArea_t::openDocumentWindow(const QString& name, bool remember)
{
    const int32_t number = randomWindowNumber();
    const std::vector<canvas::TSandbox*> docs = documents();
    canvas::TSandbox* w = nullptr;
    // A single untouched untitled document makes way for a named file; an
    // opened file, even an empty one, keeps its window.
    if (!name.isEmpty() && docs.size() == 1 && docs[0] == activeDocument() && docs[0]->fileName().isEmpty() &&
        model::isPristine(docs[0]->items())) {
        w = docs[0];
        shell_.removeWindowEntry(w->documentNumber());
    } else {
        w = new canvas::TSandbox(&shell_);
        QMdiSubWindow* sub = mdiArea_->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(QIcon(QPixmap(1, 1)));
        // Placed before it shows, so that the area's own placement (which
        // puts later windows beside the first, mostly out of sight) is not used.
        sub->setGeometry(newWindowGeometry(static_cast<int32_t>(docs.size())));
        QObject::connect(sub, &QMdiSubWindow::windowStateChanged, &shell_,
                         [this, sub](Qt::WindowStates before, Qt::WindowStates now) {
                             // A restored window comes back where it was, which may lie
                             // outside the area since the main window was resized.
                             const Qt::WindowStates big = Qt::WindowMaximized | Qt::WindowMinimized;
                             if ((before & big) && !(now & big))
                                 QTimer::singleShot(0, sub, [this, sub] { keepInsideArea(sub); });
                         });
        if (docs.empty()) sub->showMaximized();
        else sub->show();
    }
    const bool opened = w->openDocument(number, name);
    activate(w);
    // The window may have become active before its document was ready, when
    // activation could not yet check its entry.
    shell_.checkWindowEntry(w->documentNumber());
    // Whatever asked for the file (the Open dialog, Reopen, the command line,
    // an open request), a file that opened goes to the top of Reopen; one
    // that was refused or could not be read does not.
    if (remember && opened && !w->fileName().isEmpty()) shell_.addRecent(w->fileName());
    shell_.setDocumentCommandsEnabled(true);
    return w;
}

void documentArea_t::activate(canvas::TSandbox* w)
{
    if (QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) mdiArea_->setActiveSubWindow(sub);
}

void documentArea_t::closeActive()
{
    if (!activeDocument()) return;
    if (QMdiSubWindow* sub = mdiArea_->activeSubWindow()) sub->close();
}

QRect documentArea_t::newWindowGeometry(int32_t othersOpen) const
{
    const QRect area = mdiArea_->viewport()->rect();
    const int32_t width = std::min(std::max(300, area.width() * 3 / 4), std::max(1, area.width()));
    const int32_t height = std::min(std::max(200, area.height() * 3 / 4), std::max(1, area.height()));
    // Each further window one title bar down and right of the one before,
    // starting again at the top-left before it would leave the area.
    const int32_t step = std::max(8, shell_.style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const int32_t room = std::min(area.width() - width, area.height() - height) / step + 1;
    const int32_t k = othersOpen % std::max(1, room);
    return QRect(k * step, k * step, width, height);
}

void documentArea_t::keepInsideArea(QMdiSubWindow* sub)
{
    if (!sub || sub->isMaximized() || sub->isMinimized()) return;
    const QRect area = mdiArea_->viewport()->rect();
    QRect g = sub->geometry();
    g.setWidth(std::min(g.width(), area.width()));
    g.setHeight(std::min(g.height(), area.height()));
    g.moveLeft(std::clamp(g.left(), 0, std::max(0, area.width() - g.width())));
    g.moveTop(std::clamp(g.top(), 0, std::max(0, area.height() - g.height())));
    if (g != sub->geometry()) sub->setGeometry(g);
}

bool documentArea_t::activateWindow(int32_t docNumber)
{
    for (QMdiSubWindow* s : mdiArea_->subWindowList()) {
        canvas::TSandbox* w = sandboxOf(s);
        if (w && !w->isClosing() && w->documentNumber() == docNumber) {
            mdiArea_->setActiveSubWindow(s);
            s->show();
            // Choosing the entry of the window already active toggles the
            // entry's check mark off; the active window's entry stays checked.
            shell_.checkWindowEntry(docNumber);
            return true;
        }
    }
    return false;
}

void documentArea_t::subWindowActivated(QMdiSubWindow* sub)
{
    canvas::TSandbox* w = sandboxOf(sub);
    if (w == lastActive_) return;
    if (lastActive_ && !lastActive_->isClosing()) lastActive_->FormDeactivate();
    lastActive_ = w;
    if (w && !w->isClosing()) w->FormActivate();
}

void documentArea_t::forget(canvas::TSandbox* w)
{
    if (w == lastActive_) lastActive_ = nullptr;
}

void documentArea_t::addEntry(const QString& caption, int32_t docNumber)
{
    for (QAction* a : menuWindow_->actions()) {
        if (a->data().toInt() == docNumber) {
            a->setText(caption);
            return;
        }
    }
    QAction* a = menuWindow_->addAction(caption, &shell_, [this, docNumber] { shell_.activateWindow(docNumber); });
    a->setData(docNumber);
    a->setCheckable(true);
    menuWindow_->menuAction()->setVisible(true);
}

QString documentArea_t::checkEntry(int32_t docNumber)
{
    QString caption;
    for (QAction* a : menuWindow_->actions()) {
        const bool mine = a->data().toInt() == docNumber;
        a->setChecked(mine);
        if (mine) caption = a->text().trimmed();
    }
    return caption;
}

bool documentArea_t::removeEntry(int32_t docNumber)
{
    for (QAction* a : menuWindow_->actions()) {
        if (a->data().toInt() == docNumber) {
            menuWindow_->removeAction(a);
            a->deleteLater();
            break;
        }
    }
    if (!menuWindow_->actions().isEmpty()) return false;
    menuWindow_->menuAction()->setVisible(false);
    return true;
}

void documentArea_t::deleteDocumentWindows()
{
    // Every document window still alive, including those already closed whose
    // deferred deletion has not run (the area's window list no longer has
    // them): each is detached first, so that none calls back into the half
    // destroyed main window, then deleted with its frame while the members exist.
    std::vector<canvas::TSandbox*> all;
    // The document window has no meta-object of its own, so it is told apart by its type.
    for (QWidget* c : shell_.findChildren<QWidget*>())
        if (auto* d = dynamic_cast<canvas::TSandbox*>(c)) all.push_back(d);
    std::vector<QPointer<QWidget>> doomed;
    for (canvas::TSandbox* w : all) {
        w->markClosing();
        w->detachHost();
        QWidget* frame = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        doomed.emplace_back(frame ? frame : static_cast<QWidget*>(w));
    }
    lastActive_ = nullptr;
    for (const QPointer<QWidget>& p : doomed) delete p.data();
    // The area outlives the main window's own part by a moment; it reports nothing more.
    mdiArea_->disconnect(&shell_);
}

} // namespace app
