#include "panels/textpanel.h"
#include "panels/panellayout.h"

#include "panels/summary.h"

#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "canvas/setters.h"
#include "canvas/textediting.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "panels/fontlist.h"
#include "panels/namelist.h"
#include "panels/panelparts.h"
#include "panels/picklistwidget.h"
#include "panels/stylebuttons.h"
#include "ui/hostedpanel.h"
#include "ui/panelcodes.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace panels {

using model::item_t;

const std::array<fontWeight_t, 9> fontWeights{{
    {"Thin", 100},
    {"Extralight", 200},
    {"Light", 300},
    {"Normal", 400},
    {"Medium", 500},
    {"Semibold", 600},
    {"Bold", 700},
    {"Extrabold", 800},
    {"Heavy", 900},
}};

int32_t indexOfFontWeight(int32_t weight)
{
    for (int32_t i = 0; i < int32_t(fontWeights.size()); ++i)
        if (fontWeights[size_t(i)].weight == weight) return i;
    return -1;
}

namespace {

constexpr int32_t boldWeight = 700;
constexpr int32_t normalWeight = 400;
constexpr int32_t weightStep = 100;

struct hintPair_t {
    const char* text;
    const char* emphasized;
};
struct textHints_t {
    hintPair_t box1, box2;
};

const textHints_t toolHints{
    {"Click where you want the text start.", ""},
    {"To make a text box, hold down the mouse button, move the mouse, and release the button.", ""},
};
const textHints_t typingHints{
    {"Enter the text now.", ""},
    {"When done, click on the pointer button (the button with the hand picture) in the upper menu.", ""},
};
const textHints_t fineTuneHints{
    {"To edit the text, double-click on it.", "edit"},
    {"To move the text, place the cursor on the center point, hold down the mouse key and move the mouse", "move"},
};
const textHints_t editingHints{
    {"To end edit, click outside the textbox.", "end edit"},
    {"Or, click on the pointer button (the button with the hand picture) in the upper menu.", "pointer"},
};

using layout::margin, layout::listHeight, layout::hintGap;
using layout::text::buttonRowY, layout::text::buttonPitch, layout::text::firstListY, layout::text::labelHeight,
    layout::text::rowPitch;

} // namespace

textSummary_t summarizeTexts(model::itemList_t& list)
{
    textSummary_t s;
    for (item_t* it : model::collectSelected(list)) {
        if (it->itemType == model::typeGroupHandle) continue;
        const bool first = s.count++ == 0;
        meetValue(s.colour, it->textColor, first, -1);
        meetValue(s.fontName, QString::fromLatin1(model::fontNameOf(it)), first, QString());
        meetValue(s.charset, it->fontCharset, first, -1);
        meetValue(s.size, it->fontSize, first, -1);
        meetValue(s.weight, it->fontWeight, first, -1);
        meetValue(s.italic, int32_t(it->fontItalic), first, -1);
        meetValue(s.underline, int32_t(it->fontUnderline), first, -1);
        meetValue(s.strikeout, int32_t(it->fontStrikeout), first, -1);
        meetValue(s.justification, int32_t(it->justification), first, -1);
        meetValue(s.direction, it->textDirection, first, -2);
        meetValue(s.elevation, int32_t(it->shadowElevation), first, -1);
        meetValue(s.fade, int32_t(it->shadowFade), first, -1);
        meetValue(s.lightness, int32_t(it->shadowLightness), first, -1);
        meetValue(s.surface, int32_t(it->surface), first, -1);
    }
    return s;
}

TTextbox::TTextbox(int32_t code, panelHost_t& host, QWidget* parent)
    : attributePanel_t(code == ui::panelText ? QStringLiteral("Fine-tune") : QStringLiteral("Text"),
                       code == ui::panelText ? ui::lookGreen : ui::lookBlue, host, parent),
      toolMode_(code != ui::panelText)
{
    setObjectName(QStringLiteral("TTextbox"));
    this->code = code;
    tab_ = p().textTab == 2 ? 2 : 1;
    build();
    hintVariant_ = initialHints();
    refresh();
}

int32_t TTextbox::initialHints() const
{
    if (code == ui::panelTextEntry || code == ui::panelTextEntryGuided) return textHintsTyping;
    canvas::TSandbox* w = host_.activeDocument();
    if (!w) return 0;
    if (w->mode() == canvas::modeTextEditing) return textHintsEditing;
    if (toolMode_ && typingWindow()) return textHintsTyping;
    return 0;
}

