// The document area of the main window: the document windows in their MDI
// area, where a new one goes (cascading), which one is active, and the
// Window menu that lists them.
#pragma once

#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QWidget;

namespace canvas {
class TSandbox;
} // namespace canvas

namespace app {

class TForm1;

class documentArea_t {
public:
    documentArea_t(TForm1& shell, QWidget* parent);
    documentArea_t(const documentArea_t&) = delete;
    documentArea_t& operator=(const documentArea_t&) = delete;

    QMdiArea* widget() const { return mdiArea_; }
    QMenu* windowMenu() const { return menuWindow_; }
    void buildWindowMenu(QMenuBar* bar);

    std::vector<canvas::TSandbox*> documents() const;  // open, not closing
    canvas::TSandbox* activeDocument() const;
    // A document window for `name` (untitled when empty): a single untouched
    // document makes way for a named file; otherwise a new window.
    // `remember` false keeps the file out of Reopen (a recovery snapshot).
    canvas::TSandbox* openDocumentWindow(const QString& name, bool remember = true);
    bool activateWindow(int32_t docNumber);
    void activate(canvas::TSandbox* w);
    // Closes the active window (its close question included).
    void closeActive();
    // The window that was active is gone.
    void forget(canvas::TSandbox* w);

    // The Window menu's entries, one per document.
    void addEntry(const QString& caption, int32_t docNumber);
    // Checks the document's entry; returns its caption ("" when it has none).
    QString checkEntry(int32_t docNumber);
    // True when the menu has no entry left.
    bool removeEntry(int32_t docNumber);

    // Detaches and deletes every document window, closed ones still waiting
    // for their deferred deletion included (teardown).
    void deleteDocumentWindows();

private:
    canvas::TSandbox* sandboxOf(QMdiSubWindow* sub) const;
    int32_t randomWindowNumber() const;
    void subWindowActivated(QMdiSubWindow* sub);
    // Where a new document window goes when `othersOpen` are open already:
    // inside the document area, cascading.
    QRect newWindowGeometry(int32_t othersOpen) const;
    // Moves (and if need be shrinks) a normal sub-window into the document area.
    void keepInsideArea(QMdiSubWindow* sub);

    TForm1& shell_;
    QMdiArea* mdiArea_ = nullptr;
    QMenu* menuWindow_ = nullptr;
    canvas::TSandbox* lastActive_ = nullptr;
};

} // namespace app
