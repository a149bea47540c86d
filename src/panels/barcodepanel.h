// The barcode panel TBarcodebox: fine-tunes the selected barcodes (the
// symbology, the data, the QR error-correction level, the human-readable
// line, the bars' and background colours with "Clear", quarter turns). Each
// change is one history step through the window's setters; data the
// symbology cannot hold is refused with the reason, never stored.
#pragma once

#include "panels/panelhost.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace panels {

class TBarcodebox : public attributePanel_t {
public:
    explicit TBarcodebox(panelHost_t& host, QWidget* parent = nullptr);

    void selectionChanged() override { showSelection(); }
    // Puts the first selected barcode's values into the controls.
    void showSelection();

    // The controls' actions, callable from tests.
    void chooseSymbology(int32_t symbology);
    void enterData(const QString& text);
    void chooseLevel(int32_t level);
    void showText(bool on);
    void chooseBarsColour();
    void chooseBackground();
    void clearBackground();
    void turn(int32_t quarter);

    QComboBox* symbologyList() const { return type_; }
    QLineEdit* dataBox() const { return data_; }
    QComboBox* levelList() const { return level_; }
    QCheckBox* textBox() const { return text_; }
    // The reason the last change was refused; empty after a change that took.
    QString problem() const;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void tell(const QString& problem);
    QComboBox* type_ = nullptr;
    QLineEdit* data_ = nullptr;
    QComboBox* level_ = nullptr;
    QCheckBox* text_ = nullptr;
    QPushButton* bars_ = nullptr;
    QPushButton* background_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* left_ = nullptr;
    QPushButton* right_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* labels_[3] = {};
    bool filling_ = false;
};

} // namespace panels