// ---------------------------------------------------------------- controls

void TTextbox::build()
{
    QWidget* b = body();
    auto label = [b](const QString& text) {
        auto* l = new QLabel(text, b);
        l->setFont(ui::interfaceFont(false));
        return l;
    };
    auto combo = [b](const QString& name) {
        auto* c = new nameList_t(b);
        c->setObjectName(name);
        c->setFont(ui::interfaceFont(false));
        c->setFocusPolicy(Qt::TabFocus);
        c->setMaxVisibleItems(16);
        return c;
    };
    auto pick = [this, b](listKind_t kind, const QString& name) {
        auto* l = new pickListBox_t(kind, p(), b);
        l->setObjectName(name);
        return l;
    };

    tabs_ = new tabStrip_t(QStringLiteral("Font"), QStringLiteral("Effects"), b);
    tabs_->onChange = [this](int32_t tab) {
        tab_ = tab;
        // Kept in the settings at once, so the next text panel opens on it.
        p().textTab = tab;
        refresh();
    };

    const std::array<std::pair<int32_t, const char*>, 7> pictures{{
        {pictureBold, "Bold"},
        {pictureItalic, "Italic"},
        {pictureUnderline, "Underline"},
        {pictureStrikeout, "Strikeout"},
        {pictureAlignLeft, "Left Justified"},
        {pictureAlignCentre, "Center Justified"},
        {pictureAlignRight, "Right Justified"},
    }};
    for (size_t k = 0; k < pictures.size(); ++k) {
        buttons_[k] = new styleButton_t(pictures[k].first, QString::fromLatin1(pictures[k].second), b);
        buttons_[k]->setObjectName(QString::fromLatin1(pictures[k].second).remove(QLatin1Char(' ')));
    }
    buttons_[0]->onPress = [this] { boldPressed(); };
    for (int32_t which = 1; which <= 3; ++which) buttons_[size_t(which)]->onPress = [this, which] { stylePressed(which); };
    for (int32_t j = 1; j <= 3; ++j) buttons_[size_t(3 + j)]->onPress = [this, j] { justifyPressed(j); };

    colour_ = pick(listKind_t::colour, QStringLiteral("textColour"));
    name_ = combo(QStringLiteral("fontName"));
    charset_ = combo(QStringLiteral("characterSet"));
    size_ = pick(listKind_t::fontSize, QStringLiteral("fontSize"));
    weight_ = combo(QStringLiteral("fontWeight"));
    for (const fontWeight_t& w : fontWeights) weight_->addItem(QString::fromLatin1(w.name));
    slider_ = new QSlider(Qt::Horizontal, b);
    slider_->setObjectName(QStringLiteral("weightSlider"));
    slider_->setRange(1, 9);
    slider_->setSingleStep(1);
    slider_->setPageStep(1);
    slider_->setFocusPolicy(Qt::TabFocus);
    customLabel_ = label(QStringLiteral("Custom"));
    angle_ = pick(listKind_t::textAngle, QStringLiteral("textAngle"));
    surface_ = pick(listKind_t::surface, QStringLiteral("textSurface"));
    shadow_ = pick(listKind_t::shadow, QStringLiteral("textShadow"));

    fontRows_ = {{label(QStringLiteral("Color")), colour_},        {label(QStringLiteral("Name")), name_},
                 {label(QStringLiteral("Character Set")), charset_}, {label(QStringLiteral("Size")), size_},
                 {label(QStringLiteral("Weight")), weight_},       {label(QStringLiteral("Angle")), angle_}};
    effectRows_ = {{label(QStringLiteral("Surface")), surface_}, {label(QStringLiteral("Shadow")), shadow_}};

    auto onChoice = [](QComboBox* c, auto handler) { QObject::connect(c, &QComboBox::activated, c, handler); };
    onChoice(colour_, [this](int i) { colourChosen(i); });
    onChoice(name_, [this](int i) { nameChosen(i); });
    onChoice(charset_, [this](int i) { charsetChosen(i); });
    onChoice(size_, [this](int i) { sizeChosen(i); });
    onChoice(weight_, [this](int i) { weightChosen(i); });
    onChoice(angle_, [this](int i) { angleChosen(i); });
    onChoice(surface_, [this](int i) { surfaceChosen(i); });
    onChoice(shadow_, [this](int i) { shadowChosen(i); });
    QObject::connect(slider_, &QSlider::valueChanged, slider_, [this](int v) { sliderMoved(v); });

    for (auto& h : hints_) h = new hintBox_t(b);
}

