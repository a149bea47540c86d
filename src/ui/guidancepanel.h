// The guidance panel TLinehelp: a "Hints" page of up to four short texts with
// their keywords in bold and their links, each with a small picture, and the
// "Don't show this help page again." box at the bottom. Where a link leads
// and what the box changes is the owner's business.
#pragma once

#include "ui/guidancetexts.h"
#include "ui/panellook.h"

#include <QTextDocument>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;

namespace ui {

// The keyword styles: the first occurrence of `keyword` (case-sensitive) in
// black bold, or black underlined as a link. False, and the text unstyled,
// when the keyword does not occur.
bool emphasize(QTextDocument& text, const QString& keyword);
bool linkify(QTextDocument& text, const QString& keyword);
// A link under the mouse: blue and underlined; otherwise as `linkify` left it.
void setLinkHot(QTextDocument& text, const QString& keyword, bool hot);

// One read-only text box of a page on the grey of the panel.
class guidanceBox_t : public QWidget {
public:
    explicit guidanceBox_t(QWidget* parent = nullptr);
    void setText(const guidanceText_t& text);
    const guidanceText_t& text() const { return text_; }
    QTextDocument& document() { return doc_; }
    bool hasLink() const { return !text_.link.isEmpty(); }
    // The box's link shows in the hover style.
    bool hot() const { return hot_; }
    void setHot(bool on);
    // The height of the text laid out at `width`.
    int32_t neededHeight(int32_t width);

    std::function<void()> onPress;  // a press anywhere in a box with a link
    std::function<void()> onEnter;  // the mouse came over a box with a link

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    guidanceText_t text_;
    QTextDocument doc_;
    bool hot_ = false;
};

class TLinehelp : public panelFrame_t {
public:
    explicit TLinehelp(QWidget* parent = nullptr);

    // Builds the page `code` (1024..1080): its texts, styles and pictures;
    // the check box starts cleared.
    void showGuidancePage(int32_t code);
    int32_t page() const { return page_.code; }
    const guidancePage_t& pageData() const { return page_; }

    // Box 1, 2, 3 or 5; null for another number.
    guidanceBox_t* box(int32_t number) const;
    QLabel* picture(int32_t number) const;
    QCheckBox* dontShowBox() const { return check_; }
    QLabel* dontShowLabel() const { return checkText_; }
    // Ticks or clears the box without telling the owner.
    void setDontShow(bool ticked);

    // A box holding a link was pressed (it is hidden already): 1, 2, 3 or 5.
    std::function<void(int32_t box)> onLink;
    // The check box was ticked (true) or cleared.
    std::function<void(bool ticked)> onDontShow;

    // The lowest point of the page's controls, in the panel's coordinates.
    int32_t contentBottom() const;

    static constexpr int32_t pictureSize = 12;
    static constexpr int32_t textLeft = 17;
    static constexpr int32_t boxGap = 6;

protected:
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void layoutPage();
    int32_t indexOf(int32_t number) const;

    guidancePage_t page_;
    std::array<guidanceBox_t*, 4> boxes_{};
    std::array<QLabel*, 4> pictures_{};
    QCheckBox* check_;
    QLabel* checkText_;
    bool quiet_ = false;
};

} // namespace ui
