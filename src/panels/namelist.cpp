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
        if (!currentText().isEmpty()) QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), currentText(), this);
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
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, field.width());
}

void nameList_t::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox o;
    initStyleOption(&o);
    o.currentText = shownText();
    p.drawComplexControl(QStyle::CC_ComboBox, o);
    p.drawControl(QStyle::CE_ComboBoxLabel, o);
}

} // namespace panels