void TTextbox::resizeEvent(QResizeEvent* e)
{
    attributePanel_t::resizeEvent(e);
    layoutControls();
}

void TTextbox::layoutControls()
{
    const int32_t w = body()->width();
    const int32_t listWidth = std::max(0, w - 2 * margin);
    tabs_->setGeometry(0, 0, w, tabStrip_t::stripHeight);
    for (int32_t k = 0; k < 4; ++k) buttons_[size_t(k)]->move(margin + k * buttonPitch, buttonRowY);
    for (int32_t j = 0; j < 3; ++j) buttons_[size_t(4 + j)]->move(margin + j * buttonPitch, buttonRowY + buttonPitch);

    auto place = [&](const std::vector<std::pair<QLabel*, QWidget*>>& rows, int32_t top) {
        for (size_t r = 0; r < rows.size(); ++r) {
            const int32_t y = top + int32_t(r) * rowPitch;
            rows[r].first->setGeometry(margin, y, listWidth, labelHeight);
            rows[r].second->setGeometry(margin, y + labelHeight, listWidth, listHeight);
        }
        return top + int32_t(rows.size()) * rowPitch;
    };
    const int32_t fontBottom = place(fontRows_, firstListY);
    const int32_t effectsBottom = place(effectRows_, buttonRowY);
    // The weight list takes half the row and a little more; the slider the
    // rest, 7 pixels short of the edge.
    const int32_t weightY = firstListY + 4 * rowPitch + labelHeight;
    const int32_t weightWidth = w / 2 + 8;
    weight_->setGeometry(margin, weightY, weightWidth, listHeight);
    fitWeightNames();
    const int32_t sliderLeft = margin + weightWidth + 2;
    const int32_t sliderWidth = std::max(0, w - 7 - sliderLeft);
    slider_->setGeometry(sliderLeft, weightY, sliderWidth, listHeight);
    fontRows_[4].first->setGeometry(margin, weightY - labelHeight, weightWidth, labelHeight);
    customLabel_->setGeometry(sliderLeft, weightY - labelHeight, std::max(0, w - sliderLeft), labelHeight);
    customLabel_->setFont(ui::fittedFont(ui::interfaceFont(false), customLabel_->text(), std::max(1, w - sliderLeft)));

    // The hints follow the tab's own controls.
    int32_t y = (tab_ == 2 ? effectsBottom : fontBottom) + hintGap;
    for (hintBox_t* h : hints_) {
        const int32_t height = h->neededHeight(listWidth);
        h->setGeometry(margin, y, listWidth, height);
        y += height + hintGap;
    }
}

// The narrow weight list shows every weight's whole name, in a smaller
// font when the interface font is too wide for it.
void TTextbox::fitWeightNames()
{
    QStyleOptionComboBox o;
    o.initFrom(weight_);
    o.rect = QRect(QPoint(0, 0), weight_->size());
    const QRect field = weight_->style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, weight_);
    const QFont normal = ui::interfaceFont(false);
    const QFontMetrics fm(normal);
    QString widest;
    for (const fontWeight_t& w : fontWeights) {
        const QString name = QString::fromLatin1(w.name);
        if (fm.horizontalAdvance(name) > fm.horizontalAdvance(widest)) widest = name;
    }
    weight_->setFont(ui::fittedFont(normal, widest, std::max(1, field.width() - 2)));
}

void TTextbox::showTab()
{
    tabs_->setCurrent(tab_);
    const bool font = tab_ == 1;
    for (styleButton_t* b : buttons_) b->setVisible(font);
    for (auto& [l, c] : fontRows_) {
        l->setVisible(font);
        c->setVisible(font);
    }
    customLabel_->setVisible(font);
    slider_->setVisible(font);
    for (auto& [l, c] : effectRows_) {
        l->setVisible(!font);
        c->setVisible(!font);
    }
}

// ---------------------------------------------------------------- showing

QString TTextbox::currentFontName() const { return toolMode_ ? p().tfont.left(maxFontName) : summary_.fontName; }

int32_t TTextbox::currentWeight() const { return toolMode_ ? p().tbold : summary_.weight; }

int32_t TTextbox::styleValue(int32_t which) const
{
    if (toolMode_) return p().toptions[size_t(which - 1)];
    switch (which) {
    case 1: return summary_.italic;
    case 2: return summary_.underline;
    case 3: return summary_.strikeout;
    default: return summary_.justification;
    }
}

