// The side panel on the left of the main window: the area of the one panel
// showing, below it the next-step suggestions with their prompt, and at the
// bottom the Back and Forward controls of the step history. What the
// controls do is the owner's (the main window's) business.
#pragma once

#include "ui/panellook.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class QToolButton;

namespace ui {

class sidePanel_t : public QWidget {
public:
    explicit sidePanel_t(QWidget* parent = nullptr);

    static constexpr int32_t panelWidth = 120;
    static constexpr int32_t suggestionAreaHeight = 142;
    static constexpr int32_t firstButtonY = 40;
    static constexpr int32_t buttonHeight = 18;
    static constexpr int32_t buttonGap = 2;

    // Shows `panel` (reparented into the panel area) in place of the one
    // showing, which is hidden, not freed.
    void setPanel(QWidget* panel);
    QWidget* panel() const { return panel_; }
    QWidget* panelArea() const { return area_; }

    // Shows the captions on the first buttons (at most four) and the prompt
    // when there is any.
    void showSuggestions(const std::vector<QString>& captions);
    listButton_t* suggestionButton(int32_t k) const { return buttons_[k]; }
    QLabel* prompt() const { return prompt_; }
    void clearHighlights();
    // The hover mark on suggestion button k (1..4) until the highlight
    // timer runs out; 0 clears every mark.
    void markSuggestion(int32_t k);

    // Back: arrow and label when going back is possible, a grey arrow
    // otherwise; Forward likewise without a label.
    void setStepControls(bool canBack, bool canForward);
    QToolButton* backButton() const { return back_; }
    QToolButton* forwardButton() const { return forward_; }

    // k: 1..4, the button clicked.
    std::function<void(int32_t k)> onSuggestion;
    std::function<void()> onBack;
    std::function<void()> onForward;
    // The mouse came over a suggestion.
    std::function<void()> onHover;

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void layoutSuggestions();

    QWidget* area_;
    QWidget* panel_ = nullptr;
    QWidget* suggestions_;
    QLabel* prompt_;
    std::array<listButton_t*, 4> buttons_{};
    QToolButton* back_;
    QToolButton* forward_;
    QTimer highlightTimer_;
};

} // namespace ui
