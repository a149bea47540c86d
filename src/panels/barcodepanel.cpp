#include "panels/barcodepanel.h"

#include "canvas/sandbox.h"
#include "canvas/setters.h"
#include "model/barcode.h"
#include "model/itemlist.h"
#include "render/barcode.h"
#include "ui/dialogs.h"
#include "ui/panelcodes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace panels {

namespace {

const model::item_t* firstBarcode(canvas::TSandbox* w)
{
    if (!w) return nullptr;
    for (const model::item_t* it = w->items().head; it; it = it->next)
        if (it->selected && !it->hidden && model::readBarcode(it)) return it;
    return nullptr;
}

constexpr int32_t margin = 8, rowHeight = 22, gap = 6, labelHeight = 16;

} // namespace

TBarcodebox::TBarcodebox(panelHost_t& host, QWidget* parent)
    : attributePanel_t(QStringLiteral("Fine-tune"), ui::lookGreen, host, parent)
{
    setObjectName(QStringLiteral("TBarcodebox"));
    code = ui::panelBarcode;
    QWidget* b = body();
    const QFont font = ui::interfaceFont(false);
    const char* captions[3] = {"Barcode type", "Data", "QR error correction"};
    for (int32_t i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(QString::fromLatin1(captions[i]), b);
        labels_[i]->setFont(ui::interfaceFont(true));
    }
    type_ = new QComboBox(b);
    type_->setObjectName(QStringLiteral("barcodeType"));
    for (int32_t s = model::symbologyFirst; s <= model::symbologyLast; ++s)
        type_->addItem(QString::fromLatin1(model::symbologyTitle(s).data(), qsizetype(model::symbologyTitle(s).size())), s);
    data_ = new QLineEdit(b);
    data_->setObjectName(QStringLiteral("barcodeData"));
    data_->setMaxLength(int(model::barcodeDataLimit));
    level_ = new QComboBox(b);
    level_->setObjectName(QStringLiteral("barcodeLevel"));
    for (const char* l : {"Automatic", "Low (L)", "Medium (M)", "Quartile (Q)", "High (H)"})
        level_->addItem(QString::fromLatin1(l));
    text_ = new QCheckBox(QStringLiteral("Human-readable text"), b);
    bars_ = new QPushButton(QStringLiteral("Bars colour..."), b);
    bars_->setToolTip(QStringLiteral("The colour of the bars and modules"));
    background_ = new QPushButton(QStringLiteral("Background..."), b);
    clear_ = new QPushButton(QStringLiteral("Clear background"), b);
    left_ = new QPushButton(QStringLiteral("Turn left"), b);
    right_ = new QPushButton(QStringLiteral("Turn right"), b);
    problem_ = new QLabel(b);
    problem_->setObjectName(QStringLiteral("barcodeProblem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color:#C00000"));
    for (QWidget* w : std::initializer_list<QWidget*>{type_, data_, level_, text_, bars_, background_, clear_, left_,
                                                     right_, problem_})
        w->setFont(font);

    QObject::connect(type_, &QComboBox::activated, this, [this](int i) { chooseSymbology(type_->itemData(i).toInt()); });
    QObject::connect(data_, &QLineEdit::editingFinished, this, [this] { enterData(data_->text()); });
    QObject::connect(level_, &QComboBox::activated, this, [this](int i) { chooseLevel(i); });
    QObject::connect(text_, &QCheckBox::clicked, this, [this](bool on) { showText(on); });
    QObject::connect(bars_, &QPushButton::clicked, this, [this] { chooseBarsColour(); });
    QObject::connect(background_, &QPushButton::clicked, this, [this] { chooseBackground(); });
    QObject::connect(clear_, &QPushButton::clicked, this, [this] { clearBackground(); });
    QObject::connect(left_, &QPushButton::clicked, this, [this] { turn(+1); });
    QObject::connect(right_, &QPushButton::clicked, this, [this] { turn(-1); });
    showSelection();
}

void TBarcodebox::showSelection()
{
    const model::item_t* it = firstBarcode(host_.activeDocument());
    filling_ = true;
    if (it) {
        const model::barcodeContent_t content = *model::readBarcode(it);
        type_->setCurrentIndex(type_->findData(content.symbology));
        if (!data_->hasFocus() || data_->text().toStdString() == content.data)
            data_->setText(QString::fromStdString(content.data));
        level_->setCurrentIndex(content.ecLevel);
        text_->setChecked(content.showText);
        level_->setEnabled(content.symbology == static_cast<int32_t>(model::symbology_t::qrCode));
        text_->setEnabled(!model::isMatrixSymbology(content.symbology));
    }
    for (QWidget* w : std::initializer_list<QWidget*>{type_, data_, bars_, background_, clear_, left_, right_})
        w->setEnabled(it != nullptr);
    if (!it) level_->setEnabled(false), text_->setEnabled(false);
    filling_ = false;
}

QString TBarcodebox::problem() const { return problem_->text(); }

void TBarcodebox::tell(const QString& problem)
{
    problem_->setText(problem);
}

