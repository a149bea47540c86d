// The picture window TPict, hosted in the first floating window: a picture
// file (or a picture item's stored picture) shown at a zoom, mirrored, flipped
// or turned, with rectangular and round clips drawn, selected, moved and
// resized on it, and the side panel "Preview" that says how it will be
// inserted. Nothing reaches a document before "Insert".
#pragma once

#include "canvas/insertpicture.h"
#include "model/clips.h"
#include "render/picturesource.h"
#include "settings/params.h"
#include "panels/pictureview.h"
#include "ui/hostedpanel.h"

#include <QImage>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QStackedWidget;
class QToolButton;

namespace ui {
class panelFrame_t;
class TLinehelp;
} // namespace ui

namespace panels {

class frameEffectsLists_t;
class hintBox_t;
class tabStrip_t;

class TPict : public ui::THostedPanel {
public:
    // `code`: 51 a new picture, 503 re-clip, 510 add clips.
    TPict(settings::TParams& params, int32_t code, QWidget* parent = nullptr);
    ~TPict() override;

    // Loads a picture file (mode new picture); false when it cannot be
    // decoded (the window then stays empty and `loadError` says why).
    bool openFile(const QString& fileName);
    // The stored picture of a picture item (modes re-clip and add clips);
    // false when the item has no decodable picture data (the window stays empty).
    bool openItem(const model::itemList_t& document, const model::item_t* picture);
    QString loadError() const { return loadError_; }

    QSize preferredClientSize() const override;
    bool applyHosted() override;
    void hostClosing() override;

    // "Insert": what the window asks the editor to insert. True when it was done.
    std::function<bool(const canvas::pictureInsert_t&)> onInsert;
    // The "Insert" link of the hints: the host's left button.
    std::function<void()> onInsertLink;
    // A "Customize..." entry of the Effects lists (hosted panel code).
    std::function<void(int32_t hostedCode)> onCustomize;
    // True while the window takes no keys (the second floating window is shown).
    std::function<bool()> keysBlocked;
    // A picture file dropped on the window (from a file manager).
    std::function<void(const QString& fileName)> onFileDropped;

    // ---- state ----
    int32_t code() const { return code_; }
    canvas::pictureMode_t mode() const { return static_cast<canvas::pictureMode_t>(code_); }
    double zoom() const { return zoom_; }
    const render::pictureSource_t& source() const { return source_; }
    const model::pictureView_t& viewState() const { return view_; }
    const QImage& displayed() const { return displayed_; }
    const render::displayPlan_t& plan() const { return plan_; }
    model::itemList_t& clips() { return clips_; }
    pictTool_t tool() const { return tool_; }
    int32_t markSize() const;
    canvas::pictureInsert_t insertRequest() const;

    // ---- commands (toolbar buttons) ----
    void setTool(pictTool_t t);
    void undoClip();
    void redoClip();
    void refresh();
    void eraseClip();
    void mirror();
    void flip();
    void rotateLeft();
    void rotateRight();
    void zoomOut();
    void zoomIn();
    // Applies a zoom: a JPEG is decoded again at the scale it needs first.
    void applyZoom(double zoom);
    // Delete and Escape; true when used.
    bool keyPressed(int key);
    // Clips were drawn, selected or changed: toolbar states, summary, repaint.
    void clipsChanged();
    // A clip was outlined: the clip guidance page in place of the side panel
    // while its flag is set. Choosing a tool, erasing, a transform, undo,
    // redo or refresh brings the side panel back (zooming does not).
    void clipFinished();
    ui::TLinehelp* clipHelp() const { return clipHelp_; }

    // ---- controls ----
    enum button_t { btnUndo, btnRedo, btnRefresh, btnPointer, btnRect, btnRound, btnErase, btnMirror, btnFlip,
                    btnRotateLeft, btnRotateRight, btnZoomOut, btnZoomIn, buttonCount };
    std::array<QToolButton*, buttonCount> buttons{};
    QLabel* zoomCaption = nullptr;
    QLabel* zoomLabel = nullptr;
    QSlider* zoomSlider = nullptr;
    TPictView* view = nullptr;
    tabStrip_t* tabs = nullptr;
    QStackedWidget* pages = nullptr;
    QLabel* insertCaption = nullptr;
    QComboBox* insertList = nullptr;
    QLabel* summaryCaption = nullptr;
    QCheckBox* atChosenZoom = nullptr;
    QLabel* summaryRect = nullptr;
    QLabel* summaryRound = nullptr;
    std::array<hintBox_t*, 4> hints{};
    QWidget* effectsPage = nullptr;
    frameEffectsLists_t* effects = nullptr;
    std::array<hintBox_t*, 4> effectHints{};

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void buildToolbar(QWidget* strip);
    void buildSidePanel(QWidget* side);
    void buildEffects(QWidget* page);
    void rebuildDisplay();
    void refreshToolbar();
    void refreshClipsTab();
    void showHints(int32_t choice);
    void chooseInsert(int32_t choice);
    void showTab(int32_t tab);
    void hideClipHelp();
    QSize orientedSize() const;
    void startWithZoom(double zoom);

    settings::TParams& params_;
    int32_t code_;
    ui::panelFrame_t* sideFrame_ = nullptr;
    ui::TLinehelp* clipHelp_ = nullptr;
    render::pictureSource_t source_;
    model::pictureView_t view_;
    double zoom_ = 1.0;
    QImage displayed_;
    render::displayPlan_t plan_;
    model::itemList_t clips_;
    pictTool_t tool_ = pictTool_t::pointer;
    QString loadError_;
    bool syncing_ = false;
};

} // namespace panels
