#include "ui/speedpanel.h"

#include "ui/panellook.h"

#include <QEvent>
#include <QKeyEvent>

#include <algorithm>

namespace ui {

namespace {

const std::array<QString, 4> speedHelp{
    QStringLiteral("You can turn off some time-consuming functions if you want to re-arrange your design without "
                   "waiting for you PC to re-paint the items on your screen."),
    QStringLiteral("The software shows only the outlines of your clips when this option is unchecked."),
    QStringLiteral("The software does not paint the shadows when this option is unchecked."),
    QStringLiteral("The software does not make the 3-D effect on the surface of your graphics when this option is "
                   "unchecked."),
};

} // namespace

Tspeed::Tspeed(speedTarget_t target, QWidget* parent) : THostedPanel(parent), target_(std::move(target))
{
    QPalette look = palette();
    look.setColor(QPalette::Window, panelBackground());
    setPalette(look);
    setAutoFillBackground(true);
    setFont(interfaceFont(false));
    helpLabel = new QLabel(this);
    helpLabel->setWordWrap(true);
    helpLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    helpLabel->setGeometry(12, 10, designedWidth - 24, 60);
    pictures = new QCheckBox(QStringLiteral("Show all pictures"), this);
    shadows = new QCheckBox(QStringLiteral("Show all shadows"), this);
    threeD = new QCheckBox(QStringLiteral("Show all 3-D effects"), this);
    int32_t y = 80;
    for (QCheckBox* b : {pictures, shadows, threeD}) {
        b->setGeometry(24, y, 300, 24);
        b->installEventFilter(this);
        y += 30;
    }
    if (target_.present) {
        pictures_ = target_.showPictures;
        shadows_ = target_.showShadows;
        threeD_ = target_.show3D;
    }
    pictures->setChecked(pictures_);
    shadows->setChecked(shadows_);
    threeD->setChecked(threeD_);
    QObject::connect(pictures, &QCheckBox::toggled, this, [this](bool on) { pictures_ = on; });
    QObject::connect(shadows, &QCheckBox::toggled, this, [this](bool on) { shadows_ = on; });
    QObject::connect(threeD, &QCheckBox::toggled, this, [this](bool on) { threeD_ = on; });
    installEventFilter(this);
    showHelp(0);
    resize(designedWidth, designedHeight);
}

void Tspeed::showHelp(int32_t which)
{
    if (which < 0 || which > 3 || which == help_) return;
    help_ = which;
    helpLabel->setText(speedHelp[size_t(which)]);
}

void Tspeed::applySpeed()
{
    if (!target_.present || !target_.apply) return;
    if (pictures_ == target_.showPictures && shadows_ == target_.showShadows && threeD_ == target_.show3D) return;
    target_.apply(pictures_, shadows_, threeD_);
    target_.showPictures = pictures_;
    target_.showShadows = shadows_;
    target_.show3D = threeD_;
}

bool Tspeed::applyHosted()
{
    applySpeed();
    return true;
}

bool Tspeed::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == pictures) showHelp(1);
        else if (watched == shadows) showHelp(2);
        else if (watched == threeD) showHelp(3);
        else if (watched == this) showHelp(0);
    } else if (event->type() == QEvent::Leave && watched != this) {
        showHelp(0);
    }
    return THostedPanel::eventFilter(watched, event);
}

void Tspeed::resizeEvent(QResizeEvent*)
{
    helpLabel->setGeometry(12, 10, std::max(100, width() - 24), 60);
    showHelp(0);
}

} // namespace ui

namespace ui {

void Tspeed::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && window() != this) {
        window()->close();
        return;
    }
    THostedPanel::keyPressEvent(e);
}

} // namespace ui