void TTextbox::refresh()
{
    building_ = true;
    settings::TParams& s = p();
    if (!toolMode_) {
        if (canvas::TSandbox* w = host_.activeDocument()) summary_ = summarizeTexts(w->items());
    }
    showTab();

    colour_->rebuild();
    colour_->selectColour(toolMode_ ? s.tcolor : summary_.colour);
    lastColour_ = colour_->index();

    fillNames();
    fillCharsets();

    size_->rebuild();
    if (toolMode_) size_->selectIndex(storedSizeIndex(s, size_->count()));
    else size_->selectSize(summary_.size);
    lastSize_ = size_->index();

    showWeight(currentWeight());

    angle_->rebuild();
    if (toolMode_) angle_->selectIndex(storedDirectionIndex(s, true, angle_->count()));
    else if (summary_.direction == -2) angle_->selectIndex(-1);
    else angle_->selectDirection(summary_.direction);
    lastAngle_ = angle_->index();

    const int32_t colour = toolMode_ ? s.tcolor : summary_.colour;
    surface_->setSampleColour(colour >= 0 ? colour : 0);
    surface_->rebuild();
    surface_->selectSurface(toolMode_ ? s.txplas : summary_.surface);
    shadow_->rebuild();
    if (toolMode_) shadow_->selectShadow(s.shtext);
    else shadow_->selectIndex(indexOfShadow(s, summary_.elevation, summary_.fade, summary_.lightness));
    lastShadow_ = shadow_->index();

    showButtons();
    showHints();
    layoutControls();
    building_ = false;
}

void TTextbox::fillNames()
{
    const QSignalBlocker quiet(name_);
    name_->clear();
    for (const settings::fontEntry_t& f : p().fontList) name_->addItem(f.name);
    const QString current = currentFontName();
    const int32_t index = current.isEmpty() ? -1 : findFont(p().fontList, current);
    name_->setCurrentIndex(index);
    // A font that is not installed is still named, with the family its texts
    // are drawn in, rather than leaving the box blank.
    const QString standIn = index < 0 && !current.isEmpty() ? substituteFamily(current) : QString();
    name_->setPlaceholderText(standIn.isEmpty() ? current : QStringLiteral("%1 (as %2)").arg(current, standIn));
    name_->setToolTip(standIn.isEmpty() ? QString()
                                         : QStringLiteral("%1 is not installed: its texts are drawn in %2.").arg(current, standIn));
}

void TTextbox::fillCharsets()
{
    const QSignalBlocker quiet(charset_);
    charset_->clear();
    charsetCodes_.clear();
    const QString name = currentFontName();
    const int32_t font = name.isEmpty() ? -1 : findFont(p().fontList, name);
    if (font < 0) return;
    const settings::fontEntry_t& f = p().fontList[size_t(font)];
    charsetCodes_ = charsetCodes(f.codePages);
    for (int32_t code : charsetCodes_) charset_->addItem(charsetName(code));
    int32_t wanted = -1;
    if (toolMode_) wanted = f.lastCharset;
    else if (summary_.charset != -1) wanted = summary_.charset;
    int32_t index = -1;
    if (wanted >= 0) {
        const auto at = std::find(charsetCodes_.begin(), charsetCodes_.end(), wanted);
        // A set the font does not cover shows as "n/a".
        index = at == charsetCodes_.end() ? 0 : int32_t(at - charsetCodes_.begin());
    }
    charset_->setCurrentIndex(index);
}

void TTextbox::showWeight(int32_t weight)
{
    const QSignalBlocker quietList(weight_);
    const QSignalBlocker quietSlider(slider_);
    weight_->setCurrentIndex(indexOfFontWeight(weight));
    // Mixed weights leave the slider on the next text's weight.
    const int32_t shown = weight >= 0 ? weight : p().tbold;
    slider_->setValue(std::clamp(model::roundHalfEven(shown / double(weightStep)), 1, 9));
}

void TTextbox::showButtons()
{
    buttons_[0]->setOn(currentWeight() == boldWeight);
    for (int32_t which = 1; which <= 3; ++which) buttons_[size_t(which)]->setOn(styleValue(which) == 1);
    int32_t j = styleValue(4);
    if (toolMode_ && j != 2 && j != 3) j = 1;
    for (int32_t k = 1; k <= 3; ++k) buttons_[size_t(3 + k)]->setOn(j == k);
}

