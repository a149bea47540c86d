// The application-wide key hook: every key-down and character of the
// application goes to the active document window's key handlers first.
#pragma once

#include <QObject>

namespace canvas { class TSandbox; }

namespace app {

class TForm1;

class keyRouter_t : public QObject {
public:
    explicit keyRouter_t(TForm1* form);
    // Routes one key press; true when a document window consumed it.
    bool route(int key, Qt::KeyboardModifiers modifiers, const QString& text);
    // Whether the key belongs to the side panel control that has the focus.
    bool sidePanelKey(int key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm1* form_;
    // The press last routed: the same event travelling up to a parent is
    // not routed again. Qt may build the next press at the same address
    // while a modifier is still held, so the key and time tell them apart.
    const QEvent* lastEvent_ = nullptr;
    int lastKey_ = 0;
    quint64 lastTime_ = 0;
};

} // namespace app
