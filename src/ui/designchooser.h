// The design-type chooser: the first page of the page setup window when a
// document has no design type yet. Pointing at a type shows its sketch and
// description; clicking it picks the type.
#pragma once

#include <QImage>
#include <QLabel>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

namespace ui {

// The chooser's buttons, top to bottom.
constexpr std::array<int32_t, 8> chooserOrder{1, 10, 2, 3, 4, 11, 5, 9};

// A 180 × 260 sketch of a design type's sheet (its cards, folds or panels).
QImage designTypeSketch(int32_t type);

class designChooser_t : public QWidget {
public:
    explicit designChooser_t(QWidget* parent);
    // Shows the sketch and description of `type` (the button under the pointer).
    void highlight(int32_t type);
    int32_t highlighted() const { return highlighted_; }
    QToolButton* button(int32_t type) const;
    // A click on a type's button.
    std::function<void(int32_t type)> chosen;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::array<QToolButton*, 8> buttons_{};
    QLabel* sketch_ = nullptr;
    QLabel* description_ = nullptr;
    int32_t highlighted_ = 0;
};

} // namespace ui
