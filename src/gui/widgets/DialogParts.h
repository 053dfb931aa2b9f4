#pragma once
// One way to build the dialogs: every control named by its control id (the
// name by which help and tests find it) and sized in the dialog units of the
// old templates, so each dialog's constructor only says what goes where.
#include <QRect>
#include <QString>

class QDialog;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace velmora::gui {

// The help command's id, carried by every dialog's Help button.
inline constexpr int kIdHelpButton = 57670;

// Dialog units in pixels of the widget's font: horizontally a quarter of the
// average letter width, vertically an eighth of the line height.
int dialogUnitsX(const QWidget& w, int units);
QRect dialogUnits(const QWidget& w, int x, int y, int cx, int cy);

QPushButton* makeIdButton(QWidget* parent, const QString& text, int id);
QRadioButton* makeRadio(QWidget* parent, const QString& text, int id);
// widthUnits 0: the edit's natural width. digitsOnly: takes 0-9 only.
QLineEdit* makeEdit(QWidget* parent, int id, int widthUnits = 0, const QString& text = {}, bool digitsOnly = false);
QLabel* makeLabel(QWidget* parent, const QString& text, QWidget* buddy, bool rightAligned = false);

// The ids of a dialog's accepting and Cancel buttons.
inline constexpr int kIdOkButton = 1;
inline constexpr int kIdCancelButton = 2;

// Lays the dialog out as its body over a row of the accepting button (the
// default) and Cancel at the right, wired to accept and reject.
void layOutWithOkCancel(QDialog& dialog, QLayout* body, const QString& okText, const QString& cancelText);

// Shows the wait cursor for the life of the object.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace velmora::gui
