#include "panels/insertpanel.h"

#include "ui/panelcodes.h"
#include "canvas/buttonart.h"
#include "canvas/modes.h"
#include "canvas/toolbar.h"

#include <QLabel>

namespace panels {

using namespace ui;  // panel codes and the panel look

const std::array<insertEntry_t, 17> insertEntries{{
    {"Picture", panelPictureInsert, canvas::buttonPicture},
    {"Text", panelNextText, canvas::buttonText},
    {"Line", panelNextLine, canvas::buttonLine},
    {"Arc", canvas::toolArc, canvas::buttonArc},
    {"Spline", canvas::toolSpline, canvas::buttonSpline},
    {"Curve", canvas::toolCurve, canvas::buttonCurve},
    {"Triangle", canvas::toolTriangle, canvas::buttonTriangle},
    {"Square", canvas::toolSquare, canvas::buttonSquare},
    {"Rectangle", canvas::toolRectangle, canvas::buttonRectangle},
    {"Circle", canvas::toolCircle, canvas::buttonCircle},
    {"Pie", canvas::toolPie, canvas::buttonPie},
    {"Ellipse", canvas::toolEllipse, canvas::buttonEllipse},
    {"Polygon", canvas::toolPolygon, canvas::buttonPolygon},
    {"Star", canvas::toolStar, canvas::buttonStar},
    {"Solid", canvas::toolSolid, canvas::buttonSolid},
    {"Oblong", canvas::toolOblong, canvas::buttonOblong},
    {"Barcode", panelBarcodeInsert, noButton},
}};

namespace {

constexpr int32_t entryCount = static_cast<int32_t>(insertEntries.size());

const QString linkText = QStringLiteral("Page Setup");

QString hintHtml(bool hot)
{
    const QString style = hot ? QStringLiteral("color:#0000FF; text-decoration:underline")
                              : QStringLiteral("color:#0000FF; text-decoration:none");
    return QStringLiteral("Use <a href=\"setup\" style=\"%1\">%2</a> to change the size and layout of the page.")
        .arg(style, linkText);
}

} // namespace

QImage barcodeEntryPicture(int32_t size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    // Bars and spaces of one, two and three widths.
    const int32_t widths[] = {1, 2, 1, 1, 3, 1, 2, 1};
    int32_t x = 1;
    bool bar = true;
    for (int32_t w : widths) {
        if (x + w > size - 1) break;
        if (bar)
            for (int32_t i = 0; i < w; ++i)
                for (int32_t y = 2; y < size - 2; ++y) img.setPixel(x + i, y, qRgb(0, 0, 0));
        x += w;
        bar = !bar;
    }
    return img;
}

TToolbox::TToolbox(QWidget* parent) : panelFrame_t(QStringLiteral("Insert"), lookRed, parent)
{
    setObjectName(QStringLiteral("TToolbox"));
    code = panelInsert;
    hoverTimer_.setSingleShot(true);
    hoverTimer_.setInterval(5000);
    QObject::connect(&hoverTimer_, &QTimer::timeout, this, [this] {
        for (listButton_t* r : rows_) r->clearHover();
    });
    for (int32_t i = 0; i < entryCount; ++i) {
        auto* r = new listButton_t(this);
        r->setObjectName(QStringLiteral("insert%1").arg(QString::fromLatin1(insertEntries[i].name)));
        r->setCaption(QString::fromLatin1(insertEntries[i].name));
        if (insertEntries[i].button == noButton) r->setIcon(barcodeEntryPicture(14));
        else
            r->setIcon(canvas::drawButtonPicture(insertEntries[i].button, 0, 16).scaled(14, 14, Qt::KeepAspectRatio,
                                                                                     Qt::SmoothTransformation));
        r->onClick = [this, i] { choose(i); };
        r->onHover = [this, r] {
            for (listButton_t* o : rows_)
                if (o != r) o->clearHover();
            hoverTimer_.start();
        };
        rows_[i] = r;
    }
    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("pageSetupHint"));
    hint_->setWordWrap(true);
    hint_->setTextFormat(Qt::RichText);
    hint_->setFont(interfaceFont(false));
    hint_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    hint_->setFocusPolicy(Qt::TabFocus);
    hint_->setText(hintHtml(false));
    QObject::connect(hint_, &QLabel::linkHovered, this, [this](const QString& link) { showLink(!link.isEmpty()); });
    QObject::connect(hint_, &QLabel::linkActivated, this, [this](const QString&) {
        if (setupShowing_) return;
        // The hint goes once the page setup has taken over.
        if (onPageSetup && onPageSetup()) hint_->hide();
    });
}

void TToolbox::choose(int32_t row)
{
    if (busy || row < 0 || row >= entryCount) return;
    busy = true;
    if (onChoose) onChoose(insertEntries[row].code);
}

void TToolbox::resetEntries()
{
    busy = false;
    for (listButton_t* r : rows_) r->clearHover();
    showLink(false);
}

void TToolbox::setSetupShowing(bool on)
{
    setupShowing_ = on;
    hint_->setVisible(!on);
}

void TToolbox::showLink(bool hot)
{
    if (hot == linkHot) return;
    linkHot = hot;
    hint_->setText(hintHtml(hot));
}

void TToolbox::resizeEvent(QResizeEvent* e)
{
    panelFrame_t::resizeEvent(e);
    for (int32_t i = 0; i < entryCount; ++i) rows_[i]->setGeometry(1, firstRowY + i * rowStep, width() - 2, rowStep);
    hint_->setGeometry(4, hintY, width() - 8, std::max(0, std::min(60, height() - hintY)));
}

void TToolbox::leaveEvent(QEvent*)
{
    for (listButton_t* r : rows_) r->clearHover();
    showLink(false);
}

} // namespace panels