void TBarcodebox::chooseSymbology(int32_t symbology)
{
    canvas::TSandbox* w = host_.activeDocument();
    const model::item_t* it = firstBarcode(w);
    if (filling_ || !it) return;
    const model::barcodeContent_t content = *model::readBarcode(it);
    if (symbology == content.symbology) return;
    // The data must fit the new symbology before anything changes.
    const std::string problem = render::storedBarcodeDataProblem(symbology, content.data, content.ecLevel);
    if (!problem.empty()) {
        tell(QString::fromStdString(problem));
        showSelection();
        return;
    }
    tell({});
    canvas::setBarcodeSpec(*w, [&](model::barcodeContent_t& s) { s.symbology = symbology; });
    showSelection();
}

void TBarcodebox::enterData(const QString& text)
{
    canvas::TSandbox* w = host_.activeDocument();
    const model::item_t* it = firstBarcode(w);
    if (filling_ || !it) return;
    const model::barcodeContent_t content = *model::readBarcode(it);
    const std::string data = text.toStdString();
    if (data == content.data) return;
    const std::string problem = render::storedBarcodeDataProblem(content.symbology, data, content.ecLevel);
    if (!problem.empty()) {
        tell(QString::fromStdString(problem));
        return;
    }
    tell({});
    canvas::setBarcodeSpec(*w, [&](model::barcodeContent_t& s) { s.data = data; });
}

void TBarcodebox::chooseLevel(int32_t level)
{
    canvas::TSandbox* w = host_.activeDocument();
    const model::item_t* it = firstBarcode(w);
    if (filling_ || !it || level < model::ecAuto || level > model::ecHigh) return;
    const model::barcodeContent_t content = *model::readBarcode(it);
    // A higher level holds less: a long text may not fit any more.
    const std::string problem = render::storedBarcodeDataProblem(content.symbology, content.data, level);
    if (!problem.empty()) {
        tell(QString::fromStdString(problem));
        showSelection();
        return;
    }
    tell({});
    canvas::setBarcodeSpec(*w, [&](model::barcodeContent_t& s) { s.ecLevel = level; });
}

void TBarcodebox::showText(bool on)
{
    canvas::TSandbox* w = host_.activeDocument();
    if (filling_ || !firstBarcode(w)) return;
    canvas::setBarcodeSpec(*w, [&](model::barcodeContent_t& s) { s.showText = on; });
}

void TBarcodebox::chooseBarsColour()
{
    canvas::TSandbox* w = host_.activeDocument();
    const model::item_t* it = firstBarcode(w);
    if (!it) return;
    int32_t colour = it->lineColor;
    std::vector<int32_t> custom(16, 0xFFFFFF);
    if (ui::dialogs().chooseColor(colour, custom)) canvas::setLineColor(*w, colour);
}

void TBarcodebox::chooseBackground()
{
    canvas::TSandbox* w = host_.activeDocument();
    const model::item_t* it = firstBarcode(w);
    if (!it) return;
    int32_t colour = it->fillColor >= 0 ? it->fillColor : 0xFFFFFF;
    std::vector<int32_t> custom(16, 0xFFFFFF);
    if (ui::dialogs().chooseColor(colour, custom)) canvas::setFillColor(*w, colour);
}

void TBarcodebox::clearBackground()
{
    canvas::TSandbox* w = host_.activeDocument();
    if (firstBarcode(w)) canvas::setFillColor(*w, -1);
}

void TBarcodebox::turn(int32_t quarter)
{
    canvas::TSandbox* w = host_.activeDocument();
    if (firstBarcode(w)) canvas::transformSelectedItems(*w, false, false, quarter);
}

void TBarcodebox::resizeEvent(QResizeEvent* e)
{
    attributePanel_t::resizeEvent(e);
    // One control a row: the side panel is narrow.
    const int32_t wd = std::max(40, body()->width() - 2 * margin);
    int32_t y = margin;
    auto row = [&](QWidget* w, int32_t h) {
        w->setGeometry(margin, y, wd, h);
        y += h + gap;
    };
    row(labels_[0], labelHeight);
    row(type_, rowHeight);
    row(labels_[1], labelHeight);
    row(data_, rowHeight);
    row(labels_[2], labelHeight);
    row(level_, rowHeight);
    row(text_, rowHeight);
    for (QPushButton* b : {bars_, background_, clear_}) row(b, rowHeight);
    const int32_t half = (wd - gap) / 2;
    left_->setGeometry(margin, y, half, rowHeight);
    right_->setGeometry(margin + half + gap, y, wd - half - gap, rowHeight);
    y += rowHeight + gap;
    problem_->setGeometry(margin, y, wd, 80);
    // Captions that do not fit take a smaller size of the same font.
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{text_, bars_, background_, clear_, left_, right_})
        b->setFont(ui::fittedFont(ui::interfaceFont(false), b->text(), b->width() - (b == text_ ? 24 : 8)));
    for (QLabel* l : labels_) l->setFont(ui::fittedFont(ui::interfaceFont(true), l->text(), wd));
}

} // namespace panels
