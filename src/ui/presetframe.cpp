#include "ui/presetframe.h"

#include "render/surface.h"

#include <QKeyEvent>
#include <QPixmap>

#include <algorithm>

namespace ui {

using namespace presetLayout;

namespace {

constexpr int32_t margin = 8;

void fillWith(QWidget* w, int32_t colour)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, render::toColor(colour));
    w->setPalette(pal);
}

} // namespace

QString helpBoxHtml(const QString& text)
{
    static const QString phrase = QStringLiteral("zero to remove");
    QString html = text.toHtmlEscaped();
    html.replace(phrase, QStringLiteral("<b><span style=\"color:#000000\">") + phrase + QStringLiteral("</span></b>"));
    return html;
}

TPresetFrame::TPresetFrame(const settings::TParams& look, int32_t titleColour, QWidget* parent)
    : THostedPanel(parent), titleColour_(titleColour)
{
    fillWith(this, look.panelColor);
    setFont(interfaceFont(false));
    // The frame takes the window's first focus (and Esc), so that no row
    // looks chosen before the user picks one.
    setFocusPolicy(Qt::StrongFocus);
    left_ = new QWidget(this);
    fillWith(left_, look.panelColor2);
    auto* title = new titleBar_t(left_);
    title->setCaption(QStringLiteral("Select"), titleColour_);
    title->setGeometry(0, 0, leftPaneWidth, titleBarHeight);
    splitter_ = new QWidget(this);
    fillWith(splitter_, look.splitterColor);
    splitter_->setGeometry(leftPaneWidth, 0, splitterWidth, frameHeight);
    strip_ = new QWidget(this);
    strip_->hide();
    picture1_ = new QLabel(this);
    picture2_ = new QLabel(this);
    picture1_->setPixmap(QPixmap::fromImage(colourBar(lookBlue, QSize(helpPictureSide, helpPictureSide))));
    picture2_->setPixmap(QPixmap::fromImage(colourBar(lookYellow, QSize(helpPictureSide, helpPictureSide))));
    for (QLabel** box : {&box1_, &box2_}) {
        *box = new QLabel(this);
        (*box)->setWordWrap(true);
        (*box)->setTextFormat(Qt::RichText);
        (*box)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    highlightTimer.setSingleShot(true);
    highlightTimer.setInterval(5000);
    QObject::connect(&highlightTimer, &QTimer::timeout, this, [this] {
        for (listButton_t* b : rows_)
            if (b) b->clearHover();
    });
}

void TPresetFrame::startFrame()
{
    for (int32_t k = 1; k <= settings::presetRows; ++k) {
        auto* b = new listButton_t(left_);
        b->setGeometry(1, rowTop(k), rowButtonWidth, rowButtonHeight);
        b->setHighlightColour(lookYellow);
        b->setCaption(rowName(k));
        b->onClick = [this, k] { chooseRow(k); };
        b->onHover = [this, k] { rowHovered(k); };
        rows_[size_t(k - 1)] = b;
    }
    if (stripAlwaysShown) strip_->show();
    strip_->resize(stripSize());
    const auto [first, second] = helpTexts(false);
    setHelp(first, second);
    resize(preferredClientSize());
    placeBoxes();
}

QSize TPresetFrame::preferredClientSize() const
{
    return {rightPaneLeft + stripSize().width(), preferredHeight()};
}

bool TPresetFrame::applyHosted()
{
    save();
    if (onSaved) onSaved();
    return true;
}

void TPresetFrame::chooseRow(int32_t k)
{
    if (k < 1 || k > settings::presetRows || k == currentRow_) return;
    currentRow_ = k;
    for (int32_t j = 1; j <= settings::presetRows; ++j) {
        listButton_t* b = rowButton(j);
        b->setHighlightColour(j == k ? lookViolet : lookYellow);
        b->setChosen(j == k);
    }
    filling_ = true;
    fillStrip(k);
    filling_ = false;
    strip_->show();
    const auto [first, second] = helpTexts(true);
    setHelp(first, second);
    placeBoxes();
}

void TPresetFrame::rowHovered(int32_t k)
{
    for (int32_t j = 1; j <= settings::presetRows; ++j)
        if (j != k) rowButton(j)->clearHover();
    highlightTimer.start();
}

void TPresetFrame::refreshRowButton(int32_t k)
{
    if (k >= 1 && k <= settings::presetRows && rows_[size_t(k - 1)]) rowButton(k)->setCaption(rowName(k));
}

void TPresetFrame::setHelp(const QString& first, const QString& second)
{
    if (first != help1_) box1_->setText(helpBoxHtml(first));
    if (second != help2_) box2_->setText(helpBoxHtml(second));
    help1_ = first;
    help2_ = second;
}

void TPresetFrame::resizeEvent(QResizeEvent*)
{
    left_->setGeometry(0, 0, leftPaneWidth, height());
    splitter_->setGeometry(leftPaneWidth, 0, splitterWidth, height());
    placeBoxes();
}

void TPresetFrame::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && window() != this) {
        window()->close();
        return;
    }
    THostedPanel::keyPressEvent(e);
}

void TPresetFrame::placeBoxes()
{
    const int32_t top = !strip_->isHidden() ? strip_->height() + margin : margin;
    strip_->move(rightPaneLeft, 0);
    const int32_t textLeft = rightPaneLeft + margin + helpPictureSide + margin;
    const int32_t textWidth = std::max(40, width() - textLeft - margin);
    picture1_->setGeometry(rightPaneLeft + margin, top, helpPictureSide, helpPictureSide);
    picture2_->setGeometry(rightPaneLeft + margin, top + helpBoxGap, helpPictureSide, helpPictureSide);
    box1_->setGeometry(textLeft, top, textWidth, helpBoxGap - 4);
    box2_->setGeometry(textLeft, top + helpBoxGap, textWidth, std::max(helpBoxGap, height() - top - helpBoxGap - margin));
}

} // namespace ui