void TTextbox::showHints()
{
    const textHints_t* h = toolMode_ ? &toolHints : &fineTuneHints;
    if (hintVariant_ == textHintsTyping) h = &typingHints;
    else if (hintVariant_ == textHintsEditing) h = &editingHints;
    hints_[0]->setHint(QString::fromLatin1(h->box1.text), QString::fromLatin1(h->box1.emphasized));
    hints_[1]->setHint(QString::fromLatin1(h->box2.text), QString::fromLatin1(h->box2.emphasized));
}

void TTextbox::textHintsChanged(int32_t which)
{
    hintVariant_ = which == textHintsTyping || which == textHintsEditing ? which : 0;
    showHints();
    layoutControls();
}

// ---------------------------------------------------------------- applying

canvas::TSandbox* TTextbox::typingWindow() const
{
    canvas::TSandbox* w = host_.activeDocument();
    return w && w->mode() == canvas::toolText && w->textEditor().typing() ? w : nullptr;
}

void TTextbox::applyDefaults()
{
    // Only the text being typed takes the defaults: any other text keeps
    // its own values (the defaults make no history step).
    if (canvas::TSandbox* w = typingWindow()) canvas::applyTextDefaults(*w);
}

void TTextbox::step() { host_.recordPanelStep(toolMode_ ? ui::panelNextText : ui::panelText); }

void TTextbox::customize(int32_t hostedCode, QComboBox* list, int32_t previous)
{
    if (!host_.openCustomization(hostedCode)) list->setCurrentIndex(previous);
}

void TTextbox::colourChosen(int32_t index)
{
    if (building_) return;
    if (index == customizeIndex(listKind_t::colour)) {
        if (!chooseCustomColor(*colour_, lastColour_, p().tcolor, p())) return;
    }
    const int32_t c = colour_->colour();
    if (c < 0) return;
    lastColour_ = colour_->index();
    if (toolMode_) {
        p().tcolor = c;
        applyDefaults();
    } else {
        summary_.colour = c;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setTextColor(*w, c);
    }
    surface_->setSampleColour(c);
    step();
}

void TTextbox::nameChosen(int32_t index)
{
    if (building_ || index < 0 || index >= int32_t(p().fontList.size())) return;
    const settings::fontEntry_t& f = p().fontList[size_t(index)];
    if (toolMode_) {
        p().tfont = f.name;
        // The next text takes the character set last chosen for this font,
        // which is what the list then shows; a font never chosen before
        // starts on the first set it covers rather than on "n/a".
        settings::fontEntry_t& entry = p().fontList[size_t(index)];
        if (entry.lastCharset == charsetNone) {
            const std::vector<int32_t> covered = charsetCodes(entry.codePages);
            if (covered.size() > 1) entry.lastCharset = covered[1];
        }
        p().tcharset = entry.lastCharset;
        applyDefaults();
    } else {
        summary_.fontName = f.name;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setFontName(*w, f.name);
    }
    fillCharsets();
    step();
}

void TTextbox::charsetChosen(int32_t index)
{
    if (building_ || index < 0 || index >= int32_t(charsetCodes_.size())) return;
    const int32_t code = charsetCodes_[size_t(index)];
    if (toolMode_) {
        p().tcharset = code;
        const int32_t font = findFont(p().fontList, p().tfont.left(maxFontName));
        if (font >= 0) p().fontList[size_t(font)].lastCharset = code;
        applyDefaults();
    } else {
        summary_.charset = code;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setFontCharset(*w, code);
    }
    step();
}

void TTextbox::sizeChosen(int32_t index)
{
    if (building_) return;
    if (index == customizeIndex(listKind_t::fontSize)) {
        customize(ui::hostedFontSizes, size_, lastSize_);
        return;
    }
    const int32_t points = size_->size();
    if (points <= 0) return;
    lastSize_ = index;
    bool smaller = false;
    canvas::TSandbox* target = nullptr;
    if (toolMode_) {
        smaller = points < p().tsize;
        p().tsize = points;
        p().tsizetab = index;
        applyDefaults();
        target = typingWindow();
    } else {
        smaller = summary_.size > 0 && points < summary_.size;
        summary_.size = points;
        target = host_.activeDocument();
        if (target) canvas::setFontSize(*target, points);
    }
    // Growing fits the box by itself; a smaller font leaves it too wide.
    if (smaller && target) canvas::refitSelectedText(*target);
    step();
}

