// A drop-down list of plain names (font names, character sets, weights).
// Its closed box shows the chosen name shortened with an ellipsis when it
// is too long for the box, and the whole name as the box's tool tip.
#pragma once

#include <QComboBox>

namespace panels {

class nameList_t : public QComboBox {
public:
    explicit nameList_t(QWidget* parent = nullptr);

    // The text the closed box shows.
    QString shownText() const;

protected:
    bool event(QEvent*) override;
    void paintEvent(QPaintEvent*) override;
};

} // namespace panels
