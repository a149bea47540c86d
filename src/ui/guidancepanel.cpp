#include "ui/guidancepanel.h"

#include "render/surface.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextCursor>

#include <cmath>

namespace ui {

namespace {

// Keywords are black; a link under the mouse is blue (0x00FF0000 as 0x00BBGGRR).
const QColor keywordColour(0, 0, 0);
const QColor hotLinkColour = render::toColor(0xFF0000);
const QColor textColour(0x30, 0x30, 0x30);

// The first occurrence of `keyword`, selected; a null cursor when there is none.
QTextCursor findKeyword(QTextDocument& text, const QString& keyword)
{
    if (keyword.isEmpty()) return {};
    return text.find(keyword, 0, QTextDocument::FindCaseSensitively);
}

bool styleKeyword(QTextDocument& text, const QString& keyword, const QTextCharFormat& format)
{
    QTextCursor c = findKeyword(text, keyword);
    if (c.isNull()) return false;
    c.mergeCharFormat(format);
    return true;
}

// The pictures beside the boxes: a pointing arrow for a box with a link, a
// small "i" for a box that only tells.
QPixmap boxPicture(bool link)
{
    const int32_t s = TLinehelp::pictureSize;
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (link) {
        p.setBrush(QColor(0x30, 0x60, 0xC0));
        const QPointF arrow[] = {{2, 1.5}, {s - 1.5, s / 2.0}, {2, s - 1.5}};
        p.drawPolygon(arrow, 3);
    } else {
        p.setBrush(QColor(0x80, 0x40, 0xA0));
        p.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s / 2.0 - 1, s / 2.0 - 1, 2, s / 2.0 - 1));
        p.drawEllipse(QRectF(s / 2.0 - 1, 2, 2, 2));
    }
    return QPixmap::fromImage(img);
}

} // namespace

bool emphasize(QTextDocument& text, const QString& keyword)
{
    QTextCharFormat f;
    f.setForeground(keywordColour);
    f.setFontWeight(QFont::Bold);
    return styleKeyword(text, keyword, f);
}

bool linkify(QTextDocument& text, const QString& keyword)
{
    QTextCharFormat f;
    f.setForeground(keywordColour);
    f.setFontUnderline(true);
    return styleKeyword(text, keyword, f);
}

void setLinkHot(QTextDocument& text, const QString& keyword, bool hot)
{
    QTextCharFormat f;
    f.setForeground(hot ? hotLinkColour : keywordColour);
    f.setFontUnderline(true);
    styleKeyword(text, keyword, f);
}

// ---------------------------------------------------------------- boxes

guidanceBox_t::guidanceBox_t(QWidget* parent) : QWidget(parent)
{
    doc_.setDocumentMargin(0);
    doc_.setDefaultFont(interfaceFont(false));
    setAttribute(Qt::WA_Hover);
}

void guidanceBox_t::setText(const guidanceText_t& text)
{
    text_ = text;
    hot_ = false;
    doc_.setPlainText(text.text);
    QTextCursor all(&doc_);
    all.select(QTextCursor::Document);
    QTextCharFormat plain;
    plain.setForeground(textColour);
    all.mergeCharFormat(plain);
    for (const QString& k : text.emphasized) emphasize(doc_, k);
    if (hasLink()) {
        linkify(doc_, text.link);
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
    update();
}

void guidanceBox_t::setHot(bool on)
{
    on = on && hasLink();
    if (on == hot_) return;
    hot_ = on;
    setLinkHot(doc_, text_.link, on);
    update();
}

int32_t guidanceBox_t::neededHeight(int32_t width)
{
    if (text_.text.isEmpty()) return 0;
    doc_.setTextWidth(width);
    return static_cast<int32_t>(std::ceil(doc_.size().height()));
}

void guidanceBox_t::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), panelBackground());
    doc_.setTextWidth(width());
    doc_.drawContents(&p, QRectF(rect()));
}

void guidanceBox_t::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && hasLink() && onPress) onPress();
}

void guidanceBox_t::enterEvent(QEnterEvent*)
{
    if (hasLink() && onEnter) onEnter();
}

void guidanceBox_t::leaveEvent(QEvent*) { setHot(false); }

// ---------------------------------------------------------------- the panel