void TTextbox::applyWeight(int32_t weight)
{
    if (toolMode_) {
        p().tbold = weight;
        applyDefaults();
    } else {
        summary_.weight = weight;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setFontWeight(*w, weight);
    }
    showWeight(weight);
    showButtons();
}

void TTextbox::weightChosen(int32_t index)
{
    if (building_ || index < 0 || index >= int32_t(fontWeights.size())) return;
    applyWeight(fontWeights[size_t(index)].weight);
}

void TTextbox::sliderMoved(int32_t position)
{
    if (building_) return;
    applyWeight(position * weightStep);
}

void TTextbox::boldPressed()
{
    if (building_) return;
    applyWeight(currentWeight() == boldWeight ? normalWeight : boldWeight);
}

void TTextbox::stylePressed(int32_t which)
{
    if (building_) return;
    const int32_t value = styleValue(which) == 1 ? 0 : 1;
    if (toolMode_) {
        p().toptions[size_t(which - 1)] = uint8_t(value);
        applyDefaults();
    } else {
        if (which == 1) summary_.italic = value;
        else if (which == 2) summary_.underline = value;
        else summary_.strikeout = value;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setTextStyle(*w, which, value);
    }
    showButtons();
}

void TTextbox::justifyPressed(int32_t j)
{
    if (building_) return;
    if (toolMode_) {
        p().toptions[3] = uint8_t(j);
        applyDefaults();
    } else {
        summary_.justification = j;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setTextStyle(*w, canvas::styleJustification, j);
    }
    showButtons();
}

void TTextbox::angleChosen(int32_t index)
{
    if (building_) return;
    if (index == customizeIndex(listKind_t::textAngle)) {
        customize(ui::hostedTextAngles, angle_, lastAngle_);
        return;
    }
    lastAngle_ = index;
    const double degrees = angle_->direction();
    if (toolMode_) {
        settings::TParams& s = p();
        s.tangle = model::roundHalfEven(degrees * 10);
        s.tangletab = index;
        s.tdir = model::roundHalfEven(degrees);
        applyDefaults();
        // The text being typed turns to the new angle as a step of its own.
        if (canvas::TSandbox* w = typingWindow()) canvas::setTextDirection(*w, s.tdir);
    } else {
        const int32_t d = index == 0 ? -1 : model::roundHalfEven(degrees);
        summary_.direction = d;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setTextDirection(*w, d);
    }
    step();
}

void TTextbox::surfaceChosen(int32_t index)
{
    if (building_ || index < 0) return;
    const int32_t style = surface_->surface();
    if (toolMode_) {
        p().txplas = style;
        applyDefaults();
    } else {
        summary_.surface = style;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setSurface(*w, style);
    }
}

void TTextbox::shadowChosen(int32_t index)
{
    if (building_) return;
    if (index == customizeIndex(listKind_t::shadow)) {
        customize(ui::hostedShadows, shadow_, lastShadow_);
        return;
    }
    if (index < 0) return;
    lastShadow_ = index;
    settings::TParams& s = p();
    const settings::shadowTriple_t t = shadow_->shadow(toolMode_ ? s.shtext : settings::shadowTriple_t{});
    if (toolMode_) {
        s.shtext = t;
        applyDefaults();
    } else {
        summary_.elevation = t.elevation;
        summary_.fade = t.fade;
        summary_.lightness = t.lightness;
        if (canvas::TSandbox* w = host_.activeDocument()) canvas::setTextShadow(*w, t.elevation, t.fade, t.lightness);
    }
}

// ---------------------------------------------------------------- customizations

void TTextbox::customizationClosed(int32_t hostedCode)
{
    pickListBox_t* list = nullptr;
    if (hostedCode == ui::hostedFontSizes) list = size_;
    else if (hostedCode == ui::hostedTextAngles) list = angle_;
    else if (hostedCode == ui::hostedShadows) list = shadow_;
    if (!list) return;
    // A record the user just made (selectNext) is highlighted and chosen as
    // if picked from the list; otherwise the list shows what it showed.
    building_ = true;
    const int32_t made = list->rebuild().selectNextIndex;
    building_ = false;
    if (made >= 0) {
        list->selectIndex(made);
        if (list == size_) sizeChosen(made);
        else if (list == angle_) angleChosen(made);
        else shadowChosen(made);
        return;
    }
    refresh();
}

} // namespace panels
