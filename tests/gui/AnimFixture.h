#pragma once
// Shared pieces of the animation window tests: the frames window with its
// activation under the test's control, and quick access to controls by id.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "FakeHost.h"
#include "GuiFixture.h"
#include "anim/CAnimFramesDlg.h"
#include "model/VelmoraDoc.h"

namespace velmora::test {

// The frames window, active or not as the test says: the offscreen platform
// gives no dependable window activation.
class FramesWindow : public gui::CAnimFramesDlg {
public:
    using CAnimFramesDlg::CAnimFramesDlg;
    bool active = true;

protected:
    bool IsActiveWindow() const override { return active; }
};

template <typename T = QWidget>
T* Control(const QWidget& parent, int id) {
    T* w = parent.findChild<T*>(QString::number(id));
    EXPECT_NE(w, nullptr) << "no control " << id;
    return w;
}

inline void SetText(const QWidget& parent, int id, const QString& text) { Control<QLineEdit>(parent, id)->setText(text); }

inline void Press(const QWidget& parent, int id) { Control<QAbstractButton>(parent, id)->click(); }

// Every row of the list as "keyframe|count".
inline std::vector<std::string> Rows(const gui::CAnimFramesDlg& dlg) {
    std::vector<std::string> rows;
    QTreeWidget* list = dlg.List();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows.push_back((item->text(0) + "|" + item->text(1)).toStdString());
    }
    return rows;
}

inline void SelectRow(gui::CAnimFramesDlg& dlg, int row) {
    QTreeWidget* list = dlg.List();
    list->clearSelection();
    if (row >= 0) list->topLevelItem(row)->setSelected(true);
}

// A keyframe of the document's active values with a given count.
inline void AddKeyframe(CVelmoraDoc& doc, std::int32_t transitions, double left = -2.0) {
    Keyframe k;
    k.left = left;
    k.right = left + 4.0;
    k.top = -1.5;
    k.bottom = 1.5;
    k.type = static_cast<std::int32_t>(doc.m_params.type);
    k.iterations = doc.m_params.iterations;
    k.palette = doc.m_palette;
    k.transitions = transitions;
    doc.m_keyframes.push_back(k);
}

}  // namespace velmora::test
