#include "widgets/DialogParts.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace velmora::gui {
namespace {

int averageLetterWidth(const QWidget& w) {
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (w.fontMetrics().horizontalAdvance(letters) / 26 + 1) / 2;
}

}  // namespace

int dialogUnitsX(const QWidget& w, int units) { return (units * averageLetterWidth(w) + 2) / 4; }

QRect dialogUnits(const QWidget& w, int x, int y, int cx, int cy) {
    const int height = w.fontMetrics().height();
    auto uy = [&](int u) { return (u * height + 4) / 8; };
    return QRect(dialogUnitsX(w, x), uy(y), dialogUnitsX(w, cx), uy(cy));
}

QPushButton* makeIdButton(QWidget* parent, const QString& text, int id) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    return button;
}

QRadioButton* makeRadio(QWidget* parent, const QString& text, int id) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(QString::number(id));
    return radio;
}

QLineEdit* makeEdit(QWidget* parent, int id, int widthUnits, const QString& text, bool digitsOnly) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::number(id));
    if (widthUnits > 0) edit->setMinimumWidth(dialogUnitsX(*parent, widthUnits));
    if (digitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QLabel* makeLabel(QWidget* parent, const QString& text, QWidget* buddy, bool rightAligned) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    if (rightAligned) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

WaitCursor::WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

WaitCursor::~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }

void layOutWithOkCancel(QDialog& dialog, QLayout* body, const QString& okText, const QString& cancelText) {
    auto* ok = makeIdButton(&dialog, okText, kIdOkButton);
    ok->setDefault(true);
    auto* cancel = makeIdButton(&dialog, cancelText, kIdCancelButton);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(body);
    layout->addLayout(buttons);
}

}  // namespace velmora::gui
