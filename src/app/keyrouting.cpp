#include "app/keyrouting.h"

#include "app/mainwindow.h"
#include "canvas/sandbox.h"
#include "ui/sidepanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace app {

keyRouter_t::keyRouter_t(TForm1* form) : QObject(form), form_(form) {}

bool keyRouter_t::route(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    canvas::TSandbox* w = form_->activeDocument();
    if (!w || !w->keyboardEnabled()) return false;
    if (w->FormKeyDown(key, modifiers)) return true;
    // Characters follow their key-down, as the platform delivers them (one
    // outside the basic plane as a pair of surrogates).
    if (!text.isEmpty() && (text.at(0).isPrint() || text.at(0).isHighSurrogate())) return w->FormKeyPress(text);
    return false;
}

bool keyRouter_t::sidePanelKey(int key) const
{
    // The keys that move through and press the side panel's controls stay
    // with them while one of them has the keyboard focus.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !form_->sidePanel() || !form_->sidePanel()->isAncestorOf(focus)) return false;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return true;
    default: return false;
    }
}

namespace {

// A text field of a side panel (the barcode's data) keeps every key it is
// sent: Delete and Backspace edit its text, never the canvas.
bool panelTextField(QObject* watched, QWidget* sidePanel)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    return field && sidePanel && sidePanel->isAncestorOf(field);
}

} // namespace

bool keyRouter_t::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        panelTextField(watched, form_->sidePanel()))
        return false;
    if (event->type() == QEvent::KeyRelease) lastEvent_ = nullptr;
    if (event->type() == QEvent::ShortcutOverride) {
        // A key that is also a menu command's shortcut stays with the canvas
        // where the canvas gives it a meaning of its own (Ctrl+A extending a
        // spline, the editing keys of a text being typed).
        QWidget* target = qobject_cast<QWidget*>(watched);
        canvas::TSandbox* w = form_->activeDocument();
        auto* k = static_cast<QKeyEvent*>(event);
        if (target && target->window() == form_ && !QApplication::activeModalWidget() && w && w->keyboardEnabled() &&
            !sidePanelKey(k->key()) && w->claimsKey(k->key(), k->modifiers())) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    // Keys typed into dialogs and floating editors stay there.
    QWidget* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != form_ || QApplication::activeModalWidget()) return false;
    // A key the focus widget does not take travels up to its parents; route it
    // once. (Every press is followed by a release, which clears the guard.)
    auto* k = static_cast<QKeyEvent*>(event);
    if (sidePanelKey(k->key())) return false;
    if (event == lastEvent_ && k->key() == lastKey_ && k->timestamp() == lastTime_) return false;
    lastEvent_ = event;
    lastKey_ = k->key();
    lastTime_ = k->timestamp();
    return route(k->key(), k->modifiers(), k->text());
}

} // namespace app
