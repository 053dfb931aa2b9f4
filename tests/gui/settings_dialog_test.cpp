// The "Fractal Image Settings" dialog on the offscreen platform: what it shows,
// how it reacts, and that OK's refusals keep it open with the user's text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "FakeHost.h"
#include "app/SettingsDlg.h"
#include "model/VelmoraDoc.h"

namespace velmora::test {
namespace {

using gui::CSettingsDlg;

class SettingsDialog : public ::testing::Test {
protected:
    SettingsDialog() : doc(host) { doc.OnNewDocument(); }

    template <typename T = QLineEdit>
    static T* Control(QWidget& dlg, int id) {
        T* w = dlg.findChild<T*>(QString::number(id));
        EXPECT_NE(w, nullptr) << "no control " << id;
        return w;
    }
    static QString Text(QWidget& dlg, int id) { return Control(dlg, id)->text(); }
    static void Type(QWidget& dlg, int id, const QString& text) { Control(dlg, id)->setText(text); }
    static void Click(QWidget& dlg, int id) {
        QTest::mouseClick(Control<QAbstractButton>(dlg, id), Qt::LeftButton);
    }

    FakeHost host;
    CVelmoraDoc doc;
};

TEST_F(SettingsDialog, OpensWithTheDocumentsValues) {
    CSettingsDlg dlg(doc, host);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Fractal Image Settings"));
    EXPECT_EQ(Text(dlg, 1005), "-2");
    EXPECT_EQ(Text(dlg, 1006), "2");
    EXPECT_EQ(Text(dlg, 1007), "-1.5");
    EXPECT_EQ(Text(dlg, 1008), "1.5");
    EXPECT_EQ(Text(dlg, 1011), "0.3");
    EXPECT_EQ(Text(dlg, 1012), "0.6");
    EXPECT_EQ(Text(dlg, 1013), "200");
    EXPECT_EQ(Text(dlg, 1014), "300");
    EXPECT_EQ(Text(dlg, 1015), "300");
    EXPECT_TRUE(Control<QRadioButton>(dlg, 1009)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(dlg, 1010)->isChecked());
    EXPECT_FALSE(Control(dlg, 1011)->isEnabled());
    EXPECT_FALSE(Control(dlg, 1012)->isEnabled());
    EXPECT_FALSE(dlg.m_bAccepted);
    EXPECT_FALSE(dlg.m_bPaletteEdited);
}

TEST_F(SettingsDialog, JuliaDocumentEnablesTheConstant) {
    doc.m_params.type = FractalType::Julia;
    doc.m_params.cReal = 1.0;
    doc.m_params.left = 1.0;
    CSettingsDlg dlg(doc, host);
    EXPECT_TRUE(Control<QRadioButton>(dlg, 1010)->isChecked());
    EXPECT_TRUE(Control(dlg, 1011)->isEnabled());
    EXPECT_EQ(Text(dlg, 1011), "1.");
    EXPECT_EQ(Text(dlg, 1005), "1");
}

TEST_F(SettingsDialog, ControlsSitInTheirGroupsWithTheirLabels) {
    CSettingsDlg dlg(doc, host);
    const auto groupOf = [&](int id) {
        auto* box = qobject_cast<QGroupBox*>(Control<QWidget>(dlg, id)->parentWidget());
        return box != nullptr ? box->title() : QString();
    };
    for (int id : {1005, 1006, 1007, 1008}) EXPECT_EQ(groupOf(id), "Zoom Location") << id;
    for (int id : {1009, 1010, 1011, 1012, 1013}) EXPECT_EQ(groupOf(id), "Fractal Type") << id;
    for (int id : {1014, 1015}) EXPECT_EQ(groupOf(id), "Resolution") << id;
    EXPECT_EQ(groupOf(32783), "Palette");

    const std::pair<const char*, int> labels[] = {
        {"&Left:", 1005},   {"&Right:", 1006},  {"&Top:", 1007},          {"&Bottom:", 1008}, {"C R&eal:", 1011},
        {"C &Imag:", 1012}, {"&Detail Level:", 1013}, {"&X Pels:", 1014}, {"&Y Pels:", 1015}};
    for (const auto& [text, id] : labels) {
        const QLabel* found = nullptr;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            if (l->text() == QLatin1String(text)) found = l;
        ASSERT_NE(found, nullptr) << text;
        EXPECT_EQ(found->buddy(), Control<QWidget>(dlg, id)) << text;
    }
    EXPECT_EQ(Control<QPushButton>(dlg, 1)->text(), "&OK");
    EXPECT_TRUE(Control<QPushButton>(dlg, 1)->isDefault());
    EXPECT_EQ(Control<QPushButton>(dlg, 2)->text(), "&Cancel");
    EXPECT_EQ(Control<QPushButton>(dlg, 57670)->text(), "&Help");
    EXPECT_EQ(Control<QPushButton>(dlg, 32783)->text(), "&Palette Editor");
    EXPECT_EQ(Control<QRadioButton>(dlg, 1009)->text(), "&Mandelbrot");
    EXPECT_EQ(Control<QRadioButton>(dlg, 1010)->text(), "&Julia");
}

TEST_F(SettingsDialog, TabOrderFollowsTheTemplateFromOk) {
    doc.m_params.type = FractalType::Julia;  // every field enabled
    CSettingsDlg dlg(doc, host, [](QWidget&) {});
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    ASSERT_EQ(QApplication::focusWidget(), Control<QWidget>(dlg, 1));
    QStringList seen;
    for (int i = 0; i < 15; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        seen << QApplication::focusWidget()->objectName();
    }
    // The type buttons are one stop, entered at the checked one (Julia here).
    EXPECT_EQ(seen.join(' ').toStdString(), "2 57670 1005 1006 1007 1008 1010 1011 1012 1013 1014 1015 32783 1 2");
    // Backwards from Cancel: the same stops in reverse.
    seen.clear();
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        seen << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(seen.join(' ').toStdString(), "1 32783 1015 1014 1013 1012 1011 1010 1008");
}

TEST_F(SettingsDialog, RadioButtonsSwitchTheConstantFieldsAndKeepTheirText) {
    CSettingsDlg dlg(doc, host);
    dlg.show();
    Click(dlg, 1010);
    EXPECT_TRUE(Control(dlg, 1011)->isEnabled());
    EXPECT_TRUE(Control(dlg, 1012)->isEnabled());
    Type(dlg, 1011, "-0.8");
    Click(dlg, 1009);
    EXPECT_FALSE(Control(dlg, 1011)->isEnabled());
    EXPECT_EQ(Text(dlg, 1011), "-0.8");
}

TEST_F(SettingsDialog, OkStoresEverythingAndCloses) {
    CSettingsDlg dlg(doc, host);
    dlg.show();
    Type(dlg, 1005, "-0.5");
    Click(dlg, 1010);
    Type(dlg, 1011, "-0.8");
    Type(dlg, 1013, "99");
    Type(dlg, 1014, "301");
    Click(dlg, 1);
    EXPECT_TRUE(dlg.m_bAccepted);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(doc.m_params.left, -0.5);
    EXPECT_EQ(doc.m_params.type, FractalType::Julia);
    EXPECT_EQ(doc.m_params.cReal, -0.8);
    EXPECT_EQ(doc.m_params.iterations, 100);
    EXPECT_EQ(doc.m_pEngine->GetWidth(), 301);
}

TEST_F(SettingsDialog, RefusalKeepsTheDialogOpenOnTheField) {
    host.allowMessages = true;
    CSettingsDlg dlg(doc, host);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    Type(dlg, 1005, "0.25");
    Type(dlg, 1013, "0");
    Click(dlg, 1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Number of iterations must be an\ninteger greater than or equal to 1.");
    EXPECT_EQ(host.messages[0].caption, "Iterations");
    EXPECT_EQ(host.messages[0].owner, MsgOwner::Dialog);
    EXPECT_EQ(QString::fromStdString(host.messages[0].ownerName), dlg.objectName());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.m_bAccepted);
    EXPECT_EQ(Text(dlg, 1013), "0");  // the user's text stays
    EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(dlg, 1013));

