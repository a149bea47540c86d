#include "ui/pagesetup.h"

#include "page/applysetup.h"
#include "settings/pagepresets.h"
#include "ui/designchooser.h"
#include "ui/pagesample.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace ui {

namespace {

// Measure numbers in record order (miry_t::field).
enum : int32_t {
    mPaperW = 1, mPaperH, mCardW, mCardH, mLeft, mTop, mRight, mBottom, mRows, mColumns, mRowGap, mColumnGap
};

const QStringList unitNames{QStringLiteral("Pixels"), QStringLiteral("Millimeters"), QStringLiteral("Inches")};

// An orientation icon: a sheet standing or lying.
QIcon sheetIcon(bool landscape)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(landscape ? QRect(2, 6, 19, 13) : QRect(6, 2, 13, 19));
    return QIcon(pm);
}

QStringList hintsOf(int32_t type)
{
    if (type == 1 || type == 10)
        return {QStringLiteral("On your screen, you can draw beyond the paper edges or margins, but your printer "
                               "will only print what fits on your paper."),
                QStringLiteral("You will see the margins drawn in dotted lines around your art. Also, you will "
                               "see the outline of your paper drawn in solid lines around your art when you "
                               "enlarge the canvas area by dragging the ruler ends.")};
    if (page::isCardType(type))
        return {QStringLiteral("Before printing, the software will copy your design to all the cards in the rows "
                               "and columns that you set up."),
                QStringLiteral("The size of your canvas equals the size of one card. You will see the outline of "
                               "your card drawn in solid lines when you enlarge the canvas area by dragging the "
                               "ruler ends.")};
    if (type == 9)
        return {QStringLiteral("Digital images, for instance in Web sites or photo-albums, have their sizes "
                               "specified in pixels."),
                QStringLiteral("A pixel is one color dot on your screen. The screen has several hundred pixels in "
                               "each direction, horizontal and vertical.")};
    return {QString(), QString()};
}

} // namespace

std::array<pageField_t, 10> pageFieldsOf(int32_t designType, int32_t unit)
{
    using F = pageField_t;
    if (unit == 1) return {F{"Image width", mPaperW}, F{"Image height", mPaperH}};
    const F paper[2] = {{"Paper width", mPaperW}, {"Paper height", mPaperH}};
    const F leftTop[2] = {{"Left margin", mLeft}, {"Top margin", mTop}};
    const F rightBottom[2] = {{"Right margin", mRight}, {"Bottom margin", mBottom}};
    const F grid[2] = {{"Rows", mRows}, {"Columns", mColumns}};
    const F gaps[2] = {{"Row gap", mRowGap}, {"Column gap", mColumnGap}};
    switch (designType) {
    case 1: return {paper[0], paper[1], leftTop[0], leftTop[1], rightBottom[0], rightBottom[1]};
    case 2: case 3: case 4: case 11:
        return {paper[0], paper[1], F{"Card width", mCardW}, F{"Card height", mCardH}, leftTop[0], leftTop[1],
                grid[0], grid[1], gaps[0], gaps[1]};
    case 5:
        return {paper[0], paper[1], F{"Label width", mCardW}, F{"Label height", mCardH}, leftTop[0], leftTop[1],
                grid[0], grid[1], gaps[0], gaps[1]};
    case 10:
        return {paper[0], paper[1], F{"Brochure width", mCardW}, F{"Brochure height", mCardH}, leftTop[0],
                leftTop[1], F{"Bottom margin", mBottom}, F{"Right margin", mRight}, grid[0], grid[1]};
    default:
        return {paper[0], paper[1], leftTop[0], leftTop[1], rightBottom[0], rightBottom[1], grid[0], grid[1],
                gaps[0], gaps[1]};
    }
}

bool foldBoxesShown(int32_t designType, int32_t unit) { return unit != 1 && designType != 1; }

TPage::TPage(settings::TParams& params, pageSetupTarget_t document, QWidget* parent)
    : THostedPanel(parent), params_(params), applyToDocument_(std::move(document.apply)), sets_(params.pageSets)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(8, 8, 8, 8);
    pages = new QStackedWidget(this);
    chooser = new designChooser_t(pages);
    pages->addWidget(chooser);
    pages->addWidget(buildDimensions());
    v->addWidget(pages);

    chooseTimer.setSingleShot(true);
    chooseTimer.setInterval(200);
    QObject::connect(&chooseTimer, &QTimer::timeout, this, [this] { chooseType(pendingType_); });
    chooser->chosen = [this](int32_t type) {
        pendingType_ = type;
        chooseTimer.start();
    };

    int32_t type = 1;
    bool choose = !applyToDocument_;
    if (model::item_t* h = applyToDocument_ ? document.header : nullptr) {
        type = page::designTypeOf(h->hdr().designType);
        if (type >= 1 && type <= page::designTypeCount) {
            sets_[type - 1] = page::pageSetupOfDocument(h, sets_[type - 1]);
            choose = false;
        } else {
            choose = true;
        }
    }
    if (choose) {
        // New files start from the type they have now.
        const int32_t now = page::designTypeOf(params.pspage);
        type_ = now >= 1 && now <= page::designTypeCount ? now : 1;
        showChooser();
    } else {
        chooseType(type);
    }
}

