#include "ui/preview.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {

namespace {
constexpr int columnWidth = 190;
constexpr int previewMargin = 10;
} // namespace

TPreview::TPreview(std::function<QImage()> build, std::function<void()> print,
                   std::function<void(const QImage&)> exported, QWidget* parent)
    : THostedPanel(parent), build_(std::move(build)), print_(std::move(print)), exported_(std::move(exported))
{
    setObjectName(QStringLiteral("TPreview"));
    auto* row = new QHBoxLayout(this);
    auto* leftBox = new QWidget(this);
    auto* left = new QVBoxLayout(leftBox);
    heading = new QLabel(QStringLiteral("Print Preview"), leftBox);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    status = new QLabel(QStringLiteral("The print preview is being prepared..."), leftBox);
    status->setWordWrap(true);
    left->addWidget(heading);
    left->addWidget(status);
    printIcon = new QToolButton(leftBox);
    printIcon->setObjectName(QStringLiteral("printIcon"));
    printIcon->setToolTip(QStringLiteral("Print"));
    printIcon->setIconSize(QSize(32, 32));
    printIcon->setAutoRaise(true);
    printIcon->hide();
    QObject::connect(printIcon, &QToolButton::clicked, this, [this] {
        if (printClicked) printClicked();
    });
    left->addWidget(printIcon);
    left->addStretch(1);
    leftBox->setFixedWidth(columnWidth);
    row->addWidget(leftBox);

    scroller = new QScrollArea(this);
    scroller->setAlignment(Qt::AlignCenter);
    scroller->setBackgroundRole(QPalette::Dark);
    picture = new QLabel(scroller);
    picture->setContentsMargins(previewMargin, previewMargin, previewMargin, previewMargin);
    scroller->setWidget(picture);
    scroller->setWidgetResizable(false);
    row->addWidget(scroller, 1);

    buildTimer.setSingleShot(true);
    buildTimer.setInterval(200);
    QObject::connect(&buildTimer, &QTimer::timeout, this, [this] { buildPreview(); });
    buildTimer.start();
}

QSize TPreview::preferredClientSize() const { return {900, 640}; }

void TPreview::buildPreview()
{
    if (built_) return;
    built_ = true;
    buildTimer.stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    image_ = build_ ? build_() : QImage();
    QApplication::restoreOverrideCursor();
    if (image_.isNull()) {
        status->setText(QStringLiteral("There is no page to preview."));
        return;
    }
    picture->setPixmap(QPixmap::fromImage(image_));
    picture->adjustSize();
    status->setText(QStringLiteral(
        "<p>The preview is scaled to fit your screen.</p>"
        "<p>Your printer will make a sharper print than what you can see on your screen, so verify only the layout, not "
        "the quality of the print preview.</p>"
        "<p>Most printers cannot print on the edges of the paper and leave some small margins blank. The preview shows "
        "the entire image, including the margins.</p>"));
    printIcon->show();
    if (exported_) exported_(image_);
}

bool TPreview::applyHosted()
{
    if (print_) print_();
    return true;
}

} // namespace ui
