#include "ui/installpanel.h"

#include "output/desktopintegration.h"
#include "ui/dialogs.h"
#include "ui/panellook.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPixmap>
#include <QSplitter>
#include <QVBoxLayout>

namespace ui {

namespace {

constexpr int32_t millimetres = 2;
constexpr int32_t inches = 3;

QTextEdit* readOnlyText(const QString& html, QWidget* parent)
{
    auto* t = new QTextEdit(parent);
    t->setReadOnly(true);
    t->setFrameShape(QFrame::NoFrame);
    t->viewport()->setAutoFillBackground(false);
    t->setHtml(html);
    return t;
}

} // namespace

TInstall::TInstall(std::function<void(int32_t unit)> complete, QWidget* parent)
    : THostedPanel(parent), complete_(std::move(complete))
{
    // The settings' interface colour and font, as the side panels have them.
    QPalette look = palette();
    look.setColor(QPalette::Window, panelBackground());
    setPalette(look);
    setAutoFillBackground(true);
    setFont(interfaceFont(false));
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setHandleWidth(3);
    outer->addWidget(splitter);

    auto* left = new QWidget(splitter);
    left->setFixedWidth(120);
    auto* lv = new QVBoxLayout(left);
    lv->setContentsMargins(6, 6, 6, 6);
    stepTitle = new QLabel(QStringLiteral("Step") + QLatin1Char(' ') + QString::number(1), left);
    QFont bold = interfaceFont(true);
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    stepTitle->setFont(bold);
    lv->addWidget(stepTitle);
    introduction = readOnlyText(QStringLiteral("Welcome to Lumora. Before you start, tell us how you measure."), left);
    instruction = readOnlyText(QStringLiteral("In this step, please select the <b>measuring units</b> that you prefer to "
                                              "use and then click on the <b>Proceed</b> button."),
                               left);
    lv->addWidget(introduction, 1);
    lv->addWidget(instruction, 2);

    auto* right = new QWidget(splitter);
    auto* rv = new QVBoxLayout(right);
    auto* picture = new QLabel(right);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(QPixmap::fromImage(output::iconImage(output::applicationIconSvg(), 128)));
    rv->addWidget(picture, 1);
    auto* group = new QGroupBox(QLatin1Char(' ') + QStringLiteral("I prefer to use") + QLatin1Char(' '), right);
    auto* gv = new QVBoxLayout(group);
    millimetersBox = new QCheckBox(QStringLiteral("Millimeters"), group);
    inchesBox = new QCheckBox(QStringLiteral("Inches"), group);
    gv->addWidget(millimetersBox);
    gv->addWidget(inchesBox);
    rv->addWidget(group);
    QObject::connect(millimetersBox, &QCheckBox::clicked, this, [this](bool on) { boxClicked(true, on); });
    QObject::connect(inchesBox, &QCheckBox::clicked, this, [this](bool on) { boxClicked(false, on); });
    splitter->addWidget(left);
    splitter->addWidget(right);
}

// The two boxes exclude each other: after the first click exactly one is
// ticked, and clearing one ticks the other.
void TInstall::boxClicked(bool millimetresBox, bool ticked)
{
    unit_ = (millimetresBox == ticked) ? millimetres : inches;
    millimetersBox->setChecked(unit_ == millimetres);
    inchesBox->setChecked(unit_ == inches);
}

bool TInstall::applyHosted()
{
    if (unit_ == 0) {
        dialogs().message(msgKind_t::error, QStringLiteral("Please select Millimeters or Inches"), btnOk);
        return false;
    }
    if (complete_) complete_(unit_);
    completed_ = true;
    return true;
}

} // namespace ui