QSize TPage::preferredClientSize() const { return {720, 560}; }

bool TPage::onChooser() const { return pages->currentWidget() == chooser; }

// Back to the chooser with the type on screen highlighted. A type chosen
// there opens its dimensions page from the copy's setup of that type; for the
// current file, Apply then gives the document the chosen type.
void TPage::showChooser()
{
    chooser->highlight(type_);
    pages->setCurrentWidget(chooser);
}

QWidget* TPage::buildDimensions()
{
    auto* page = new QWidget(pages);
    auto* h = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    h->addLayout(left);

    auto* typeRow = new QHBoxLayout;
    designTypeLabel = new QLabel(page);
    QFont bold = designTypeLabel->font();
    bold.setBold(true);
    designTypeLabel->setFont(bold);
    designTypeButton = new QPushButton(QStringLiteral("Design type…"), page);
    designTypeButton->setToolTip(QStringLiteral("Choose another design type"));
    typeRow->addWidget(designTypeLabel, 1);
    typeRow->addWidget(designTypeButton);
    left->addLayout(typeRow);
    QObject::connect(designTypeButton, &QPushButton::clicked, this, [this] { showChooser(); });

    auto* orient = new QGridLayout;
    auto* pIcon = new QLabel(page);
    pIcon->setPixmap(sheetIcon(false).pixmap(24, 24));
    auto* lIcon = new QLabel(page);
    lIcon->setPixmap(sheetIcon(true).pixmap(24, 24));
    portraitBox = new QCheckBox(QStringLiteral("Portrait"), page);
    landscapeBox = new QCheckBox(QStringLiteral("Landscape"), page);
    orient->addWidget(pIcon, 0, 0);
    orient->addWidget(portraitBox, 0, 1);
    orient->addWidget(lIcon, 0, 2);
    orient->addWidget(landscapeBox, 0, 3);
    left->addLayout(orient);
    QObject::connect(portraitBox, &QCheckBox::clicked, this, [this] { orientationClicked(page::portrait); });
    QObject::connect(landscapeBox, &QCheckBox::clicked, this, [this] { orientationClicked(page::landscape); });

    left->addWidget(new QLabel(QStringLiteral("Quick select"), page));
    quickSelect = new QListWidget(page);
    quickSelect->setMinimumHeight(110);
    // Long preset names wrap onto a second line instead of being cut off;
    // each row's tool tip holds the whole name too.
    quickSelect->setWordWrap(true);
    quickSelect->setTextElideMode(Qt::ElideNone);
    quickSelect->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    quickSelect->setResizeMode(QListView::Adjust);
    left->addWidget(quickSelect);
    QObject::connect(quickSelect, &QListWidget::currentRowChanged, this, [this](int row) { presetChosen(row); });

    auto* divider = new QFrame(page);
    divider->setFrameShape(QFrame::HLine);
    left->addWidget(divider);
    left->addWidget(new QLabel(QStringLiteral("Measuring Units"), page));
    unitList = new QComboBox(page);
    unitList->addItems(unitNames);
    left->addWidget(unitList);
    QObject::connect(unitList, &QComboBox::currentIndexChanged, this, [this](int i) { unitChosen(i + 1); });

    auto* grid = new QGridLayout;
    for (int i = 0; i < 10; ++i) {
        labels[i] = new QLabel(page);
        fields[i] = new QLineEdit(page);
        fields[i]->setMaximumWidth(110);
        const int pair = i / 2, side = i % 2;
        grid->addWidget(labels[i], pair * 2, side);
        grid->addWidget(fields[i], pair * 2 + 1, side);
        QObject::connect(fields[i], &QLineEdit::textChanged, this, [this, i](const QString& t) { fieldEdited(i, t); });
    }
    left->addLayout(grid);
    rowFoldBox = new QCheckBox(QStringLiteral("Row fold"), page);
    columnFoldBox = new QCheckBox(QStringLiteral("Column fold"), page);
    auto* folds = new QHBoxLayout;
    folds->addWidget(rowFoldBox);
    folds->addWidget(columnFoldBox);
    left->addLayout(folds);
    QObject::connect(rowFoldBox, &QCheckBox::toggled, this, [this](bool on) { foldToggled(true, on); });
    QObject::connect(columnFoldBox, &QCheckBox::toggled, this, [this](bool on) { foldToggled(false, on); });
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    sample = new pageSampleView_t(page);
    sample->setMinimumSize(380, 380);
    right->addWidget(sample, 1);
    hint1 = new QLabel(page);
    hint2 = new QLabel(page);
    for (QLabel* l : {hint1, hint2}) {
        l->setWordWrap(true);
        right->addWidget(l);
    }
    h->addLayout(right, 1);
    return page;
}

