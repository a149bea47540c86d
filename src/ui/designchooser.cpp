#include "ui/designchooser.h"

#include "settings/pagepresets.h"
#include "ui/pagesample.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace ui {

namespace {

constexpr int sketchWidth = 180, sketchHeight = 260;
constexpr int buttonSpacing = 18;

// The sheet a sketch shows: the type's millimetre defaults, or a plain
// screen-shaped picture for Digital Images.
page::pageset_t sketchSetup(int32_t type)
{
    page::pageset_t s = page::defaultPageSetup(type, 2);
    s.unit = 2;
    if (type == 9) {
        page::miry_t& m = s.measuresOf(2);
        m.paperWidth = QStringLiteral("350");
        m.paperHeight = QStringLiteral("250");
    }
    return s;
}

} // namespace

QImage designTypeSketch(int32_t type)
{
    QImage img;
    if (drawPageSample(img, sketchSetup(type), type, QSize(sketchWidth, sketchHeight), false)
        != sampleResult_t::drawn) {
        img = QImage(sketchWidth, sketchHeight, QImage::Format_RGB32);
        img.fill(Qt::white);
    }
    return img;
}

designChooser_t::designChooser_t(QWidget* parent) : QWidget(parent)
{
    auto* h = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* title = new QLabel(QStringLiteral("Design type"), this);
    title->setAutoFillBackground(true);
    QPalette tp = title->palette();
    tp.setColor(QPalette::Window, QColor(0x1E, 0x50, 0xC8));
    tp.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(tp);
    title->setAlignment(Qt::AlignCenter);
    title->setMinimumHeight(22);
    left->addWidget(title);
    left->addSpacing(6);
    for (size_t i = 0; i < chooserOrder.size(); ++i) {
        const int32_t type = chooserOrder[i];
        auto* b = new QToolButton(this);
        b->setText(page::designTypeName(type));
        b->setIcon(QIcon(QPixmap::fromImage(designTypeSketch(type).scaled(18, 26, Qt::KeepAspectRatio,
                                                                            Qt::SmoothTransformation))));
        b->setIconSize(QSize(18, 26));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);  // flat until the pointer is over it
        b->setMinimumWidth(170);
        b->installEventFilter(this);
        QObject::connect(b, &QToolButton::clicked, this, [this, type] {
            if (chosen) chosen(type);
        });
        buttons_[i] = b;
        left->addWidget(b);
        if (i + 1 < chooserOrder.size()) left->addSpacing(buttonSpacing - 6);
    }
    left->addStretch(1);
    h->addLayout(left);

    auto* middle = new QVBoxLayout;
    const QStringList steps{
        QStringLiteral("1. Highlight the type of your design in the left menu (move the mouse to place the cursor "
                       "over the menu)."),
        QStringLiteral("2. If you are not sure what you want to design, select <b>Illustrations</b>. You will be "
                       "able to redefine the page setup later."),
        QStringLiteral("3. Then, click on the highlighted button in the left menu to proceed.")};
    for (const QString& s : steps) {
        auto* l = new QLabel(s, this);
        l->setWordWrap(true);
        l->setTextFormat(Qt::RichText);
        middle->addWidget(l);
    }
    middle->addStretch(1);
    auto* middleBox = new QWidget(this);
    middleBox->setLayout(middle);
    middleBox->setFixedWidth(170);
    h->addWidget(middleBox);

    auto* right = new QVBoxLayout;
    sketch_ = new QLabel(this);
    sketch_->setFixedSize(sketchWidth, sketchHeight);
    right->addWidget(sketch_);
    description_ = new QLabel(this);
    description_->setWordWrap(true);
    description_->setFixedWidth(sketchWidth + 40);
    right->addWidget(description_);
    right->addStretch(1);
    h->addLayout(right);
    highlight(1);
}

QToolButton* designChooser_t::button(int32_t type) const
{
    for (size_t i = 0; i < chooserOrder.size(); ++i)
        if (chooserOrder[i] == type) return buttons_[i];
    return nullptr;
}

void designChooser_t::highlight(int32_t type)
{
    if (type == highlighted_) return;
    highlighted_ = type;
    sketch_->setPixmap(QPixmap::fromImage(designTypeSketch(type)));
    description_->setText(page::designTypeDescription(type));
}

bool designChooser_t::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::Enter)
        for (size_t i = 0; i < chooserOrder.size(); ++i)
            if (watched == buttons_[i]) highlight(chooserOrder[i]);
    return QWidget::eventFilter(watched, e);
}

} // namespace ui
