#include "ui/aboutpanel.h"

#include "ui/panellook.h"

#include <QDesktopServices>
#include <QLabel>
#include <QVBoxLayout>

#include <QtGlobal>

// The build names these (see src/CMakeLists.txt); the fallbacks keep the
// file compilable on its own.
#ifndef LUMORA_VERSION
#define LUMORA_VERSION ""
#endif
#ifndef LUMORA_HOMEPAGE
#define LUMORA_HOMEPAGE ""
#endif
#ifndef LUMORA_JPEG_VERSION
#define LUMORA_JPEG_VERSION ""
#endif
#ifndef LUMORA_GIF_VERSION
#define LUMORA_GIF_VERSION ""
#endif
#ifndef LUMORA_WMF_VERSION
#define LUMORA_WMF_VERSION ""
#endif

namespace ui {

std::vector<aboutLibrary_t> aboutLibraries()
{
    return {
        {QStringLiteral("Qt"), QString::fromLatin1(qVersion()), QStringLiteral("LGPL-3.0")},
        {QStringLiteral("libjpeg-turbo"), QStringLiteral(LUMORA_JPEG_VERSION),
         QStringLiteral("IJG, BSD-3-Clause, Zlib")},
        {QStringLiteral("giflib"), QStringLiteral(LUMORA_GIF_VERSION), QStringLiteral("MIT")},
        {QStringLiteral("libwmf"), QStringLiteral(LUMORA_WMF_VERSION), QStringLiteral("LGPL-2.0-or-later")},
        {QStringLiteral("libemf2svg"), QString(), QStringLiteral("GPL-2.0")},
    };
}

QString buildVersion() { return QStringLiteral(LUMORA_VERSION); }
QString buildHomePage() { return QStringLiteral(LUMORA_HOMEPAGE); }

TAbout::TAbout(const QString& program, const QString& homePage, QWidget* parent)
    : THostedPanel(parent), homePage_(homePage)
{
    setObjectName(QStringLiteral("TAbout"));
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    QString html = QStringLiteral("<p><b>%1</b><br>Version %2</p>")
                       .arg(program.toHtmlEscaped(), buildVersion().toHtmlEscaped());
    html += QStringLiteral("<p>Running on Qt %1 (built with Qt %2).</p>")
                .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
    html += QStringLiteral("<p>Libraries used:</p><table cellspacing=\"0\" cellpadding=\"1\">");
    for (const aboutLibrary_t& l : aboutLibraries())
        html += QStringLiteral("<tr><td>%1&nbsp;</td><td>%2&nbsp;</td><td>%3</td></tr>")
                    .arg(l.name.toHtmlEscaped(), l.version.toHtmlEscaped(), l.licence.toHtmlEscaped());
    html += QStringLiteral("</table>");
    if (!homePage_.isEmpty()) html += QStringLiteral("<p>%1</p>").arg(homePage_.toHtmlEscaped());

    text_ = new QLabel(html, this);
    text_->setObjectName(QStringLiteral("aboutText"));
    text_->setTextFormat(Qt::RichText);
    text_->setFont(interfaceFont(false));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(text_);
    layout->addStretch();
}

QSize TAbout::preferredClientSize() const
{
    const QSize s = text_->sizeHint();
    return {std::max(s.width() + 24, 300), s.height() + 20};
}

bool TAbout::applyHosted()
{
    if (homePage_.isEmpty() || !openUrl) return false;
    openUrl(QUrl(homePage_));
    return true;
}

} // namespace ui