TLinehelp::TLinehelp(QWidget* parent) : panelFrame_t(QStringLiteral("Hints"), lookViolet, parent)
{
    setObjectName(QStringLiteral("TLinehelp"));
    for (size_t k = 0; k < boxes_.size(); ++k) {
        const int32_t number = guidanceBoxNumbers[k];
        auto* b = new guidanceBox_t(body());
        b->setObjectName(QStringLiteral("RichEdit%1").arg(number));
        b->onEnter = [this, b] {
            // One link in the hover style at a time.
            for (guidanceBox_t* o : boxes_) o->setHot(o == b);
        };
        b->onPress = [this, b, number] {
            // Hidden at once, so that a second click cannot run the link again.
            b->hide();
            pictures_[size_t(indexOf(number))]->hide();
            if (onLink) onLink(number);
        };
        boxes_[k] = b;
        auto* pic = new QLabel(body());
        pic->setObjectName(QStringLiteral("Image%1").arg(number));
        pictures_[k] = pic;
    }
    check_ = new QCheckBox(body());
    check_->setObjectName(QStringLiteral("CheckBox1"));
    check_->setAccessibleName(dontShowAgainText());
    checkText_ = new QLabel(dontShowAgainText(), body());
    checkText_->setObjectName(QStringLiteral("Label4"));
    checkText_->setWordWrap(true);
    checkText_->setFont(interfaceFont(false));
    checkText_->installEventFilter(this);
    QObject::connect(check_, &QCheckBox::toggled, this, [this](bool on) {
        if (!quiet_ && onDontShow) onDontShow(on);
    });
}

int32_t TLinehelp::indexOf(int32_t number) const
{
    for (size_t k = 0; k < guidanceBoxNumbers.size(); ++k)
        if (guidanceBoxNumbers[k] == number) return static_cast<int32_t>(k);
    return -1;
}

guidanceBox_t* TLinehelp::box(int32_t number) const
{
    const int32_t k = indexOf(number);
    return k < 0 ? nullptr : boxes_[size_t(k)];
}

QLabel* TLinehelp::picture(int32_t number) const
{
    const int32_t k = indexOf(number);
    return k < 0 ? nullptr : pictures_[size_t(k)];
}

void TLinehelp::showGuidancePage(int32_t code)
{
    page_ = guidancePage(code);
    this->code = page_.code;
    for (size_t k = 0; k < boxes_.size(); ++k) {
        const guidanceText_t& t = page_.boxes[k];
        boxes_[k]->setText(t);
        boxes_[k]->setVisible(!t.text.isEmpty());
        pictures_[k]->setPixmap(boxPicture(!t.link.isEmpty()));
        pictures_[k]->setVisible(!t.text.isEmpty());
    }
    setDontShow(false);
    layoutPage();
}

void TLinehelp::setDontShow(bool ticked)
{
    quiet_ = true;
    check_->setChecked(ticked);
    quiet_ = false;
}

void TLinehelp::layoutPage()
{
    const int32_t w = body()->width();
    const int32_t textWidth = std::max(0, w - textLeft - 2);
    int32_t y = 4;
    for (size_t k = 0; k < boxes_.size(); ++k) {
        if (page_.boxes[k].text.isEmpty()) continue;
        const int32_t h = boxes_[k]->neededHeight(textWidth);
        pictures_[k]->setGeometry(2, y + 1, pictureSize, pictureSize);
        boxes_[k]->setGeometry(textLeft, y, textWidth, h);
        y += h + boxGap;
    }
    const QSize box = check_->sizeHint();
    check_->setGeometry(1, y, box.width(), box.height());
    const int32_t labelLeft = 1 + box.width() + 1;
    const int32_t labelWidth = std::max(0, w - labelLeft - 2);
    checkText_->setGeometry(labelLeft, y + 1, labelWidth, checkText_->heightForWidth(labelWidth));
}

int32_t TLinehelp::contentBottom() const
{
    const QRect r = checkText_->geometry() | check_->geometry();
    return body()->y() + r.bottom() + 1;
}

void TLinehelp::resizeEvent(QResizeEvent* e)
{
    panelFrame_t::resizeEvent(e);
    layoutPage();
}

bool TLinehelp::eventFilter(QObject* watched, QEvent* e)
{
    // Clicking the text beside the box ticks or clears it.
    if (watched == checkText_ && e->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        check_->toggle();
        return true;
    }
    return panelFrame_t::eventFilter(watched, e);
}

} // namespace ui
