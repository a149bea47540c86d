#include "panels/namelist.h"

#include <QHelpEvent>
#include <QStyleOptionComboBox>
#include <QToolTip>
#include <QStylePainter>

namespace panels {

nameList_t::nameList_t(QWidget* parent) : QComboBox(parent) {}

bool nameList_t::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        // The name as it is chosen now, also when it was chosen in code.
        // With no entry chosen, the box's own tool tip explains its
        // placeholder (for a font, which family stands in for it).
        const QString tip = currentIndex() >= 0 ? currentText() : toolTip();
        if (!tip.isEmpty()) QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), tip, this);
        else QToolTip::hideText();
        return true;
    }
    return QComboBox::event(e);
}

QString nameList_t::shownText() const
{
    QStyleOptionComboBox o;
    initStyleOption(&o);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, this);
    // With no entry chosen the box shows its placeholder (a name the list
    // does not hold, such as a font that is not installed).
    const QString text = currentIndex() < 0 ? placeholderText() : currentText();
    return fontMetrics().elidedText(text, Qt::ElideRight, field.width());
}

void nameList_t::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox o;
    initStyleOption(&o);
    // A placeholder is a real value (a font drawn by its stand-in), so it
    // shows in the normal colour; only a disabled box looks disabled.
    o.currentText = shownText();
    p.drawComplexControl(QStyle::CC_ComboBox, o);
    p.drawControl(QStyle::CE_ComboBoxLabel, o);
}

} // namespace panels
