#include "ui/sidepanel.h"

#include "render/surface.h"

#include <QLabel>
#include <QToolButton>

namespace ui {

namespace {
constexpr int32_t stepControlHeight = 20;
} // namespace

sidePanel_t::sidePanel_t(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("sidePanel"));
    setFixedWidth(panelWidth);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, render::toColor(panelColour()));
    setPalette(pal);

    area_ = new QWidget(this);
    area_->setObjectName(QStringLiteral("panelArea"));
    suggestions_ = new QWidget(this);
    suggestions_->setObjectName(QStringLiteral("suggestionArea"));

    prompt_ = new QLabel(QStringLiteral("Select what you want to do next..."), suggestions_);
    prompt_->setObjectName(QStringLiteral("nextStepLine"));
    prompt_->setWordWrap(true);
    prompt_->setFont(interfaceFont(false));
    prompt_->hide();

    highlightTimer_.setSingleShot(true);
    highlightTimer_.setInterval(5000);
    QObject::connect(&highlightTimer_, &QTimer::timeout, this, [this] { clearHighlights(); });
    for (int32_t k = 0; k < 4; ++k) {
        auto* b = new listButton_t(suggestions_);
        b->setObjectName(QStringLiteral("suggestion%1").arg(k + 1));
        b->setHighlightColour(lookYellow);
        b->hide();
        b->onClick = [this, b, k] {
            b->hide();
            if (onSuggestion) onSuggestion(k + 1);
        };
        b->onHover = [this, b] {
            for (listButton_t* o : buttons_)
                if (o != b) o->clearHover();
            highlightTimer_.start();
            if (onHover) onHover();
        };
        buttons_[k] = b;
    }

    back_ = new QToolButton(suggestions_);
    back_->setObjectName(QStringLiteral("backButton"));
    back_->setArrowType(Qt::LeftArrow);
    back_->setText(QStringLiteral("Back"));
    back_->setAutoRaise(true);
    back_->setFont(interfaceFont(false));
    forward_ = new QToolButton(suggestions_);
    forward_->setObjectName(QStringLiteral("forwardButton"));
    forward_->setArrowType(Qt::RightArrow);
    forward_->setAccessibleName(QStringLiteral("Forward"));
    forward_->setAutoRaise(true);
    QObject::connect(back_, &QToolButton::clicked, this, [this] { if (onBack) onBack(); });
    QObject::connect(forward_, &QToolButton::clicked, this, [this] { if (onForward) onForward(); });
    setStepControls(false, false);
}

void sidePanel_t::setPanel(QWidget* panel)
{
    if (panel_ == panel) return;
    if (panel_) panel_->hide();
    panel_ = panel;
    if (!panel) return;
    panel->setParent(area_);
    panel->setGeometry(area_->rect());
    panel->show();
}

void sidePanel_t::showSuggestions(const std::vector<QString>& captions)
{
    for (size_t k = 0; k < buttons_.size(); ++k) {
        listButton_t* b = buttons_[k];
        b->clearHover();
        if (k < captions.size()) {
            b->setCaption(captions[k]);
            b->show();
        } else {
            b->hide();
        }
    }
    prompt_->setVisible(!captions.empty());
    layoutSuggestions();
}

void sidePanel_t::clearHighlights()
{
    for (listButton_t* b : buttons_) b->clearHover();
}

void sidePanel_t::markSuggestion(int32_t k)
{
    clearHighlights();
    if (k < 1 || k > static_cast<int32_t>(buttons_.size()) || buttons_[k - 1]->isHidden()) return;
    buttons_[k - 1]->markHover();
    highlightTimer_.start();
}

void sidePanel_t::setStepControls(bool canBack, bool canForward)
{
    back_->setEnabled(canBack);
    back_->setToolButtonStyle(canBack ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    forward_->setEnabled(canForward);
    layoutSuggestions();
}

void sidePanel_t::layoutSuggestions()
{
    const int32_t w = suggestions_->width();
    prompt_->setGeometry(4, 4, std::max(0, w - 8), firstButtonY - 6);
    int32_t y = firstButtonY;
    for (listButton_t* b : buttons_) {
        if (b->isHidden()) continue;
        b->setGeometry(1, y, std::max(0, w - 2), buttonHeight);
        y += buttonHeight + buttonGap;
    }
    const int32_t cy = suggestionAreaHeight - stepControlHeight - 1;
    back_->adjustSize();
    back_->setGeometry(2, cy, back_->sizeHint().width(), stepControlHeight);
    forward_->setGeometry(w - stepControlHeight - 2, cy, stepControlHeight, stepControlHeight);
}

void sidePanel_t::resizeEvent(QResizeEvent*)
{
    const int32_t areaHeight = std::max(0, height() - suggestionAreaHeight);
    area_->setGeometry(0, 0, width(), areaHeight);
    suggestions_->setGeometry(0, areaHeight, width(), suggestionAreaHeight);
    if (panel_) panel_->setGeometry(area_->rect());
    layoutSuggestions();
}

} // namespace ui