void TPage::chooseType(int32_t type)
{
    if (type < 1 || type > page::designTypeCount) return;
    type_ = type;
    pages->setCurrentIndex(1);
    designTypeLabel->setText(page::designTypeName(type));
    const QStringList hints = hintsOf(type);
    hint1->setText(hints[0]);
    hint2->setText(hints[1]);
    fill();
}

void TPage::load(const page::pageset_t& setup, int32_t designType)
{
    if (designType < 1 || designType > page::designTypeCount) return;
    sets_[designType - 1] = setup;
    chooseType(designType);
}

// Fills every control from the copy without reacting to the changes.
void TPage::fill()
{
    filling_ = true;
    const page::pageset_t& s = current();
    const int32_t unit = s.unit;
    const bool known = unit >= 1 && unit <= 3;
    portraitBox->setChecked(s.pageOrientation != page::landscape);
    landscapeBox->setChecked(s.pageOrientation == page::landscape);
    unitList->setCurrentIndex(known ? unit - 1 : -1);
    quickSelect->clear();
    if (known) {
        quickSelect->addItems(page::presetList(type_, unit));
        for (int r = 0; r < quickSelect->count(); ++r) quickSelect->item(r)->setToolTip(quickSelect->item(r)->text());
        const int32_t row = s.measuresOf(unit).presetIndex;
        quickSelect->setCurrentRow(row >= 0 && row < quickSelect->count() ? row : -1);
    }
    const auto layout = pageFieldsOf(type_, unit);
    for (int i = 0; i < 10; ++i) {
        const bool shown = known && layout[i].measure != 0;
        labels[i]->setVisible(shown);
        fields[i]->setVisible(shown);
        labels[i]->setText(shown ? QString::fromUtf8(layout[i].label) : QString());
        QString text = shown ? s.measuresOf(unit).field(layout[i].measure) : QString();
        // No gap reads as 0 in every unit (the inch presets leave it blank).
        if (shown && text.trimmed().isEmpty() && (layout[i].measure == mRowGap || layout[i].measure == mColumnGap))
            text = QStringLiteral("0");
        fields[i]->setText(text);
    }
    const bool folds = known && foldBoxesShown(type_, unit);
    rowFoldBox->setVisible(folds);
    columnFoldBox->setVisible(folds);
    rowFoldBox->setChecked(known && s.measuresOf(unit).rowFold);
    columnFoldBox->setChecked(known && s.measuresOf(unit).columnFold);
    filling_ = false;
    redraw();
}

void TPage::redraw() { sample->redraw(current(), type_); }

void TPage::match()
{
    page::pageset_t& s = current();
    const int32_t row = page::matchPreset(s, type_, s.unit);
    s.measuresOf(s.unit).presetIndex = row;
    filling_ = true;
    quickSelect->setCurrentRow(row >= 0 && row < quickSelect->count() ? row : -1);
    filling_ = false;
}

void TPage::fieldEdited(int index, const QString& text)
{
    if (filling_) return;
    page::pageset_t& s = current();
    const int32_t measure = pageFieldsOf(type_, s.unit)[index].measure;
    if (s.unit < 1 || s.unit > 3 || measure == 0) return;
    s.measuresOf(s.unit).field(measure) = text;
    redraw();
    match();
}

void TPage::foldToggled(bool row, bool on)
{
    if (filling_) return;
    page::pageset_t& s = current();
    if (s.unit < 1 || s.unit > 3) return;
    (row ? s.measuresOf(s.unit).rowFold : s.measuresOf(s.unit).columnFold) = on ? 1 : 0;
    redraw();
    match();
}

void TPage::presetChosen(int row)
{
    if (filling_ || row < 0) return;
    page::pageset_t& s = current();
    if (!page::applyPreset(s, type_, s.unit, row)) return;
    fill();
}

void TPage::unitChosen(int unit)
{
    if (filling_ || unit < 1 || unit > 3) return;
    current().unit = unit;
    fill();
}

void TPage::orientationClicked(int32_t orientation)
{
    if (filling_) return;
    page::pageset_t& s = current();
    if (s.pageOrientation == orientation || (orientation == page::portrait && s.pageOrientation != page::landscape)) {
        // A click on the box already ticked leaves it ticked.
        fill();
        return;
    }
    s.pageOrientation = orientation;
    if (s.unit >= 1 && s.unit <= 3) page::swapOrientation(s.measuresOf(s.unit));
    fill();
    match();
}

bool TPage::applyHosted()
{
    if (onChooser()) return false;
    const page::pageset_t& s = current();
    if (s.unit < 1 || s.unit > 3) return true;  // nothing to apply
    if (applyToDocument_) {
        applyToDocument_(s, type_);
        return true;
    }
    page::applyNewFilesSetup(params_, sets_, type_);
    return true;
}

} // namespace ui
