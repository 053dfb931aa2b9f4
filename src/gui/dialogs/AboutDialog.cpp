#include "dialogs/AboutDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "VelmoraVersion.h"
#include "widgets/DialogParts.h"
#include "widgets/ToolbarIcons.h"

namespace velmora::gui {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About Velmora"));
    setProperty("helpTopic", QStringLiteral("about"));
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(32, 32));
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QStringLiteral("Velmora Version ") + QString::fromLatin1(kVersion), this), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("A fractal explorer for the Mandelbrot and Julia sets."), this), 1, 1);
    auto* ok = makeIdButton(this, QStringLiteral("OK"), 1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace velmora::gui
