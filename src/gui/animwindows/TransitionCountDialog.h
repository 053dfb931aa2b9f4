#pragma once
// "Transition Count": asks how many frames lead from one keyframe to the next.
// The caller reads m_count whatever closed the dialog: the initial count
// unless OK accepted a new one.
#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {
class Host;
}  // namespace velmora

namespace velmora::gui {

inline constexpr const char* kTransitionCountName = "Transition Count";

class TransitionCountDialog : public QDialog {
    Q_OBJECT
public:
    // untilNext: the keyframe's own count (true) or the previous keyframe's
    // count leading to it (false). allowCancel false disables Cancel.
    TransitionCountDialog(bool untilNext, std::int32_t count, bool allowCancel, Host& host, QWidget* parent = nullptr);

    bool m_untilNext;
    std::int32_t m_count;
    bool m_allowCancel;

public slots:
    // OK: refuses a count below 1 and stays open.
    void accept() override;

private:
    Host& m_host;
    QLabel* m_prompt = nullptr;  // id 1026
    QLineEdit* m_edit = nullptr;  // id 1025
};

}  // namespace velmora::gui