    // Cancel afterwards: the region stored before the check stays.
    Click(dlg, 2);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.m_bAccepted);
    EXPECT_EQ(doc.m_params.left, 0.25);
    EXPECT_EQ(doc.m_params.iterations, 201);
}

TEST_F(SettingsDialog, WidthRefusedBeforeHeight) {
    host.allowMessages = true;
    CSettingsDlg dlg(doc, host);
    dlg.show();
    Type(dlg, 1014, "0");
    Type(dlg, 1015, "0");
    Click(dlg, 1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Horizontal resolution must be at least 1 pixel.");
    EXPECT_EQ(host.messages[0].caption, "Resolution");
    Type(dlg, 1014, "12");
    Click(dlg, 1);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, "Vertical resolution must be at least 1 pixel.");
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(SettingsDialog, EnterInAFieldPressesOk) {
    CSettingsDlg dlg(doc, host);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QLineEdit* left = Control(dlg, 1005);
    left->setFocus();
    left->setText("-1.75");
    QTest::keyClick(left, Qt::Key_Return);
    EXPECT_TRUE(dlg.m_bAccepted);
    EXPECT_EQ(doc.m_params.left, -1.75);
}

TEST_F(SettingsDialog, EscapeClosesWithoutChecking) {
    CSettingsDlg dlg(doc, host);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    Type(dlg, 1005, "7");
    Type(dlg, 1013, "0");
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(doc.m_params.left, -2.0);  // nothing stored without OK
}

TEST_F(SettingsDialog, PaletteEditorButtonNeedsAnEditor) {
    CSettingsDlg without(doc, host);
    EXPECT_FALSE(Control<QPushButton>(without, 32783)->isEnabled());

    int runs = 0;
    CSettingsDlg dlg(doc, host, [&](QWidget&) { ++runs; });
    dlg.show();
    ASSERT_TRUE(Control<QPushButton>(dlg, 32783)->isEnabled());
    Click(dlg, 32783);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(dlg.m_bPaletteEdited);
    EXPECT_TRUE(doc.IsModified());  // whatever the editor returned
    EXPECT_TRUE(dlg.isVisible());
    Click(dlg, 2);
    EXPECT_FALSE(dlg.m_bAccepted);
    EXPECT_TRUE(dlg.m_bPaletteEdited);
}

}  // namespace
}  // namespace velmora::test
