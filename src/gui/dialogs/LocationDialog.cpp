#include "dialogs/LocationDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "base/Host.h"
#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "widgets/DialogParts.h"

namespace velmora::gui {

namespace {

constexpr const char* kDialogName = "LocationDialog";

}  // namespace

LocationDialog::LocationDialog(const FractalParams& current, Host& host, QWidget* parent)
    : QDialog(parent), m_current(current), m_shown(centreOf(current)), m_host(host) {
    setObjectName(QString::fromLatin1(kDialogName));
    setWindowTitle(QStringLiteral("Location"));
    setProperty("helpTopic", QStringLiteral("zoom"));

    m_re = makeEdit(this, kIdCentreRe, 200, QString::fromStdString(m_shown.re));
    m_im = makeEdit(this, kIdCentreIm, 200, QString::fromStdString(m_shown.im));
    m_width = makeEdit(this, kIdWidth, 200, QString::fromStdString(m_shown.width));
    for (QLineEdit* e : {m_re, m_im, m_width}) {
        e->setMaxLength(static_cast<int>(kMaxDecimalChars));
        e->setCursorPosition(0);
    }
    auto* form = new QFormLayout;
    form->addRow(makeLabel(this, QStringLiteral("Centre, &real:"), m_re), m_re);
    form->addRow(makeLabel(this, QStringLiteral("Centre, &imaginary:"), m_im), m_im);
    form->addRow(makeLabel(this, QStringLiteral("&Width:"), m_width), m_width);

    layOutWithOkCancel(*this, form, QStringLiteral("&OK"), QStringLiteral("&Cancel"));
}

void LocationDialog::refuse(QLineEdit* field, const char* text) {
    Message m;
    m.text = text;
    m.caption = "Location";
    m.icon = MsgIcon::Warning;
    m.owner = MsgOwner::Dialog;
    m.ownerName = kDialogName;
    m_host.showMessage(m);
    field->setFocus();
    field->selectAll();
}

void LocationDialog::accept() {
    // Pasted text often brings spaces or a line break along.
    const CentreWidth typed{m_re->text().trimmed().toStdString(), m_im->text().trimmed().toStdString(),
                            m_width->text().trimmed().toStdString()};
    if (typed.re == m_shown.re && typed.im == m_shown.im && typed.width == m_shown.width) {
        QDialog::accept();  // nothing edited: the location stays as it is, exact values and all
        return;
    }
    ExactLocation edges;
    switch (edgesFromCentre(typed, m_current.width, m_current.height, edges)) {
        case CentreWidthFault::Centre:
            refuse(isDecimalText(typed.re) ? m_im : m_re, "The centre must be a decimal number, such as -0.75.");
            return;
        case CentreWidthFault::Width:
            refuse(m_width, "The width must be a decimal number greater than 0, such as 3.5 or 1e-40.");
            return;
        case CentreWidthFault::Range:
            refuse(m_width, "That location lies beyond the numbers Velmora can hold.");
            return;
        case CentreWidthFault::None:
            break;
    }
    ExactLocation text = exactTextOf(m_current);
    text.left = edges.left;
    text.top = edges.top;
    text.right = edges.right;
    text.bottom = edges.bottom;
    FractalParams values = m_current;
    if (!assignExact(values, text)) {
        refuse(m_width, "That location lies beyond the numbers Velmora can hold.");
        return;
    }
    m_location = values;
    QDialog::accept();
}

}  // namespace velmora::gui
