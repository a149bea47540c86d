// The text panel TTextbox: the font, size, weight, style, justification,
// angle, colour, surface and shadow of text. With the text tool it edits the
// defaults of the next text (and the text being typed); with texts selected
// it fine-tunes them, every change through the setters of the document
// window.
#pragma once

#include "panels/panelhost.h"
#include "settings/params.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class QComboBox;
class QLabel;
class QSlider;

namespace model {
struct itemList_t;
}

namespace panels {

class hintBox_t;
class pickListBox_t;
class styleButton_t;
class tabStrip_t;

struct fontWeight_t {
    const char* name;
    int32_t weight;
};
extern const std::array<fontWeight_t, 9> fontWeights;
// The entry of a weight, -1 for a weight the list does not have.
int32_t indexOfFontWeight(int32_t weight);

// What the selected items (group handles aside) have in common. A value
// that differs between them carries its mixed mark: -1, an empty name, or
// -2 for the direction (whose -1 means "any angle").
struct textSummary_t {
    int32_t count = 0;
    int32_t colour = -1;
    QString fontName;
    int32_t charset = -1;
    int32_t size = -1;
    int32_t weight = -1;
    int32_t italic = -1, underline = -1, strikeout = -1;
    int32_t justification = -1;
    int32_t direction = -2;
    int32_t elevation = -1, fade = -1, lightness = -1;
    int32_t surface = -1;
};
textSummary_t summarizeTexts(model::itemList_t& list);

// Which hints show: those of the mode, or the typing (303) or editing (37)
// variant while a text is typed or edited.
constexpr int32_t textHintsTyping = 303;
constexpr int32_t textHintsEditing = 37;

class TTextbox : public attributePanel_t {
public:
    // Codes 300, 302 and 303: the text tool's defaults; 301: the selected texts.
    TTextbox(int32_t code, panelHost_t& host, QWidget* parent = nullptr);

    bool toolMode() const { return toolMode_; }
    int32_t tab() const { return tab_; }
    const textSummary_t& summary() const { return summary_; }

    // Summarise the selection and show it and the settings.
    void refresh();

    void selectionChanged() override { refresh(); }
    void customizationClosed(int32_t hostedCode) override;
    void textHintsChanged(int32_t which) override;

    // The controls, for the window's own use and for tests.
    tabStrip_t* tabs() const { return tabs_; }
    styleButton_t* boldButton() const { return buttons_[0]; }
    // 1 italic, 2 underline, 3 strikeout.
    styleButton_t* styleButton(int32_t which) const { return buttons_[size_t(which)]; }
    // 1 left, 2 centre, 3 right.
    styleButton_t* justifyButton(int32_t j) const { return buttons_[size_t(3 + j)]; }
    pickListBox_t* colourList() const { return colour_; }
    QComboBox* nameList() const { return name_; }
    QComboBox* charsetList() const { return charset_; }
    pickListBox_t* sizeList() const { return size_; }
    QComboBox* weightList() const { return weight_; }
    QSlider* weightSlider() const { return slider_; }
    pickListBox_t* angleList() const { return angle_; }
    pickListBox_t* surfaceList() const { return surface_; }
    pickListBox_t* shadowList() const { return shadow_; }
    hintBox_t* hint(int32_t box) const { return hints_[size_t(box - 1)]; }
    // The character set codes the list shows, in its order.
    const std::vector<int32_t>& charsetMapping() const { return charsetCodes_; }

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void build();
    void layoutControls();
    void fitWeightNames();
    void showTab();
    void fillNames();
    void fillCharsets();
    void showWeight(int32_t weight);
    void showButtons();
    void showHints();
    int32_t initialHints() const;

    // The active window while it types a text with the text tool: the one the
    // text defaults reach at once.
    canvas::TSandbox* typingWindow() const;
    void applyDefaults();
    void step();
    // Opens a customization from a list's "Customize..." entry; the list
    // returns to its entry before when it cannot be shown.
    void customize(int32_t hostedCode, QComboBox* list, int32_t previous);

    void colourChosen(int32_t index);
    void nameChosen(int32_t index);
    void charsetChosen(int32_t index);
    void sizeChosen(int32_t index);
    void weightChosen(int32_t index);
    void sliderMoved(int32_t position);
    void applyWeight(int32_t weight);
    void boldPressed();
    void stylePressed(int32_t which);
    void justifyPressed(int32_t j);
    void angleChosen(int32_t index);
    void surfaceChosen(int32_t index);
    void shadowChosen(int32_t index);

    settings::TParams& p() const { return host_.params(); }
    int32_t currentWeight() const;
    int32_t styleValue(int32_t which) const;
    QString currentFontName() const;

    bool toolMode_;
    int32_t tab_ = 1;
    bool building_ = false;
    int32_t hintVariant_ = 0;
    textSummary_t summary_;
    std::vector<int32_t> charsetCodes_;
    int32_t lastColour_ = -1, lastSize_ = -1, lastAngle_ = -1, lastShadow_ = -1;

    tabStrip_t* tabs_ = nullptr;
    std::array<styleButton_t*, 7> buttons_{};
    pickListBox_t* colour_ = nullptr;
    QComboBox* name_ = nullptr;
    QComboBox* charset_ = nullptr;
    pickListBox_t* size_ = nullptr;
    QComboBox* weight_ = nullptr;
    QSlider* slider_ = nullptr;
    pickListBox_t* angle_ = nullptr;
    pickListBox_t* surface_ = nullptr;
    pickListBox_t* shadow_ = nullptr;
    // Label and control of each list, by tab.
    std::vector<std::pair<QLabel*, QWidget*>> fontRows_, effectRows_;
    QLabel* customLabel_ = nullptr;
    std::array<hintBox_t*, 2> hints_{};
};

} // namespace panels
